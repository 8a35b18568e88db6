// Williamson–Hall on bcc lines made in the test from a known size and strain:
// the classical plot on breadths that add, the Voigt separation on Lorentzian
// and Gaussian breadths, the modified plot on lines given a known dislocation
// contrast, and the bounds where a set of lines has no size or no strain.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "xrd/pattern/williamson_hall.h"

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double iron_a_A = 2.8665;

const std::vector<std::array<int, 3>> bcc_lines{{1, 1, 0}, {2, 0, 0}, {2, 1, 1}, {2, 2, 0}, {3, 1, 0}};

double d_of(const std::array<int, 3>& hkl) {
  return iron_a_A / std::sqrt(hkl[0] * hkl[0] + hkl[1] * hkl[1] + hkl[2] * hkl[2]);
}

// H² and 1 − qH² written out here, from the indices.
double anisotropy(const std::array<int, 3>& hkl, double q) {
  const double h2 = hkl[0] * hkl[0], k2 = hkl[1] * hkl[1], l2 = hkl[2] * hkl[2];
  return 1.0 - q * (h2 * k2 + k2 * l2 + l2 * h2) / ((h2 + k2 + l2) * (h2 + k2 + l2));
}

// Lines of a Lorentzian size (β_L* = 1/⟨L⟩vol) and a Gaussian strain
// (β_G* = √(2π) ε_rms d*), each breadth with the relative σ given and normal
// noise of it where `seed` is not 0. A size of 0 means none (β_L* = 0); the
// squared Gaussian breadth's σ is `gauss_sigma` of the largest one.
std::vector<line_breadths> voigt_lines(double size_A, double strain, double lorentz_sigma, double gauss_sigma,
                                       unsigned seed) {
  std::mt19937 random(seed);
  std::normal_distribution<double> normal(0.0, 1.0);
  auto noise = [&] { return seed != 0 ? normal(random) : 0.0; };
  const double largest_g2 = 2.0 * pi * strain * strain / std::pow(d_of(bcc_lines.back()), 2);
  std::vector<line_breadths> lines;
  for (const auto& hkl : bcc_lines) {
    line_breadths l;
    l.hkl = hkl;
    l.d_A = d_of(hkl);
    const double lorentz = size_A > 0.0 ? 1.0 / size_A : 0.0;
    l.lorentz_u = lorentz_sigma * (size_A > 0.0 ? lorentz : 1e-3);
    l.lorentz_per_A = lorentz + l.lorentz_u * noise();
    const double g2 = 2.0 * pi * strain * strain / (l.d_A * l.d_A);
    l.gauss_squared_u = gauss_sigma * (strain > 0.0 ? largest_g2 : 1e-5);
    l.gauss_squared_per_A2 = g2 + l.gauss_squared_u * noise();
    lines.push_back(l);
  }
  return lines;
}

// Lines whose integral breadths add (β* = 1/⟨L⟩vol + 2e d* √(1 − qH²)).
std::vector<line_breadths> additive_lines(double size_A, double apparent_strain, double q, double sigma,
                                          unsigned seed, const std::vector<std::array<int, 3>>& hkls = bcc_lines) {
  std::mt19937 random(seed);
  std::normal_distribution<double> normal(0.0, 1.0);
  std::vector<line_breadths> lines;
  for (const auto& hkl : hkls) {
    line_breadths l;
    l.hkl = hkl;
    l.d_A = d_of(hkl);
    const double beta = (size_A > 0.0 ? 1.0 / size_A : 0.0) + 2.0 * apparent_strain / l.d_A * std::sqrt(anisotropy(hkl, q));
    l.integral_u = sigma;
    l.integral_per_A = beta + (seed != 0 ? sigma * normal(random) : 0.0);
    lines.push_back(l);
  }
  return lines;
}

TEST(WilliamsonHall, TheVoigtSeparationOfNoiseFreeBccLinesGivesTheirSizeAndStrain) {
  const voigt_williamson_hall r = voigt_williamson_hall_of(voigt_lines(500.0, 2e-3, 0.03, 0.03, 0));
  ASSERT_TRUE(r.volume_length_A.resolved()) << r.volume_length_A.reason;
  ASSERT_TRUE(r.rms_strain.resolved()) << r.rms_strain.reason;
  EXPECT_NEAR(r.volume_length_A.value, 500.0, 1e-6);
  EXPECT_NEAR(r.rms_strain.value, 2e-3, 1e-12);
  EXPECT_EQ(r.size_plot.lines.size(), 5u);
  for (double residual : r.strain_plot.fit.residuals) EXPECT_NEAR(residual, 0.0, 1e-15);
}

