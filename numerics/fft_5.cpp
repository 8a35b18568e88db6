#include "numerics/fft_5.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "numerics/spline_dx_3.h"

namespace {

// floor(q) as an index, clamped to [lo, hi] (an undefined q gives lo).
int floor_index(double q, int lo, int hi) {
  if (!(q >= lo)) return lo;
  if (q >= hi) return hi;
  return static_cast<int>(std::floor(q));
}

void zeros(float_vec& v, int m) {
  if (m < 1) {
    v.free_storage();
  } else {
    v.allocate(m);
    v.fill(0.0f);
  }
  v.rebase(0);
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

void fft_5::quotient(const fft_5& reference, double f) {
  const int m_this = frequency_count();
  zeros(quotient_re, m_this);
  zeros(quotient_im, m_this);
  zeros(quotient_mod, m_this);
  const float_vec& ref_re = reference.shifted_re;
  const float_vec& ref_im = reference.shifted_im;
  if (ref_re.count() < 1 || ref_im.count() != ref_re.count()) return;

  const x1_xd_x2_3& ref_axis = reference.frequency_axis;
  spline_dx_3<float_vec> spline_re;
  spline_dx_3<float_vec> spline_im;
  spline_re.set_up(ref_axis.x1, ref_axis.xd, ref_re, spline_dx_3<float_vec>::free_end,
                   spline_dx_3<float_vec>::free_end);
  spline_im.set_up(ref_axis.x1, ref_axis.xd, ref_im, spline_dx_3<float_vec>::free_end,
                   spline_dx_3<float_vec>::free_end);

  if (f > frequency_axis.x2) f = frequency_axis.x2;
  if (f > ref_axis.x2) f = ref_axis.x2;
  if (f < 0.0 || std::isnan(f)) return;

  // The points that this object has shifted values for.
  const int last = std::min(m_this, std::min(shifted_re.count(), shifted_im.count())) - 1;
  const int m = floor_index(f / frequency_axis.xd, -1, last);
  const float* a = shifted_re.data();
  const float* b = shifted_im.data();
  for (int i = 0; i <= m; ++i) {
    const double x = frequency_axis.x1 + i * frequency_axis.xd;
    const double u = spline_re.evaluate(ref_re, x);
    const double v = spline_re.companion(spline_im, ref_im);
    const double q = u * u + v * v;
    float qr = vanished;
    float qi = vanished;
    if (q >= smallest_divisor) {
      qr = static_cast<float>((a[i] * u + b[i] * v) / q);
      qi = static_cast<float>((b[i] * u - a[i] * v) / q);
    }
    quotient_re[i] = qr;
    quotient_im[i] = qi;
    quotient_mod[i] = static_cast<float>(std::sqrt(static_cast<double>(qr) * qr + static_cast<double>(qi) * qi));
  }
}

void fft_5::deconvolute() {
  fft_3::inverse(quotient_re, quotient_im, profile, quotient_re.count());
  const int length = profile.count();
  const int half = length / 2;
  float* p = profile.data();
  for (int i = 0; i < half; ++i) std::swap(p[i], p[i + half]);
}
