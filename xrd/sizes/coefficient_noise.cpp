#include "xrd/sizes/coefficient_noise.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <limits>
#include <tuple>

#include "numerics/fft_kernel.h"

#include "xrd/chain/xy_yobs_3.h"
#include "xrd/chain/xy_yobs_4.h"
#include "xrd/curves/xy_data_3.h"

namespace {

constexpr double pi = 3.14159265358979323846;
// The points at each end whose mean the chain's automatic background takes.
constexpr int background_ends = 8;

// The shifted transform at frequency f of its own axis, read linearly
// between its points (exactly on them); false beyond them.
bool transform_at(const fft_5& t, double f, std::complex<double>& out) {
  const int n = std::min(t.shifted_re.count(), t.shifted_im.count());
  const double q = (f - t.frequency_axis.x1) / t.frequency_axis.xd;
  if (n < 1 || !(q >= 0.0) || q > n - 1 + 1e-9) return false;
  const int i = std::min(static_cast<int>(std::floor(q + 1e-9)), n - 1);
  const double s = q - i;
  const std::complex<double> a(t.shifted_re[t.shifted_re.base() + i], t.shifted_im[t.shifted_im.base() + i]);
  if (i == n - 1 || std::fabs(s) < 1e-9) {
    out = a;
    return true;
  }
  const std::complex<double> b(t.shifted_re[t.shifted_re.base() + i + 1], t.shifted_im[t.shifted_im.base() + i + 1]);
  out = (1.0 - s) * a + s * b;
  return true;
}

// Σ_i Re(c_i e^(2πi f_i x_t)), f_i = i × step, at the points x_t = x0 + t dx,
// t = 0 .. count-1, into g. When one period of the frequency step spans a
// power of two of points (the sample's own axis always does: its step is
// 1 / (2M dx)), that is a backward real transform of that length, read
// periodically; otherwise a sum over the frequencies, each point's phase
// factor the last one turned by the same angle.
// The number of points one period of the frequency step spans, when it is a
// power of two (from 4 on); 0 otherwise.
int even_period(double step, double dx) {
  const double points_per_period = 1.0 / (step * dx);
  const double rounded = std::nearbyint(points_per_period);
  const bool even = rounded >= 4.0 && rounded <= double(1 << 26) &&
                    std::fabs(points_per_period - rounded) <= 1e-9 * rounded &&
                    (static_cast<long>(rounded) & (static_cast<long>(rounded) - 1)) == 0;
  return even ? static_cast<int>(rounded) : 0;
}

void fourier_sum(const std::vector<std::complex<double>>& c, double step, double x0, double dx, std::size_t count,
                 std::vector<double>& g) {
  g.assign(count, 0.0);
  std::size_t used = c.size();
  while (used > 0 && c[used - 1] == 0.0) --used;
  if (used == 0 || count == 0) return;
  const int period = even_period(step, dx);
  // A handful of frequencies cost less summed directly than transformed.
  if (period > 0 && static_cast<std::size_t>(period) / 2 >= used && used * count > 2 * static_cast<std::size_t>(period)) {
    const int n = period;
    // The backward transform of F gives Re F(0)/2 + Σ_(j≥1) Re(F(j) e^(−2πi j t / n)) with scale 1:
    // F(j) is the conjugate of c_j carried to x0, F(0) twice its real part.
    // Room kept from one call to the next: only the frequencies given are read.
    thread_local std::vector<float> re, im, out;
    re.resize(static_cast<std::size_t>(n / 2));
    im.resize(static_cast<std::size_t>(n / 2));
    out.resize(static_cast<std::size_t>(n));
    for (std::size_t j = 0; j < used; ++j) {
      const std::complex<double> v = std::conj(c[j] * std::polar(1.0, 2.0 * pi * static_cast<double>(j) * step * x0));
      re[j] = static_cast<float>(j == 0 ? 2.0 * v.real() : v.real());
      im[j] = static_cast<float>(j == 0 ? 0.0 : v.imag());
    }
    fft_kernel::real_backward(re.data(), im.data(), static_cast<int>(used), n, 1.0, out.data());
    for (std::size_t t = 0; t < count; ++t) g[t] = out[t % static_cast<std::size_t>(n)];
    return;
  }
  for (std::size_t j = 0; j < used; ++j) {
    if (c[j] == 0.0) continue;
    const double f = static_cast<double>(j) * step;
    const std::complex<double> turn = std::polar(1.0, 2.0 * pi * f * dx);
    std::complex<double> e = c[j] * std::polar(1.0, 2.0 * pi * f * x0);
    for (std::size_t t = 0; t < count; ++t, e *= turn) g[t] += e.real();
  }
}

}  // namespace