TEST(WilliamsonHall, TheVoigtSeparationOfNoisyLinesIsWithinTenPercentAndHoldsTheTruthWithinTwiceItsUncertainty) {
  int trials = 0, size_covered = 0, strain_covered = 0, size_close = 0, strain_close = 0;
  for (unsigned seed = 1; seed <= 300; ++seed) {
    const voigt_williamson_hall r = voigt_williamson_hall_of(voigt_lines(500.0, 2e-3, 0.03, 0.03, seed));
    ASSERT_TRUE(r.volume_length_A.resolved() && r.rms_strain.resolved());
    ++trials;
    size_covered += std::abs(r.volume_length_A.value - 500.0) < 2.0 * r.volume_length_A.u;
    strain_covered += std::abs(r.rms_strain.value - 2e-3) < 2.0 * r.rms_strain.u;
    size_close += std::abs(r.volume_length_A.value - 500.0) < 50.0;
    strain_close += std::abs(r.rms_strain.value - 2e-3) < 2e-4;
  }
  EXPECT_GE(size_covered, 0.9 * trials);
  EXPECT_GE(strain_covered, 0.9 * trials);
  EXPECT_GE(size_close, 0.95 * trials);
  EXPECT_GE(strain_close, 0.95 * trials);
}

TEST(WilliamsonHall, TheClassicalPlotOfBreadthsThatAddGivesTheSizeAndApparentStrain) {
  const classical_williamson_hall r = classical_williamson_hall_of(additive_lines(400.0, 1.5e-3, 0.0, 1e-5, 0));
  ASSERT_TRUE(r.volume_length_A.resolved() && r.apparent_strain.resolved());
  EXPECT_NEAR(r.volume_length_A.value, 400.0, 1e-6);
  EXPECT_NEAR(r.apparent_strain.value, 1.5e-3, 1e-12);
  // 1/a² · u(a): the size's uncertainty is carried from the intercept's.
  EXPECT_NEAR(r.volume_length_A.u, r.plot.fit.u(0) * 400.0 * 400.0, 1e-9);
}

TEST(WilliamsonHall, LinesScatteringBeyondTheirUncertaintiesWidenTheFitsUncertaintiesByTheBirgeRatio) {
  std::vector<line_breadths> lines = additive_lines(400.0, 1.5e-3, 0.0, 1e-5, 0);
  const std::vector<double> scatter{3e-5, -5e-5, 4e-5, -2e-5, 6e-5};
  for (std::size_t i = 0; i < lines.size(); ++i) lines[i].integral_per_A += scatter[i];
  const classical_williamson_hall r = classical_williamson_hall_of(lines);
  ASSERT_TRUE(r.plot.refused.empty());
  // The weighted straight line written out (equal weights here).
  double S = 0, Sx = 0, Sy = 0, Sxx = 0, Sxy = 0;
  for (const auto& l : lines) {
    const double x = 1.0 / l.d_A, y = l.integral_per_A, w = 1.0 / (l.integral_u * l.integral_u);
    S += w, Sx += w * x, Sy += w * y, Sxx += w * x * x, Sxy += w * x * y;
  }
  const double D = S * Sxx - Sx * Sx;
  const double a = (Sxx * Sy - Sx * Sxy) / D, b = (S * Sxy - Sx * Sy) / D;
  double chi_square = 0.0;
  for (const auto& l : lines) chi_square += std::pow((l.integral_per_A - a - b / l.d_A) / l.integral_u, 2);
  const double birge = chi_square / 3.0;
  ASSERT_GT(birge, 1.0);
  EXPECT_NEAR(r.plot.fit.coefficients[0], a, 1e-12);
  EXPECT_NEAR(r.plot.fit.coefficients[1], b, 1e-12);
  EXPECT_NEAR(r.plot.fit.u(0), std::sqrt(Sxx / D * birge), 1e-6 * std::sqrt(Sxx / D * birge));
  EXPECT_NEAR(r.plot.fit.u(1), std::sqrt(S / D * birge), 1e-6 * std::sqrt(S / D * birge));
  // Lines that lie closer than their σ say keep the σ's uncertainties.
  const classical_williamson_hall exact = classical_williamson_hall_of(additive_lines(400.0, 1.5e-3, 0.0, 1e-5, 0));
  EXPECT_NEAR(exact.plot.fit.u(0), std::sqrt(Sxx / D), 1e-6 * std::sqrt(Sxx / D));
}

