#pragma once

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "xrd/pattern/doublet_fit.h"

// Synthetic patterns of a line-profile standard, written here from the
// textbook forms so that the code under test is checked against them and
// not against itself.
namespace standard_pattern {

inline constexpr double pi = 3.14159265358979323846;
inline constexpr double degree = pi / 180.0;
inline constexpr double lambda1 = 1.5406, lambda2 = 1.54439, ratio = 0.5;  // Cu, Å
inline constexpr double lab6_a = 4.15692;                                   // Å, simple cubic

// The instrument the synthetic standard is measured with.
struct instrument_truth {
  double U = 0.0040, V = -0.0020, W = 0.0030;  // deg²
  double eta0 = 0.30, eta1 = 0.0030;           // η = eta0 + eta1 · 2θ
  double fwhm(double two_theta) const {
    const double t = std::tan(two_theta * degree / 2.0);
    return std::sqrt(U * t * t + V * t + W);
  }
  double eta(double two_theta) const { return eta0 + eta1 * two_theta; }
};

inline double bragg_two_theta(double d, double lambda) { return 2.0 * std::asin(lambda / (2.0 * d)) / degree; }

// A unit-area pseudo-Voigt: a Lorentzian of half width h = FWHM / 2 and a
// Gaussian of sigma FWHM / (2 sqrt(2 ln 2)).
inline double pseudo_voigt(double u, double fwhm, double eta) {
  const double h = fwhm / 2.0, s = fwhm / (2.0 * std::sqrt(2.0 * std::log(2.0)));
  return eta * h / (pi * (u * u + h * h)) + (1.0 - eta) * std::exp(-u * u / (2.0 * s * s)) / (s * std::sqrt(2.0 * pi));
}

// One line of d-spacing d: K-alpha1 and K-alpha2 at their own Bragg angles,
// of total area `area` split 1 : ratio.
struct line {
  std::string hkl;
  double two_theta1 = 0.0, two_theta2 = 0.0;
  double fwhm = 0.0, eta = 0.0, area = 0.0;
  double at(double x) const {
    return area / (1.0 + ratio) *
           (pseudo_voigt(x - two_theta1, fwhm, eta) + ratio * pseudo_voigt(x - two_theta2, fwhm, eta));
  }
};

// The lines of LaB6 (every hkl of a simple cubic lattice) between 2θ from and to.
inline std::vector<line> lab6_lines(const instrument_truth& truth, double from, double to) {
  std::vector<line> out;
  for (int n = 1; n < 200; ++n) {
    // n = h² + k² + l² of some hkl: the first such hkl names the line.
    std::string hkl;
    for (int h = 0; h * h <= n && hkl.empty(); ++h)
      for (int k = 0; k <= h && hkl.empty(); ++k)
        for (int l = 0; l <= k && hkl.empty(); ++l)
          if (h * h + k * k + l * l == n) hkl = std::to_string(h) + std::to_string(k) + std::to_string(l);
    if (hkl.empty()) continue;
    const double d = lab6_a / std::sqrt(n);
    if (lambda1 / (2.0 * d) >= 1.0 || lambda2 / (2.0 * d) >= 1.0) break;
    const double t1 = bragg_two_theta(d, lambda1);
    if (t1 < from) continue;
    if (t1 > to) break;
    // Stronger at low angle, as measured lines are.
    out.push_back({hkl, t1, bragg_two_theta(d, lambda2), truth.fwhm(t1), truth.eta(t1), 400.0 + 40000.0 / n});
  }
  return out;
}

// The pattern on x1 + i·step: every line on a straight background, with
// Poisson counts when `rng` is given.
inline std::vector<double> pattern(const std::vector<line>& lines, const std::vector<double>& x, std::mt19937_64* rng) {
  std::vector<double> y(x.size());
  for (std::size_t i = 0; i < x.size(); ++i) {
    double v = 150.0 + 0.5 * (x[i] - x.front());
    for (const line& l : lines) v += l.at(x[i]);
    y[i] = rng ? static_cast<double>(std::poisson_distribution<long>(v)(*rng)) : v;
  }
  return y;
}

// Windows of `half` FWHM beyond both components, for the lines whose
// neighbours lie as far again outside: lines a fit can take alone.
inline std::vector<line_window> isolated_windows(const std::vector<line>& lines, double half) {
  std::vector<line_window> out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const line& l = lines[i];
    const line_window w{l.hkl, l.two_theta1, l.two_theta1 - half * l.fwhm, l.two_theta2 + half * l.fwhm};
    const bool alone = std::all_of(lines.begin(), lines.end(), [&](const line& o) {
      return &o == &l || o.two_theta2 + 2.0 * half * o.fwhm < w.from || o.two_theta1 - 2.0 * half * o.fwhm > w.to;
    });
    if (alone) out.push_back(w);
  }
  return out;
}

}  // namespace standard_pattern