std::complex<double> coefficient_noise::periodic_sums::at(std::size_t m, double f1, double x0) const {
  // The frequencies above half the period are the conjugates of those below.
  const std::size_t n = 2 * re.size(), j = m % n;
  std::complex<double> f;
  if (j == 0)
    f = re[0];
  else if (j == n / 2)
    f = im[0];
  else if (j < n / 2)
    f = {re[j], im[j]};
  else
    f = std::conj(std::complex<double>(re[n - j], im[n - j]));
  return f * std::polar(1.0, 2.0 * pi * static_cast<double>(m) * f1 * x0);
}

// Σ_t v_t e^(2πi m f1 (x0 + t dx)) by one forward real transform over
// `period` points, the values folded into one period. The sums asked for
// last are kept with what they were of: every scan of a series has the same
// spacing and background shares, and its reference the same noise, and those
// are transformed once.
std::shared_ptr<const coefficient_noise::periodic_sums> coefficient_noise::periodic_sums_of(const std::vector<double>& v,
                                                                                            int period) {
  struct remembered {
    std::vector<double> values;
    int period = 0;
    std::shared_ptr<const periodic_sums> sums;
  };
  thread_local std::array<remembered, 6> recent;
  thread_local std::size_t next = 0;
  for (const remembered& r : recent)
    if (r.sums && r.period == period && r.values.size() == v.size() &&
        std::equal(v.begin(), v.end(), r.values.begin()))
      return r.sums;
  const std::size_t n = static_cast<std::size_t>(period);
  auto sums = std::make_shared<periodic_sums>();
  sums->re.resize(n / 2);
  sums->im.resize(n / 2);
  std::vector<double> folded(n, 0.0);
  for (std::size_t t = 0; t < v.size(); ++t) folded[t % n] += v[t];
  std::vector<float> in(folded.begin(), folded.end());
  fft_kernel::real_forward(in.data(), period, period, sums->re.data(), sums->im.data());
  recent[next] = {v, period, sums};
  next = (next + 1) % recent.size();
  return sums;
}

void coefficient_noise::take_spectra(file_noise& file, double f1) {
  const int period = file.x.empty() ? 0 : even_period(f1, file.step);
  if (period == 0) return;
  file.variance_spectrum = periodic_sums_of(file.variance, period);
  if (file.ends > 0) {
    file.ones_spectrum = periodic_sums_of(std::vector<double>(file.x.size(), 1.0), period);
    file.right_spectrum = periodic_sums_of(file.right_share, period);
  }
}

double coefficient_noise::reading::snr() const {
  if (sigma > 0.0) return A / sigma;
  return A > 0.0 ? std::numeric_limits<double>::infinity() : 0.0;
}

bool coefficient_noise::automatic_background(xy_yobs_3& chain, const std::vector<double>& y) {
  // The chain's automatic background is the line through the ends' means; a
  // background that matches it at both ends (to the floats' rounding) is taken
  // for it.
  const xy_data_for_3& obs = chain.observed_data();
  const int n = static_cast<int>(y.size());
  const xy_yobs_3::end_line line = xy_yobs_3::line_through_ends(y);
  if (n < 2 * background_ends || !line.sloped) return false;
  double top = 0.0;
  for (double v : y) top = std::max(top, std::fabs(v));
  const double first = chain.background_at(obs.x1), last = chain.background_at(obs.x1 + (n - 1) * obs.xd);
  return std::fabs(first - line.intercept) <= 1e-5 * top &&
         std::fabs(last - (line.intercept + line.slope * (n - 1))) <= 1e-5 * top;
}