struct bound_case {
  std::string name;
  double size_A, strain;
  bool size_bounded, strain_bounded;
};

class ASetOfLines : public testing::TestWithParam<bound_case> {};

TEST_P(ASetOfLines, WithoutASizeOrAStrainGivesABoundForIt) {
  const bound_case& c = GetParam();
  const voigt_williamson_hall r = voigt_williamson_hall_of(voigt_lines(c.size_A, c.strain, 0.03, 0.03, 5));
  if (c.size_bounded) {
    ASSERT_EQ(r.volume_length_A.form, uncertain_value::kind::bound) << r.volume_length_A.reason;
    EXPECT_EQ(r.volume_length_A.relation, '>');
  } else {
    EXPECT_TRUE(r.volume_length_A.resolved());
  }
  if (c.strain_bounded) {
    ASSERT_EQ(r.rms_strain.form, uncertain_value::kind::bound) << r.rms_strain.reason;
    EXPECT_EQ(r.rms_strain.relation, '<');
  } else {
    EXPECT_TRUE(r.rms_strain.resolved());
  }
  const std::string summary = williamson_hall_summary(r.volume_length_A, r.rms_strain);
  const std::regex size(c.size_bounded ? "Williamson-Hall volume-weighted size = not resolved \\(> [0-9]+\\.[0-9] A\\)\n"
                                       : "Williamson-Hall volume-weighted size = [0-9]+\\.[0-9] \u00b1 [0-9]+\\.[0-9] A\n");
  const std::regex strain(c.strain_bounded
                              ? "Williamson-Hall rms strain = not resolved \\(< [0-9]\\.[0-9]{2}e-0[0-9]\\)\n"
                              : "Williamson-Hall rms strain = [0-9]\\.[0-9]{2}e-0[0-9] \u00b1 [0-9]\\.[0-9]e-0[0-9]\n");
  EXPECT_TRUE(std::regex_search(summary, size)) << summary;
  EXPECT_TRUE(std::regex_search(summary, strain)) << summary;
}

INSTANTIATE_TEST_SUITE_P(Bounds, ASetOfLines,
                         testing::Values(bound_case{"FreeOfStrain", 500.0, 0.0, false, true},
                                         bound_case{"FreeOfSize", 0.0, 2e-3, true, false},
                                         bound_case{"WithBoth", 500.0, 2e-3, false, false}),
                         [](const testing::TestParamInfo<bound_case>& info) { return info.param.name; });

TEST(WilliamsonHall, TwoLinesAreTooFewForAStraightLineAndSaySo) {
  std::vector<line_breadths> lines = voigt_lines(500.0, 2e-3, 0.03, 0.03, 0);
  lines.resize(2);
  const voigt_williamson_hall r = voigt_williamson_hall_of(lines);
  EXPECT_NE(r.size_plot.refused.find("fewer than 3 lines"), std::string::npos);
  EXPECT_EQ(r.volume_length_A.form, uncertain_value::kind::not_determined);
  EXPECT_EQ(williamson_hall_summary(r.volume_length_A, r.rms_strain).find("nan"), std::string::npos);
}

TEST(WilliamsonHall, AReciprocalBreadthIsTheBreadthInRadiansTimesCosThetaOverLambda) {
  // 0.5° 2θ at 2θ = 90° with Cu Kα1: 0.5 · π/180 · cos 45° / 1.5406.
  EXPECT_NEAR(reciprocal_breadth_per_A(0.5 * pi / 180.0, 90.0, 1.5406), 8.7266463e-3 * std::sqrt(0.5) / 1.5406, 1e-10);
  EXPECT_DOUBLE_EQ(reciprocal_spacing_per_A(2.0), 0.5);
}

// Modified Williamson–Hall. The bcc lines to 321 give H² of 0, 0.09, 0.25
// and 0.18: enough orientations to fix q.
const std::vector<std::array<int, 3>> bcc_to_321{{1, 1, 0}, {2, 0, 0}, {2, 1, 1}, {2, 2, 0},
                                                  {3, 1, 0}, {2, 2, 2}, {3, 2, 1}};

