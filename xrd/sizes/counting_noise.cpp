#include "xrd/sizes/counting_noise.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstddef>

namespace {

constexpr double pi = 3.14159265358979323846;

bool integer_counts(const std::vector<double>& y) {
  for (double v : y)
    if (!std::isfinite(v) || v < 0.0 || std::fabs(v - std::nearbyint(v)) > 1e-6) return false;
  return !y.empty();
}

// The q-quantile of v (v reordered).
double quantile(std::vector<double>& v, double q) {
  if (v.empty()) return 0.0;
  const std::size_t k = std::min(v.size() - 1, static_cast<std::size_t>(q * static_cast<double>(v.size())));
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(k), v.end());
  return v[k];
}

}  // namespace

double counting_noise::power_factor(double cycles_per_point) const {
  std::complex<double> s = 0.0;
  for (std::size_t k = 0; k < kernel.size(); ++k)
    s += kernel[k] * std::polar(1.0, -2.0 * pi * static_cast<double>(k) * cycles_per_point);
  return std::norm(s);
}

void counting_noise::draw(std::mt19937_64& rng, std::vector<double>& out) const {
  std::normal_distribution<double> unit;
  const std::size_t n = sigma.size(), m = kernel.size();
  std::vector<double> z(n + m - 1);
  for (double& v : z) v = unit(rng);
  out.assign(n, 0.0);
  for (std::size_t i = 0; i < n; ++i) {
    double s = 0.0;
    for (std::size_t k = 0; k < m; ++k) s += kernel[k] * z[i + k];
    out[i] = sigma[i] * s;
  }
}

counting_noise noise_of(const std::vector<double>& y) {
  counting_noise noise;
  const std::size_t n = y.size();
  noise.sigma.assign(n, 0.0);
  if (integer_counts(y)) {
    noise.counts = true;
    // A point of 0 counts still had an expectation above 0.
    for (std::size_t i = 0; i < n; ++i) noise.sigma[i] = std::sqrt(std::max(y[i], 1.0));
    return noise;
  }
  if (n < 5) return noise;
  // Scaled counts vary as the level does; a profile that goes to 0 or below
  // (a background taken off) has noise of one size.
  const bool positive = std::all_of(y.begin(), y.end(), [](double v) { return v > 0.0; });
  auto level = [&](std::size_t i) { return positive ? (y[i - 1] + y[i] + y[i + 1]) / 3.0 : 1.0; };
  // Second differences take a smooth curve away; over a line's core they
  // keep its curvature, which a low quantile of their squares passes over.
  std::vector<double> ratio;
  for (std::size_t i = 1; i + 1 < n; ++i) {
    const double d = y[i - 1] - 2.0 * y[i] + y[i + 1];
    ratio.push_back(d * d / 6.0 / level(i));
  }
  // The 25% quantile of χ²(1) is 0.1015.
  const double gain = quantile(ratio, 0.25) / 0.1015;
  for (std::size_t i = 0; i < n; ++i) {
    const double l = positive ? y[i] : 1.0;
    noise.sigma[i] = std::sqrt(std::max(gain * l, 0.0));
  }
  return noise;
}
