#pragma once

// Whole patterns of an iron-like sample of a known column length, seen
// through a known instrument, for the series of analyse-pattern.

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <utility>

namespace series_patterns {

constexpr double pi = 3.14159265358979323846;
constexpr double lambda1_A = 1.5406, lambda2_A = 1.54439, ka2_ratio = 0.5;
constexpr double iron_a_A = 2.8665;
constexpr double U = 0.0040, V = -0.0020, W = 0.0060, eta0 = 0.20, eta1 = 0.0030;

// A Voigt profile of unit area, by the trapezoid rule over its Gaussian.
inline double voigt(double x, double gamma, double sigma) {
  const double step = sigma / 10.0;
  double sum = 0.0;
  for (int j = -80; j <= 80; ++j) {
    const double u = j * step, v = x - u;
    sum += std::exp(-u * u / (2.0 * sigma * sigma)) / (sigma * std::sqrt(2.0 * pi)) * gamma / (pi * (v * v + gamma * gamma));
  }
  return sum * step;
}

inline double two_theta_of(double d_A, double lambda_A) { return 360.0 / pi * std::asin(lambda_A / (2.0 * d_A)); }

// Counts at 2θ = x of the bcc lines 110, 200, 211 and 220: columns of mean
// length D (a Lorentzian), a Gaussian strain, each K-alpha doublet through
// the instrument's pseudo-Voigt, on a falling background.
inline double expected_counts(double x, double D_A, double strain) {
  const struct {
    int h, k, l;
    double area;
  } lines[] = {{1, 1, 0, 6000}, {2, 0, 0, 3000}, {2, 1, 1, 4500}, {2, 2, 0, 3000}};
  double y = 2200.0 - 10.0 * (x - 30.0);
  for (const auto& r : lines) {
    const double d = iron_a_A / std::sqrt(r.h * r.h + r.k * r.k + r.l * r.l);
    const double centre1 = two_theta_of(d, lambda1_A), t = std::tan(centre1 * pi / 360.0);
    const double fwhm = std::sqrt(U * t * t + V * t + W), eta = eta0 + eta1 * centre1;
    const double gamma_i = fwhm / 2.0, sigma_i = fwhm / (2.0 * std::sqrt(2.0 * std::log(2.0)));
    for (const auto& [lambda, weight] : {std::pair{lambda1_A, 1.0}, std::pair{lambda2_A, ka2_ratio}}) {
      const double centre = two_theta_of(d, lambda);
      const double per_s = 180.0 / pi * lambda / std::cos(centre * pi / 360.0);
      const double gamma_s = per_s / (2.0 * pi * D_A), sigma_s = per_s * strain / d;
      const double u = x - centre;
      y += r.area * weight *
           (eta * voigt(u, gamma_i + gamma_s, sigma_s) + (1.0 - eta) * voigt(u, gamma_s, std::hypot(sigma_i, sigma_s)));
    }
  }
  return y;
}

// A two-column scan from 30 to 105 deg of 3750 points, Poisson counts.
inline std::string pattern_text(double D_A, double strain, unsigned seed) {
  std::mt19937 random(seed);
  std::string text = "# 2theta counts\n";
  for (int i = 0; i < 3750; ++i) {
    const double x = 30.0 + i * 75.0 / 3749.0;
    char row[64];
    std::snprintf(row, sizeof row, "%.4f %ld\n", x,
                  std::poisson_distribution<long>(expected_counts(x, D_A, strain))(random));
    text += row;
  }
  return text;
}

// The instrument as its file lays it out.
inline std::string instrument_text() {
  char text[1024];
  std::snprintf(text, sizeof text,
                "# xrdfourier instrument function\nstandard = made_by_the_test\n"
                "lambda1 = %.5f\nlambda2 = %.5f\nratio = 0.5\n"
                "U = %.6f\nU_u = 0.0001\nV = %.6f\nV_u = 0.0001\nW = %.6f\nW_u = 0.0001\n"
                "eta0 = %.4f\neta0_u = 0.01\neta1 = %.5f\neta1_u = 0.0001\ncov_eta0_eta1 = 0\n"
                "fwhm_chi2 = 1\neta_chi2 = 1\ncov_UV = 0\ncov_UW = 0\ncov_VW = 0\n",
                lambda1_A, lambda2_A, U, V, W, eta0, eta1);
  return text;
}

}  // namespace series_patterns