coefficient_noise::file_noise coefficient_noise::noise_of_file(xy_yobs_3& chain) {
  file_noise f;
  xy_data_for_3& obs = chain.observed_data();
  const int n = obs.y.count();
  std::vector<double> y(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) y[static_cast<std::size_t>(i)] = obs.y[obs.y.base() + i];
  f.noise = noise_of(y);
  const double x0 = chain.origin_x();
  f.step = obs.xd;
  f.x.resize(y.size());
  f.variance.resize(y.size());
  for (std::size_t i = 0; i < y.size(); ++i) {
    f.x[i] = obs.x1 + static_cast<double>(i) * obs.xd - x0;
    f.variance[i] = f.noise.sigma[i] * f.noise.sigma[i];
  }
  f.sigma = f.noise.sigma;
  for (std::size_t k = 0; k < f.noise.kernel.size(); ++k) f.rho.push_back(f.noise.correlation(static_cast<int>(k)));
  if (automatic_background(chain, y)) {
    f.ends = background_ends;
    f.left_centre = (background_ends - 1) / 2.0;
    f.right_centre = (2.0 * n - background_ends - 1) / 2.0;
  }
  // In the order variance() would add them, so that the sums are the same.
  for (double v : f.variance) f.variance_sum += v;
  if (f.ends > 0) {
    const double span = f.right_centre - f.left_centre;
    f.right_share.resize(f.x.size());
    for (std::size_t t = 0; t < f.x.size(); ++t) {
      const double u = (static_cast<double>(t) - f.left_centre) / span;
      f.right_share[t] = u;
      f.left_sum += 1.0 - u;
      f.right_sum += u;
    }
  }
  return f;
}

namespace {

// What a file's noise and transform are made of: its profile and where it
// lies, its background at both ends, and its shifted transform on its axis.
struct file_state {
  std::vector<float> y, re, im;
  double numbers[7] = {};
  void take(xy_yobs_3& chain) {
    const xy_data_for_3& obs = chain.observed_data();
    const fft_5& t = chain.fft;
    y.assign(obs.y.data(), obs.y.data() + obs.y.count());
    re.assign(t.shifted_re.data(), t.shifted_re.data() + t.shifted_re.count());
    im.assign(t.shifted_im.data(), t.shifted_im.data() + t.shifted_im.count());
    const double last = obs.x1 + (obs.y.count() - 1) * obs.xd;
    const double n[7] = {obs.x1, obs.xd, chain.origin_x(), chain.background_at(obs.x1), chain.background_at(last),
                         t.frequency_axis.x1, t.frequency_axis.xd};
    std::copy(n, n + 7, numbers);
  }
  // Whether the chain is in this state, read in place.
  bool holds(xy_yobs_3& chain) const {
    const xy_data_for_3& obs = chain.observed_data();
    const fft_5& t = chain.fft;
    auto same = [](const std::vector<float>& v, const float_vec& w) {
      return v.size() == static_cast<std::size_t>(w.count()) && std::equal(v.begin(), v.end(), w.data());
    };
    if (!same(y, obs.y) || !same(re, t.shifted_re) || !same(im, t.shifted_im)) return false;
    const double last = obs.x1 + (obs.y.count() - 1) * obs.xd;
    const double n[7] = {obs.x1, obs.xd, chain.origin_x(), chain.background_at(obs.x1), chain.background_at(last),
                         t.frequency_axis.x1, t.frequency_axis.xd};
    return std::equal(numbers, numbers + 7, n);
  }
};

}  // namespace

