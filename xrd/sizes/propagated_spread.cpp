#include "xrd/sizes/propagated_spread.h"

#include <cmath>
#include <cstddef>
#include <vector>

#include "xrd/chain/xy_yobs_3.h"
#include "xrd/curves/xy_data_3.h"
#include "xrd/sizes/coefficient_noise.h"

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double nan_value = line_spread::nan();
// The step of the differences: A(L) is of order 1 where the figures read it.
constexpr double step = 1e-6;

// The derivatives of `figure` with respect to A_i for i in [from, to), by
// central differences. Where a step crosses one of the figure's own
// thresholds (A falling below 0.1 ends the slope's fit, below 0 the volume's
// integral), the two sides disagree and the side that stays is taken. False
// when the figure cannot be read at A.
template <class Figure>
bool derivatives(std::vector<double> A, std::size_t from, std::size_t to, Figure figure, std::vector<double>& out) {
  out.assign(A.size(), 0.0);
  const double at = figure(A);
  if (!std::isfinite(at)) return false;
  for (std::size_t i = from; i < to && i < A.size(); ++i) {
    const double a = A[i];
    A[i] = a + step;
    const double up = (figure(A) - at) / step;
    A[i] = a - step;
    const double down = (at - figure(A)) / step;
    A[i] = a;
    const bool same = std::fabs(up - down) <= 1e-3 * (std::fabs(up) + std::fabs(down)) + 1e-9 * std::fabs(at) / step;
    const double d = same ? 0.5 * (up + down) : std::fabs(up) < std::fabs(down) ? up : down;
    if (!std::isfinite(d)) return false;
    out[i] = d;
  }
  return true;
}

double deviation(const coefficient_noise& noise, const std::vector<double>& w, const std::vector<double>& v = {}) {
  const double variance = noise.variance_of(w, v);
  return std::isfinite(variance) ? std::sqrt(variance) : nan_value;
}

// The Scherrer size's uncertainty. The deconvoluted profile is the backward
// transform of the quotient over n points with the halves exchanged,
//   d(t) = (2/n) Q(0) [1/2 + Σ_j A_j cos(2π j t / n) + B_j sin(2π j t / n)],
// and its integral breadth β = area / height, with the height at its highest
// point (which to first order does not move) and the area by trapezoids, of
// which only the two end points do not cancel over whole periods.
double scherrer_u(xy_yobs_3& sample, const line_analysis& a, const coefficient_noise& noise) {
  const fourier_coefficients& c = a.coefficients;
  if (!(c.wavelength > 0.0) || !std::isfinite(a.scherrer) || !sample.run_deconvolution()) return nan_value;
  const float_vec& profile = sample.fft.profile;
  const int n = profile.count();
  const double dx = sample.observed_data().xd;
  const double q0 = sample.fft.quotient_re.count() > 0 ? sample.fft.quotient_re[sample.fft.quotient_re.base()] : 0.0;
  if (n < 4 || !(q0 > 0.0)) return nan_value;
  int top = 0;
  double area = 0.0;
  for (int k = 0; k < n; ++k) {
    const double y = profile[profile.base() + k];
    if (y > profile[profile.base() + top]) top = k;
    if (k + 1 < n) area += 0.5 * (y + profile[profile.base() + k + 1]) * dx;
  }
  const double height = profile[profile.base() + top];
  if (!(height > 0.0) || !(area > 0.0)) return nan_value;
  const double breadth = area / height;
  const int half = n / 2;
  // The profile's point k came from the transform's point (k + half) mod n.
  auto phase = [&](std::size_t j, int k) { return 2.0 * pi * static_cast<double>(j) * ((k + half) % n) / n; };
  std::vector<double> w(c.A.size(), 0.0), v(c.A.size(), 0.0);
  for (std::size_t j = 1; j < c.A.size(); ++j) {
    const double first = phase(j, 0), last = phase(j, n - 1), peak = phase(j, top);
    const double scale = 2.0 * q0 / n;
    w[j] = scale * (-0.5 * dx * (std::cos(first) + std::cos(last)) / height - breadth / height * std::cos(peak));
    v[j] = scale * (-0.5 * dx * (std::sin(first) + std::sin(last)) / height - breadth / height * std::sin(peak));
  }
  // S = λ / (β cos θ0): u_S = S u_β / β.
  return a.scherrer / breadth * deviation(noise, w, v);
}

}  // namespace

std::optional<line_spread> propagated_spread(xy_yobs_3& sample, const line_analysis& a) {
  if (!a.refused.empty() || sample.wiener_strength() > 0.0) return std::nullopt;
  const std::shared_ptr<const coefficient_noise> shared = coefficient_noise::of(sample);
  const coefficient_noise& noise = *shared;
  if (!noise.ok()) return std::nullopt;
  const fourier_coefficients& c = a.coefficients;
  line_spread s;
  s.slope = a.size.slope;

  std::vector<double> w;
  if (a.size.points > 0) {
    std::size_t to = 1;
    while (to < c.L.size() && c.L[to] <= a.size.L_to * (1.0 + 1e-9)) ++to;
    auto slope = [&](const std::vector<double>& A) { return area_weighted_length(c.L, A, c.hook_L).slope; };
    if (derivatives(c.A, 1, to, slope, w)) s.slope_u = deviation(noise, w);
  }
  if (a.size.found) s.area_u = s.slope_u / (s.slope * s.slope);

  std::size_t to = 1;
  while (to < c.A.size() && c.A[to - 1] > 0.0) ++to;
  auto volume = [&](const std::vector<double>& A) {
    bool reached = false;
    return volume_weighted_length(c.L, A, reached);
  };
  if (derivatives(c.A, 1, to, volume, w)) s.volume_u = deviation(noise, w);

  s.scherrer_u = scherrer_u(sample, a, noise);
  return s;
}
