// The pseudo-Voigt fit that the line warnings stand on, against lines made
// here from the closed forms of a Lorentzian and a Gaussian of one FWHM.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "xrd/sizes/profile_fit.h"

namespace {

constexpr double pi = 3.14159265358979323846;

struct line_truth {
  double centre = 44.67, fwhm = 0.20, eta = 0.4, area = 2000.0, background = 150.0, slope = 0.0;
};

// η·Lorentzian + (1 − η)·Gaussian, both of area 1 and of FWHM `fwhm`.
double pseudo_voigt_at(double x, const line_truth& t) {
  const double u = x - t.centre, g = t.fwhm / 2.0;
  const double lorentz = g / pi / (u * u + g * g);
  const double sigma = t.fwhm / std::sqrt(8.0 * std::log(2.0));
  const double gauss = std::exp(-0.5 * u * u / (sigma * sigma)) / (sigma * std::sqrt(2.0 * pi));
  return t.area * (t.eta * lorentz + (1.0 - t.eta) * gauss) + t.background + t.slope * (x - t.centre);
}

struct scan {
  std::vector<double> x, y;
};

scan scan_of(const line_truth& t, double from, double to, double step, std::mt19937_64* rng) {
  scan s;
  for (double x = from; x <= to + 1e-9; x += step) {
    double y = pseudo_voigt_at(x, t);
    if (rng) y = static_cast<double>(std::poisson_distribution<long>(y)(*rng));
    s.x.push_back(x);
    s.y.push_back(y);
  }
  return s;
}

TEST(ProfileFit, AFittedLineGivesBackItsPositionWidthAndShape) {
  const struct {
    const char* what;
    line_truth truth;
    bool noisy;
    double sigmas;  // how many of its uncertainties a noisy figure may miss by
  } rows[] = {{"a mostly Gaussian line without noise", {44.67, 0.20, 0.3, 2000.0, 150.0, 0.0}, false, 0.0},
              {"a mostly Lorentzian line on a sloping background", {82.33, 0.35, 0.8, 5000.0, 80.0, -10.0}, false, 0.0},
              {"a line with counting noise", {44.67, 0.20, 0.4, 2000.0, 150.0, 0.0}, true, 4.0},
              {"a weak broad line with counting noise", {65.02, 0.60, 0.5, 800.0, 300.0, 5.0}, true, 4.0}};
  for (const auto& row : rows) {
    std::mt19937_64 rng(5);
    const scan s = scan_of(row.truth, row.truth.centre - 3.0, row.truth.centre + 3.0, 0.01, row.noisy ? &rng : nullptr);
    const profile_fit f = fit_profile(s.x, s.y);
    ASSERT_TRUE(f.converged) << row.what << ": " << f.why;
    EXPECT_TRUE(f.counts || !row.noisy) << row.what;
    if (!row.noisy) {
      EXPECT_NEAR(f.centre, row.truth.centre, 1e-5) << row.what;
      EXPECT_NEAR(f.fwhm, row.truth.fwhm, 1e-5 * row.truth.fwhm) << row.what;
      EXPECT_NEAR(f.eta, row.truth.eta, 1e-4) << row.what;
      EXPECT_NEAR(f.area, row.truth.area, 1e-4 * row.truth.area) << row.what;
      continue;
    }
    // With noise, the truth within a few of the fit's own uncertainties,
    // which must be small enough to mean something.
    EXPECT_NEAR(f.centre, row.truth.centre, row.sigmas * f.u_centre) << row.what;
    EXPECT_NEAR(f.fwhm, row.truth.fwhm, row.sigmas * f.u_fwhm) << row.what;
    EXPECT_NEAR(f.eta, row.truth.eta, row.sigmas * f.u_eta) << row.what;
    EXPECT_NEAR(f.background, row.truth.background + row.truth.slope * (f.middle - row.truth.centre),
                row.sigmas * f.u_background)
        << row.what;
    EXPECT_LT(f.u_fwhm, 0.05 * row.truth.fwhm) << row.what;
    EXPECT_LT(f.u_eta, 0.1) << row.what;
    EXPECT_NEAR(f.reduced_chi_square, 1.0, 0.15) << row.what;
  }
}

TEST(ProfileFit, TheShareOutsideAWindowIsTheClosedFormsTail) {
  line_truth t;
  const scan s = scan_of(t, t.centre - 1.0, t.centre + 1.0, 0.005, nullptr);
  const profile_fit f = fit_profile(s.x, s.y);
  ASSERT_TRUE(f.converged) << f.why;
  // A Lorentzian keeps (2/π)·atan(h/g) within ±h, a Gaussian erf(h/(σ√2)).
  const double h = 1.0, g = t.fwhm / 2.0, sigma = t.fwhm / std::sqrt(8.0 * std::log(2.0));
  const double inside = t.eta * 2.0 / pi * std::atan(h / g) + (1.0 - t.eta) * std::erf(h / (sigma * std::sqrt(2.0)));
  EXPECT_NEAR(f.share_outside(t.centre - h, t.centre + h), 1.0 - inside, 1e-5);
  double from = 0.0, to = 0.0;
  f.window_holding(0.01, t.centre - h, t.centre + h, from, to);
  EXPECT_NEAR(f.share_outside(from, to), 0.01, 1e-6);
  EXPECT_NEAR(t.centre - from, to - t.centre, 1e-6) << "a line in the scan's middle widens it evenly";
}

TEST(ProfileFit, AScanWithoutALineIsNotFittedAndSaysWhy) {
  const struct {
    const char* what;
    std::vector<double> y;
  } rows[] = {{"a flat scan", std::vector<double>(200, 100.0)},
              {"a scan of three points", {1.0, 5.0, 1.0}},
              {"a line of values too large to square", [] {
                 std::vector<double> y(200, 1e300);
                 y[100] = 1.7e308;
                 return y;
               }()},
              {"a scan holding a NaN", [] {
                 std::vector<double> y(50, 10.0);
                 y[20] = std::nan("");
                 return y;
               }()}};
  for (const auto& row : rows) {
    std::vector<double> x;
    for (std::size_t i = 0; i < row.y.size(); ++i) x.push_back(40.0 + 0.02 * static_cast<double>(i));
    const profile_fit f = fit_profile(x, row.y);
    EXPECT_FALSE(f.converged) << row.what;
    EXPECT_FALSE(f.why.empty()) << row.what;
  }
  // Counting noise alone, with no line in it.
  std::mt19937_64 rng(9);
  std::vector<double> x, y;
  for (int i = 0; i < 300; ++i) {
    x.push_back(40.0 + 0.02 * i);
    y.push_back(static_cast<double>(std::poisson_distribution<long>(100.0)(rng)));
  }
  const profile_fit f = fit_profile(x, y);
  EXPECT_FALSE(f.converged) << "noise alone gave a line of area " << f.area << " ± " << f.u_area;
}

}  // namespace