std::shared_ptr<const coefficient_noise> coefficient_noise::of(xy_yobs_3& sample) {
  struct remembered {
    file_state sample, reference;
    std::shared_ptr<const coefficient_noise> noise;
  };
  thread_local std::array<remembered, 2> recent;
  thread_local std::size_t next = 0;
  xy_yobs_4* ref = sample.reference_profile();
  if (!ref || !sample.run_transform_stages() || !ref->run_transform_stages())
    return std::make_shared<const coefficient_noise>(sample);
  for (const remembered& r : recent)
    if (r.noise && r.sample.holds(sample) && r.reference.holds(*ref)) return r.noise;
  remembered now;
  now.sample.take(sample);
  now.reference.take(*ref);
  now.noise = std::make_shared<const coefficient_noise>(sample);
  recent[next] = std::move(now);
  const std::shared_ptr<const coefficient_noise> made = recent[next].noise;
  next = (next + 1) % recent.size();
  return made;
}

coefficient_noise::coefficient_noise(xy_yobs_3& sample) {
  xy_yobs_4* ref = sample.reference_profile();
  if (!ref || !sample.run_transform_stages() || !ref->run_transform_stages()) return;
  const fft_5& o = sample.fft;
  const fft_5& r = ref->fft;
  const int n = std::min(o.shifted_re.count(), o.shifted_im.count());
  if (n < 1 || r.shifted_re.count() < 1) return;
  o0_ = o.shifted_re[o.shifted_re.base()];
  r0_ = r.shifted_re[r.shifted_re.base()];
  if (!(o0_ > 0.0) || !(r0_ > 0.0)) return;
  step_ = o.frequency_axis.xd;
  for (int i = 0; i < n; ++i) {
    std::complex<double> ri;
    // Where the reference's transform vanishes the quotient ends, as the chain's does.
    if (!transform_at(r, o.frequency_axis.x1 + i * step_, ri) || std::norm(ri) < fft_5::smallest_divisor) break;
    observed_.emplace_back(o.shifted_re[o.shifted_re.base() + i], o.shifted_im[o.shifted_im.base() + i]);
    reference_.push_back(ri);
  }
  count_ = static_cast<int>(observed_.size());
  sample_ = noise_of_file(sample);
  ref_ = noise_of_file(*ref);
  ok_ = count_ > 0;
}

