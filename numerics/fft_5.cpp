#include "numerics/fft_5.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <utility>
#include <vector>

#include "numerics/size_for_overwrite.h"
#include "numerics/spectrum_kernel.h"

namespace {

// floor(q) as an index, clamped to [lo, hi] (an undefined q gives lo).
int floor_index(double q, int lo, int hi) {
  if (!(q >= lo)) return lo;
  if (q >= hi) return hi;
  return static_cast<int>(std::floor(q));
}

// Same length and the same floats, bit for bit.
bool same_floats(const float_vec& a, const float_vec& b) {
  const int n = a.count();
  return n == b.count() && (n == 0 || std::memcmp(a.data(), b.data(), sizeof(float) * static_cast<std::size_t>(n)) == 0);
}

}  // namespace

void fft_5::set_frequency_axis(const x1_xd_x2_3& input) {
  input_axis = input;
  int m = frequency_count();
  if (m < 1) m = transform_length(input.n, doubling) / 2;
  frequency_axis.x1 = 0.0;
  frequency_axis.n = m;
  frequency_axis.xd = 1.0 / (2.0 * m * input.xd);
  frequency_axis.x2 = (m - 1) * frequency_axis.xd;
}

void fft_5::shift_origin(double x0) { shift((input_axis.x1 - x0) / input_axis.xd); }

void fft_5::inverse_at(double f) {
  const int m = frequency_count();
  inverse(floor_index(f / frequency_axis.xd, -1, m));
}

void fft_5::read_reference(const fft_5& reference, int count) {
  reference_reading& r = reading_;
  const x1_xd_x2_3& ref_axis = reference.frequency_axis;
  if (!r.splines_ready || !same_floats(r.re_samples, reference.shifted_re) ||
      !same_floats(r.im_samples, reference.shifted_im)) {
    r.re_samples = reference.shifted_re;
    r.im_samples = reference.shifted_im;
    spline_dx_3<float_vec>::set_up_free_pair(ref_axis.x1, ref_axis.xd, r.re_spline, r.re_samples, r.im_spline,
                                             r.im_samples, r.pivots);
    r.splines_ready = true;
    r.count = 0;
  }
  const std::uint64_t axes[4] = {std::bit_cast<std::uint64_t>(ref_axis.x1), std::bit_cast<std::uint64_t>(ref_axis.xd),
                                 std::bit_cast<std::uint64_t>(frequency_axis.x1),
                                 std::bit_cast<std::uint64_t>(frequency_axis.xd)};
  if (!std::equal(axes, axes + 4, r.axes)) {
    std::copy(axes, axes + 4, r.axes);
    // The second derivatives do not depend on the abscissa; the locate does.
    r.re_spline.x0 = r.im_spline.x0 = ref_axis.x1;
    r.re_spline.dx = r.im_spline.dx = ref_axis.xd;
    r.count = 0;
  }
  if (count <= r.count) return;
  r.u.resize(static_cast<std::size_t>(count));
  r.v.resize(static_cast<std::size_t>(count));
  for (int i = r.count; i < count; ++i) {
    const double x = frequency_axis.x1 + i * frequency_axis.xd;
    r.u[static_cast<std::size_t>(i)] = r.re_spline.evaluate(r.re_samples, x);
    r.v[static_cast<std::size_t>(i)] = r.re_spline.companion(r.im_spline, r.im_samples);
  }
  r.count = count;
}

int fft_5::divide_by(const fft_5& reference, double f) {
  const float_vec& ref_re = reference.shifted_re;
  const float_vec& ref_im = reference.shifted_im;
  if (ref_re.count() < 1 || ref_im.count() != ref_re.count()) return -1;
  const x1_xd_x2_3& ref_axis = reference.frequency_axis;
  if (f > frequency_axis.x2) f = frequency_axis.x2;
  if (f > ref_axis.x2) f = ref_axis.x2;
  if (f < 0.0 || std::isnan(f)) return -1;

  // The points that this object has shifted values for.
  const int last = std::min(frequency_count(), std::min(shifted_re.count(), shifted_im.count())) - 1;
  const int m = floor_index(f / frequency_axis.xd, -1, last);
  if (m < 0) return -1;
  read_reference(reference, m + 1);
  spectrum_kernel::divide(shifted_re.data(), shifted_im.data(), reading_.u.data(), reading_.v.data(), m + 1,
                          smallest_divisor, vanished, quotient_re.data(), quotient_im.data(), quotient_mod.data());
  return m;
}

void fft_5::quotient(const fft_5& reference, double f) {
  const int m_this = frequency_count();
  size_for_overwrite(quotient_re, m_this);
  size_for_overwrite(quotient_im, m_this);
  size_for_overwrite(quotient_mod, m_this);
  // Frequencies above the limit stay 0.
  for (int i = divide_by(reference, f) + 1; i < m_this; ++i) {
    quotient_re[i] = 0.0f;
    quotient_im[i] = 0.0f;
    quotient_mod[i] = 0.0f;
  }
}

void fft_5::wiener(double noise2) {
  const int n = std::min(quotient_re.count(), static_cast<int>(reading_.u.size()));
  for (int i = 0; i < n; ++i) {
    if (quotient_re[i] == vanished && quotient_im[i] == vanished) continue;
    const double u = reading_.u[static_cast<std::size_t>(i)], v = reading_.v[static_cast<std::size_t>(i)];
    const double r2 = u * u + v * v;
    const double w = r2 / (r2 + noise2);
    quotient_re[i] = static_cast<float>(quotient_re[i] * w);
    quotient_im[i] = static_cast<float>(quotient_im[i] * w);
    const double re = quotient_re[i], im = quotient_im[i];
    quotient_mod[i] = static_cast<float>(std::sqrt(re * re + im * im));
  }
}

double fft_5::noise_floor() const {
  const int n = modulus.count();
  if (n < 1) return 0.0;
  std::vector<double> top;
  for (int i = n - std::max(n / 4, 1); i < n; ++i) top.push_back(modulus[modulus.base() + i]);
  const std::size_t mid = top.size() / 2;
  std::nth_element(top.begin(), top.begin() + static_cast<std::ptrdiff_t>(mid), top.end());
  return top[mid];
}

void fft_5::deconvolute() {
  fft_3::inverse(quotient_re, quotient_im, profile, quotient_re.count());
  const int length = profile.count();
  const int half = length / 2;
  float* p = profile.data();
  for (int i = 0; i < half; ++i) std::swap(p[i], p[i + half]);
}
