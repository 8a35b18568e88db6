#include "xrd/pattern/ka2_strip.h"

#include <cmath>
#include <cstddef>
#include <limits>

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double rad_per_deg = pi / 180.0;

// Bragg's law at one d for two wavelengths: sin θ2 = (λ2 / λ1) sin θ1.
double bragg_moved_deg(double two_theta_deg, double wavelength_ratio) {
  const double s = wavelength_ratio * std::sin(two_theta_deg * rad_per_deg / 2.0);
  if (!(std::fabs(s) <= 1.0)) return std::numeric_limits<double>::quiet_NaN();
  return 2.0 * std::asin(s) / rad_per_deg;
}

}  // namespace

double ka2_position_deg(double ka1_deg, const ka_doublet& doublet) {
  return bragg_moved_deg(ka1_deg, doublet.lambda2_A / doublet.lambda1_A);
}

double ka1_position_deg(double ka2_deg, const ka_doublet& doublet) {
  return bragg_moved_deg(ka2_deg, doublet.lambda1_A / doublet.lambda2_A);
}

// Rachinger, J. Sci. Instrum. 25 (1948) 254: I1(2θ) = I(2θ) − R I1(2θ − Δ(2θ)).
std::vector<double> strip_ka2(const std::vector<double>& x, const std::vector<double>& y, const ka_doublet& doublet) {
  std::vector<double> out(y);
  const std::size_t n = std::min(x.size(), y.size());
  out.resize(n);
  if (n < 2) return out;
  const double step = (x[n - 1] - x[0]) / static_cast<double>(n - 1);
  if (!(step > 0.0)) return out;
  for (std::size_t i = 0; i < n; ++i) {
    const double source = ka1_position_deg(x[i], doublet);
    if (!std::isfinite(source)) continue;
    const double at = (source - x[0]) / step;
    if (at < 0.0) continue;
    // The source lies below x[i] (λ2 > λ1), among the points already stripped.
    const auto j = static_cast<std::size_t>(std::floor(at));
    if (j >= i) continue;
    const double f = at - static_cast<double>(j);
    const double below = out[j], above = j + 1 < i ? out[j + 1] : out[j];
    out[i] = y[i] - doublet.ratio * (below + f * (above - below));
  }
  return out;
}