double coefficient_noise::variance(const file_noise& file, int i, double f, std::complex<double> c, double a) {
  // Σ σ² e^(iφ) and Σ σ² e^(2iφ), φ = 2π f x; and the background's share
  // of each point, Σ (1 − u) e^(iφ) and Σ u e^(iφ), u running from 0 at the
  // left end's mean to 1 at the right's.
  std::complex<double> s1 = 0.0, s2 = 0.0, tl = 0.0, tr = 0.0;
  const double s0 = file.variance_sum, ul = file.left_sum, ur = file.right_sum;
  const std::size_t n = file.x.size();
  // The points lie on an even step: each phase factor is the last one
  // turned by the same angle.
  const std::complex<double> turn = std::polar(1.0, 2.0 * pi * f * file.step);
  std::complex<double> e = n > 0 ? std::polar(1.0, 2.0 * pi * f * file.x[0]) : 1.0;
  const std::size_t m = static_cast<std::size_t>(i);
  if (file.variance_spectrum && (file.ends == 0 || file.right_spectrum)) {
    const double f1 = m > 0 ? f / static_cast<double>(m) : 0.0, x0 = file.x[0];
    s1 = file.variance_spectrum->at(m, f1, x0);
    s2 = file.variance_spectrum->at(2 * m, f1, x0);
    if (file.ends > 0) {
      tr = file.right_spectrum->at(m, f1, x0);
      tl = file.ones_spectrum->at(m, f1, x0) - tr;
    }
  } else if (file.ends > 0) {
    for (std::size_t t = 0; t < n; ++t, e *= turn) {
      s1 += file.variance[t] * e;
      s2 += file.variance[t] * e * e;
      const double u = file.right_share[t];
      tl += (1.0 - u) * e;
      tr += u * e;
    }
  } else {
    for (std::size_t t = 0; t < n; ++t, e *= turn) {
      s1 += file.variance[t] * e;
      s2 += file.variance[t] * e * e;
    }
  }
  // Neighbours' shared noise weighs each frequency by the noise's spectrum:
  // P(θ) at the coefficient's own frequency, P(0) where the normalisation's
  // sum enters.
  const double p = file.noise.power_factor(f * file.step);
  const double p0 = file.noise.power_factor(0.0);
  double v = 0.5 * p * (std::norm(c) * s0 + (c * c * s2).real()) - a * (p0 + p) * (c * s1).real() + a * a * p0 * s0;
  if (file.ends > 0) {
    // The background's noise: each end point's noise also enters through
    // the mean it belongs to, with weight e_s; v gains −2 Cov(h·n, e·n) +
    // Var(e·n), the covariances σ_t σ_s ρ(t − s) taken point by point.
    const double w = file.ends;
    const double el = ((c * tl).real() - a * ul) / w, er = ((c * tr).real() - a * ur) / w;
    const std::size_t ends = static_cast<std::size_t>(file.ends);
    // h at the points the ends' noise reaches (those within the noise's
    // reach of either end), each end's phase factors turned on from its
    // first point's.
    const std::size_t reach = file.rho.size();
    const std::size_t near = std::min(n, ends + reach), far = n > near ? std::max(near, n - near) : n;
    std::vector<double> h_near(near), h_far(n - far);
    for (const auto& [from, to, out] : {std::tuple{std::size_t{0}, near, h_near.data()}, std::tuple{far, n, h_far.data()}}) {
      std::complex<double> phase = from < to ? std::polar(1.0, 2.0 * pi * f * file.x[from]) : 1.0;
      for (std::size_t t = from; t < to; ++t, phase *= turn) out[t - from] = (c * phase).real() - a;
    }
    auto h = [&](std::size_t t) { return t < near ? h_near[t] : h_far[t - far]; };
    auto weight = [&](std::size_t s) { return s < ends ? el : s + ends >= n ? er : 0.0; };
    auto cov = [&](std::size_t t, std::size_t s) {
      const std::size_t lag = t > s ? t - s : s - t;
      return lag < reach ? file.sigma[t] * file.sigma[s] * file.rho[lag] : 0.0;
    };
    double cross = 0.0, own = 0.0;
    for (std::size_t s = 0; s < n; s = s + 1 == ends && n > 2 * ends ? n - ends : s + 1) {
      const double es = weight(s);
      if (es == 0.0) continue;
      const std::size_t from = s >= reach ? s - reach + 1 : 0, to = std::min(n, s + reach);
      for (std::size_t t = from; t < to; ++t) {
        const double k = cov(t, s);
        cross += h(t) * es * k;
        own += weight(t) * es * k;
      }
    }
    v += -2.0 * cross + own;
  }
  return std::max(v, 0.0);
}

coefficient_noise::reading coefficient_noise::at(int i) const {
  reading out;
  if (i < 0 || i >= count_) return out;
  const std::complex<double> o = observed_[static_cast<std::size_t>(i)], r = reference_[static_cast<std::size_t>(i)];
  const std::complex<double> q = o / r;
  const double q0 = o0_ / r0_;
  out.A = q.real() / q0;
  if (i == 0) return out;
  const double f = i * step_;
  // A few frequencies are summed each on its own; from the ninth on, the
  // sums at every frequency are taken at once.
  if (++evaluated_ > summed_alone) take_all_spectra();
  // δA = Re(δO / (R Q0)) − A δO(0)/O(0) − Re(Q δR / (R Q0)) + A δR(0)/R(0);
  // the two files' noise is independent.
  const double vo = variance(sample_, i, f, 1.0 / (r * q0), out.A / o0_);
  const double vr = variance(ref_, i, f, -q / (r * q0), -out.A / r0_);
  out.sigma = std::sqrt(vo + vr);
  return out;
}

