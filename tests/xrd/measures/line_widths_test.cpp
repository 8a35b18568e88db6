// measure_line against closed forms: sampled lines whose widths are known
// analytically, and the profiles that have none.
#include "xrd/measures/line_widths.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace {

struct sampled {
  std::vector<double> x, y;
};

sampled sample(double from, double to, double step, const std::function<double(double)>& f) {
  sampled s;
  const int n = static_cast<int>(std::lround((to - from) / step)) + 1;
  for (int i = 0; i < n; ++i) {
    s.x.push_back(from + i * step);
    s.y.push_back(f(s.x.back()));
  }
  return s;
}

constexpr double sigma_deg = 0.1, gamma_deg = 0.05, height = 1000.0;

double gaussian(double x) { return height * std::exp(-x * x / (2.0 * sigma_deg * sigma_deg)); }
double lorentzian(double x) { return height / (1.0 + (x / gamma_deg) * (x / gamma_deg)); }

TEST(LineWidths, OfAGaussianAndALorentzianMatchTheirClosedForms) {
  const double pi = std::acos(-1.0);
  const struct {
    const char* name;
    sampled line;
    double fwhm_deg, breadth_deg, centroid_deg, tolerance_deg;
  } rows[] = {
      // FWHM = 2 sqrt(2 ln 2) σ, β = σ sqrt(2π): the whole line lies in ±10σ.
      {"a Gaussian", sample(-1, 1, 0.005, gaussian), 2.0 * std::sqrt(2.0 * std::log(2.0)) * sigma_deg,
       sigma_deg * std::sqrt(2.0 * pi), 0.0, 5e-5},
      // FWHM = 2γ; over ±1° only the area inside counts: β = 2γ atan(1/γ).
      {"a Lorentzian cut at the range's ends", sample(-1, 1, 0.005, lorentzian), 2.0 * gamma_deg,
       2.0 * gamma_deg * std::atan(1.0 / gamma_deg), 0.0, 2e-4},
      // ∫ x L dx = H γ² ln(1 + (x/γ)²) / 2 gives the centroid of the cut line.
      {"a Lorentzian off the centre of an uneven range", sample(-0.6, 1.4, 0.004, lorentzian), 2.0 * gamma_deg,
       gamma_deg * (std::atan(1.4 / gamma_deg) + std::atan(0.6 / gamma_deg)),
       gamma_deg / 2.0 * std::log((1.0 + std::pow(1.4 / gamma_deg, 2)) / (1.0 + std::pow(0.6 / gamma_deg, 2))) /
           (std::atan(1.4 / gamma_deg) + std::atan(0.6 / gamma_deg)),
       2e-4},
  };
  for (const auto& r : rows) {
    const line_widths w = measure_line(r.line.x, r.line.y);
    ASSERT_TRUE(w.ok()) << r.name << ": " << w.why;
    EXPECT_NEAR(w.fwhm_x, r.fwhm_deg, r.tolerance_deg) << r.name;
    EXPECT_NEAR(w.integral_breadth_x, r.breadth_deg, r.tolerance_deg) << r.name;
    EXPECT_NEAR(w.shape_factor, r.fwhm_deg / r.breadth_deg, 1e-3) << r.name;
    EXPECT_NEAR(w.centroid_x, r.centroid_deg, r.tolerance_deg) << r.name;
    EXPECT_EQ(w.height, height) << r.name;
  }
}

TEST(LineWidths, OfATriangleAreExactAtAnyStepThatSamplesItsTop) {
  // Height 10 at 10, feet at 0 and 20: FWHM 10, area 100, β 10, centroid 10.
  for (double step : {0.5, 1.0, 2.5}) {
    const sampled t = sample(0, 20, step, [](double x) { return 10.0 - std::fabs(x - 10.0); });
    const line_widths w = measure_line(t.x, t.y);
    EXPECT_NEAR(w.fwhm_x, 10.0, 1e-9) << step;
    EXPECT_NEAR(w.area_xy, 100.0, 1e-9) << step;
    EXPECT_NEAR(w.integral_breadth_x, 10.0, 1e-9) << step;
    EXPECT_NEAR(w.centroid_x, 10.0, 1e-9) << step;
  }
}

TEST(LineWidths, AreRefusedWithTheReasonForAProfileThatHasNoLine) {
  const double big = 3e38, nan = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* name;
    std::vector<double> y;
    const char* why;
    bool area_found;
  } rows[] = {
      {"a flat profile", {0, 0, 0, 0}, "does not rise above its background", true},
      {"a profile below its background", {-1, -2, -1, -3}, "does not rise above its background", true},
      {"a profile of huge equal values", {big, big, big, big}, "does not rise above its background", true},
      {"a line at the range's left end", {9, 8, 4, 1}, "on its left", true},
      {"a line at the range's right end", {1, 4, 8, 9}, "on its right", true},
      {"a value that is not a number", {1, nan, 1, 0}, "not a finite number", false},
  };
  for (const auto& r : rows) {
    const std::vector<double> x = {0, 1, 2, 3};
    std::vector<double> y = r.y;
    if (std::string(r.name) == "a profile of huge equal values")
      for (double& v : y) v -= big;  // what is left above a background at that level
    const line_widths w = measure_line(x, y);
    EXPECT_FALSE(w.ok()) << r.name;
    EXPECT_NE(w.why.find(r.why), std::string::npos) << r.name << ": " << w.why;
    EXPECT_TRUE(std::isnan(w.fwhm_x)) << r.name;
    EXPECT_EQ(std::isfinite(w.area_xy), r.area_found) << r.name;
  }
  EXPECT_EQ(measure_line({}, {}).why, "the range holds no point");
}

}  // namespace