TEST(ModifiedWilliamsonHall, LinesOfAKnownDislocationContrastGiveBackQTheSizeAndTheStrain) {
  const std::vector<line_breadths> lines = additive_lines(600.0, 2e-3, 1.8, 1e-5, 0, bcc_to_321);
  const modified_williamson_hall r = modified_williamson_hall_of(lines);
  ASSERT_TRUE(r.plot.refused.empty()) << r.plot.refused;
  EXPECT_TRUE(r.q_fitted);
  ASSERT_TRUE(r.q.resolved());
  EXPECT_NEAR(r.q.value, 1.8, 1e-5);
  EXPECT_NEAR(r.volume_length_A.value, 600.0, 0.01);
  EXPECT_NEAR(r.strain_h00.value, 2e-3, 1e-8);
  // The same lines scatter about the classical straight line far beyond
  // their σ: that is what the contrast factors take away.
  EXPECT_GT(classical_williamson_hall_of(lines).plot.fit.chi_square, 100.0 * lines.size());
  EXPECT_LT(r.plot.fit.chi_square, 1e-6);
}

TEST(ModifiedWilliamsonHall, NoisyAnisotropicLinesHoldTheTrueQWithinTwiceItsUncertaintyMostOfTheTime) {
  int trials = 0, q_covered = 0, size_close = 0, strain_close = 0;
  for (unsigned seed = 1; seed <= 100; ++seed) {
    const modified_williamson_hall r = modified_williamson_hall_of(additive_lines(600.0, 2e-3, 1.8, 2e-5, seed, bcc_to_321));
    if (!r.plot.refused.empty() || !r.q.resolved()) continue;
    ++trials;
    q_covered += std::abs(r.q.value - 1.8) < 2.0 * r.q.u;
    size_close += r.volume_length_A.resolved() && std::abs(r.volume_length_A.value - 600.0) < 60.0;
    strain_close += r.strain_h00.resolved() && std::abs(r.strain_h00.value - 2e-3) < 2e-4;
  }
  EXPECT_GE(trials, 95);
  EXPECT_GE(q_covered, 0.9 * trials);
  EXPECT_GE(size_close, 0.9 * trials);
  EXPECT_GE(strain_close, 0.9 * trials);
}

TEST(ModifiedWilliamsonHall, TheSquaredGaussianFormGivesBackQAndTheRmsStrainAlongH00) {
  std::vector<line_breadths> lines;
  for (const auto& hkl : bcc_to_321) {
    line_breadths l;
    l.hkl = hkl;
    l.d_A = d_of(hkl);
    l.gauss_squared_per_A2 = 1e-6 + 2.0 * pi * 1.5e-3 * 1.5e-3 / (l.d_A * l.d_A) * anisotropy(hkl, 2.2);
    l.gauss_squared_u = 1e-7;
    lines.push_back(l);
  }
  const modified_williamson_hall r = modified_gauss_williamson_hall_of(lines);
  ASSERT_TRUE(r.plot.refused.empty()) << r.plot.refused;
  EXPECT_NEAR(r.q.value, 2.2, 1e-5);
  EXPECT_NEAR(r.strain_h00.value, 1.5e-3, 1e-8);
  EXPECT_EQ(r.volume_length_A.form, uncertain_value::kind::not_determined);
}

TEST(ModifiedWilliamsonHall, AGivenQIsUsedAsItIsAndOneThatMakesAContrastNegativeIsRefused) {
  const std::vector<line_breadths> lines = additive_lines(600.0, 2e-3, 1.8, 1e-5, 0, bcc_to_321);
  const modified_williamson_hall given = modified_williamson_hall_of(lines, 1.8);
  EXPECT_FALSE(given.q_fitted);
  EXPECT_DOUBLE_EQ(given.q.value, 1.8);
  EXPECT_NEAR(given.volume_length_A.value, 600.0, 1e-6);
  // 222 has H² = 1/3: q = 3 leaves it no contrast at all.
  const modified_williamson_hall refused = modified_williamson_hall_of(lines, 3.0);
  EXPECT_NE(refused.plot.refused.find("contrast factor of 0 or below"), std::string::npos) << refused.plot.refused;
  EXPECT_EQ(refused.volume_length_A.form, uncertain_value::kind::not_determined);
}

TEST(ModifiedWilliamsonHall, LinesOfOneOrientationCannotFixQAndSaySo) {
  const std::vector<std::array<int, 3>> h00{{2, 0, 0}, {4, 0, 0}, {6, 0, 0}, {8, 0, 0}};
  const modified_williamson_hall r = modified_williamson_hall_of(additive_lines(600.0, 2e-3, 0.0, 1e-5, 0, h00));
  EXPECT_FALSE(r.plot.refused.empty());
  EXPECT_FALSE(r.q.resolved());
  EXPECT_FALSE(r.volume_length_A.resolved());
}

}  // namespace