double coefficient_noise::variance(const file_noise& file, double step, const std::vector<std::complex<double>>& c,
                                   double a) {
  const std::size_t n = file.x.size();
  if (n == 0) return 0.0;
  std::vector<double> g;
  fourier_sum(c, step, file.x[0], file.step, n, g);
  for (double& v : g) v -= a;
  if (file.ends > 0) {
    // The background through the ends' means takes each mean's noise from
    // every point, in the share u of the right end: the points of each end
    // carry what the whole profile's weights lose through it.
    double left = 0.0, right = 0.0;
    for (std::size_t t = 0; t < n; ++t) {
      left += g[t] * (1.0 - file.right_share[t]);
      right += g[t] * file.right_share[t];
    }
    const std::size_t ends = static_cast<std::size_t>(file.ends);
    for (std::size_t s = 0; s < ends && s < n; ++s) g[s] -= left / file.ends;
    for (std::size_t s = n > ends ? n - ends : 0; s < n; ++s) g[s] -= right / file.ends;
  }
  // Σ_t Σ_s g_t g_s σ_t σ_s ρ(t − s) (JCGM 100:2008, eq. 13, the law of propagation of uncertainty).
  std::vector<double> gs(n);
  for (std::size_t t = 0; t < n; ++t) gs[t] = g[t] * file.sigma[t];
  double v = 0.0;
  for (std::size_t t = 0; t < n; ++t) v += gs[t] * gs[t];
  for (std::size_t lag = 1; lag < file.rho.size(); ++lag) {
    if (file.rho[lag] == 0.0) continue;
    double sum = 0.0;
    for (std::size_t t = 0; t + lag < n; ++t) sum += gs[t] * gs[t + lag];
    v += 2.0 * file.rho[lag] * sum;
  }
  return std::max(v, 0.0);
}

double coefficient_noise::variance_of(const std::vector<double>& w, const std::vector<double>& v) const {
  if (!ok_) return std::numeric_limits<double>::quiet_NaN();
  // With ζ_i = w_i − i v_i, Σ (w_i δA_i + v_i δB_i) = Re Σ ζ_i δQ_i / Q0 − (Σ w_i A_i + v_i B_i) δQ0 / Q0,
  // δQ = δO / R − Q δR / R and δQ0 / Q0 = δO(0) / O(0) − δR(0) / R(0).
  const double q0 = o0_ / r0_;
  // Only the frequencies up to the last weight given enter.
  const std::size_t n = std::min(static_cast<std::size_t>(count_), std::max(w.size(), v.size()));
  std::vector<std::complex<double>> co(n), cr(n);
  double k = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    const double wi = i < w.size() ? w[i] : 0.0, vi = i < v.size() ? v[i] : 0.0;
    if (wi == 0.0 && vi == 0.0) continue;
    const std::complex<double> zeta(wi, -vi), r = reference_[i], q = observed_[i] / r;
    k += (wi * q.real() + vi * q.imag()) / q0;
    co[i] = zeta / (r * q0);
    cr[i] = -zeta * q / (r * q0);
  }
  // The two files' noise is independent.
  return variance(sample_, step_, co, k / o0_) + variance(ref_, step_, cr, -k / r0_);
}

void coefficient_noise::take_all_spectra() const {
  if (spectra_taken_) return;
  spectra_taken_ = true;
  take_spectra(sample_, step_);
  take_spectra(ref_, step_);
}

int coefficient_noise::last_above(double needed) const {
  // The search reads frequency after frequency: the sums at all of them at once.
  take_all_spectra();
  int last = -1;
  for (int i = 0; i < count_; ++i) {
    if (!(at(i).snr() > needed)) break;
    last = i;
  }
  return last;
}
