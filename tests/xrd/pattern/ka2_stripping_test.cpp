// Rachinger's stripping of a K-alpha doublet made from closed forms.
#include <gtest/gtest.h>

#include "synthetic_pattern.h"
#include "xrd/pattern/ka2_strip.h"
#include "xrd/pattern/peak_search.h"

namespace {

using namespace synthetic_pattern;

TEST(Ka2Stripping, ADoubletLeavesOneKAlpha1LineOfItsOwnAreaAndNoShoulder) {
  const struct {
    const char* name;
    double two_theta_deg, fwhm_deg, eta;
  } rows[] = {{"unresolved at 40 deg", 40.0, 0.15, 0.5},
              {"half resolved at 80 deg", 80.0, 0.2, 0.3},
              {"resolved at 130 deg", 130.0, 0.25, 0.7}};
  for (const auto& c : rows) {
    const double d = lambda1_A / (2.0 * std::sin(c.two_theta_deg * pi / 360.0));
    const double x2 = two_theta_deg(d, lambda2_A);
    const double height = 1000.0;
    const pattern p = make(c.two_theta_deg - 6.0, c.two_theta_deg + 6.0, 0.005, {{d, height, c.fwhm_deg, c.eta}},
                           [](double) { return 0.0; }, ka2_ratio, 0, false);
    const std::vector<double> ka1 = strip_ka2(p.x, p.y, {lambda1_A, lambda2_A, ka2_ratio});
    double area = 0.0, shoulder = 0.0;
    for (std::size_t i = 0; i + 1 < ka1.size(); ++i) area += (ka1[i] + ka1[i + 1]) / 2.0 * 0.005;
    for (std::size_t i = 0; i < ka1.size(); ++i)
      if (std::fabs(p.x[i] - x2) < c.fwhm_deg / 4.0)
        shoulder = std::max(shoulder, std::fabs(ka1[i] - height * pseudo_voigt(p.x[i] - c.two_theta_deg, c.fwhm_deg, c.eta)));
    // Within ±6° the Lorentzian part's tails are cut off: the true K-alpha1 area over the same range.
    double truth = 0.0;
    for (std::size_t i = 0; i + 1 < p.x.size(); ++i)
      truth += height * (pseudo_voigt(p.x[i] - c.two_theta_deg, c.fwhm_deg, c.eta) +
                         pseudo_voigt(p.x[i + 1] - c.two_theta_deg, c.fwhm_deg, c.eta)) / 2.0 * 0.005;
    EXPECT_NEAR(area / truth, 1.0, 0.01) << c.name;
    EXPECT_NEAR(truth, height * pseudo_voigt_area(c.fwhm_deg, c.eta), 0.03 * truth) << c.name;
    EXPECT_LT(shoulder, 0.01 * height) << c.name << ": at the K-alpha2 position";
    peak_search_options single;
    single.doublet.ratio = 0.0;
    // As counts on a flat background of 100, for the search to judge against their noise.
    std::vector<double> counts(ka1.size());
    for (std::size_t i = 0; i < ka1.size(); ++i) counts[i] = std::round(ka1[i] + 100.0);
    const peak_search found = find_lines(p.x, counts, std::vector<double>(ka1.size(), 100.0), single);
    ASSERT_EQ(found.lines.size(), 1u) << c.name;
    EXPECT_NEAR(found.lines[0].position_x, c.two_theta_deg, 0.002) << c.name;
  }
}

}  // namespace
