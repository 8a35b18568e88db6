#include "xrd/sizes/coefficient_noise.h"

#include <algorithm>
#include <cmath>
#include <limits>

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

}  // namespace

double coefficient_noise::reading::snr() const {
  if (sigma > 0.0) return A / sigma;
  return A > 0.0 ? std::numeric_limits<double>::infinity() : 0.0;
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
  for (std::size_t k = 0; k < f.noise.kernel.size(); ++k) f.rho.push_back(f.noise.correlation(static_cast<int>(k)));
  // The chain's automatic background is the line through the ends' means; a
  // background that matches it at both ends (to the floats' rounding) is taken
  // for it.
  const xy_yobs_3::end_line line = xy_yobs_3::line_through_ends(y);
  if (n >= 2 * background_ends && line.sloped) {
    double top = 0.0;
    for (double v : y) top = std::max(top, std::fabs(v));
    const double first = chain.background_at(obs.x1), last = chain.background_at(obs.x1 + (n - 1) * obs.xd);
    if (std::fabs(first - line.intercept) <= 1e-5 * top &&
        std::fabs(last - (line.intercept + line.slope * (n - 1))) <= 1e-5 * top) {
      f.ends = background_ends;
      f.left_centre = (background_ends - 1) / 2.0;
      f.right_centre = (2.0 * n - background_ends - 1) / 2.0;
    }
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

double coefficient_noise::variance(const file_noise& file, double f, std::complex<double> c, double a) {
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
  if (file.ends > 0) {
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
    auto h = [&](std::size_t t) { return (c * std::polar(1.0, 2.0 * pi * f * file.x[t])).real() - a; };
    const std::size_t ends = static_cast<std::size_t>(file.ends);
    auto weight = [&](std::size_t s) { return s < ends ? el : s + ends >= n ? er : 0.0; };
    auto cov = [&](std::size_t t, std::size_t s) {
      const std::size_t lag = t > s ? t - s : s - t;
      return lag < file.rho.size() ? std::sqrt(file.variance[t] * file.variance[s]) * file.rho[lag] : 0.0;
    };
    const std::size_t reach = file.rho.size();
    double cross = 0.0, own = 0.0;
    for (std::size_t s = 0; s < n; ++s) {
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
  // δA = Re(δO / (R Q0)) − A δO(0)/O(0) − Re(Q δR / (R Q0)) + A δR(0)/R(0);
  // the two files' noise is independent.
  const double vo = variance(sample_, f, 1.0 / (r * q0), out.A / o0_);
  const double vr = variance(ref_, f, -q / (r * q0), -out.A / r0_);
  out.sigma = std::sqrt(vo + vr);
  return out;
}

int coefficient_noise::last_above(double needed) const {
  int last = -1;
  for (int i = 0; i < count_; ++i) {
    if (!(at(i).snr() > needed)) break;
    last = i;
  }
  return last;
}
