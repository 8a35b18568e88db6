#pragma once

#include <cmath>
#include <functional>
#include <random>
#include <vector>

// Whole patterns made from closed forms: pseudo-Voigt lines, each as a
// K-alpha doublet placed by Bragg's law, on a background given as a
// function, with Poisson counts drawn from a fixed seed.
namespace synthetic_pattern {

constexpr double pi = 3.14159265358979323846;
constexpr double lambda1_A = 1.5406, lambda2_A = 1.54439, ka2_ratio = 0.5;

// Pseudo-Voigt of height 1 and its area (Gaussian area FWHM √(π / 4 ln 2),
// Lorentzian area π FWHM / 2).
inline double pseudo_voigt(double t, double fwhm, double eta) {
  const double u = 2.0 * t / fwhm;
  return eta / (1.0 + u * u) + (1.0 - eta) * std::exp(-std::log(2.0) * u * u);
}
inline double pseudo_voigt_area(double fwhm, double eta) {
  return eta * pi * fwhm / 2.0 + (1.0 - eta) * fwhm * std::sqrt(pi / (4.0 * std::log(2.0)));
}

// 2θ of spacing d, written here apart from the code under test.
inline double two_theta_deg(double d_A, double lambda_A) { return 360.0 / pi * std::asin(lambda_A / (2.0 * d_A)); }

struct line {
  double d_A, height, fwhm_deg, eta = 0.5;
};

struct pattern {
  std::vector<double> x, y, truth;  // truth: the background alone
};

// Lines as doublets (ratio 0: single lines at lambda1) on `background`.
inline pattern make(double from, double to, double step, const std::vector<line>& lines,
                    const std::function<double(double)>& background, double ratio, unsigned seed, bool noise = true) {
  pattern p;
  std::mt19937_64 rng(seed);
  const int n = static_cast<int>(std::lround((to - from) / step)) + 1;
  for (int i = 0; i < n; ++i) {
    const double x = from + i * step;
    double y = background(x);
    p.truth.push_back(y);
    for (const line& l : lines) {
      y += l.height * pseudo_voigt(x - two_theta_deg(l.d_A, lambda1_A), l.fwhm_deg, l.eta);
      if (ratio > 0.0) y += ratio * l.height * pseudo_voigt(x - two_theta_deg(l.d_A, lambda2_A), l.fwhm_deg, l.eta);
    }
    if (noise) y = static_cast<double>(std::poisson_distribution<long>(y)(rng));
    p.x.push_back(x);
    p.y.push_back(y);
  }
  return p;
}

// bcc iron, a = 2.8665 Å: 110, 200, 211, 220, 310, with Caglioti widths
// (U, V, W = 0.02, −0.005, 0.01 deg²) on a background falling as 1 / 2θ.
constexpr double iron_a_A = 2.8665;
struct iron_reflection {
  const char* hkl;
  int h, k, l;
  double height;
};
inline const iron_reflection iron[] = {
    {"110", 1, 1, 0, 6000}, {"200", 2, 0, 0, 900}, {"211", 2, 1, 1, 1800}, {"220", 2, 2, 0, 600}, {"310", 3, 1, 0, 1000}};
inline double iron_d_A(const iron_reflection& r) { return iron_a_A / std::sqrt(r.h * r.h + r.k * r.k + r.l * r.l); }
inline double iron_background(double x) { return 80.0 + 2500.0 / (x - 20.0); }
inline double iron_fwhm_deg(const iron_reflection& r) {
  const double tan_theta = std::tan(two_theta_deg(iron_d_A(r), lambda1_A) * pi / 360.0);
  return std::sqrt(0.02 * tan_theta * tan_theta - 0.005 * tan_theta + 0.01);
}
inline pattern iron_pattern(unsigned seed = 20261207) {
  std::vector<line> lines;
  for (const auto& r : iron) lines.push_back({iron_d_A(r), r.height, iron_fwhm_deg(r)});
  return make(40.0, 120.0, 0.02, lines, iron_background, ka2_ratio, seed);
}

}  // namespace synthetic_pattern
