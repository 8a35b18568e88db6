// The Lorentzian and Gaussian breadths of a line read from its A(L): made in
// the test from known breadths, with and without counting noise of a known
// σ_A, and the Voigt's integral breadth against a profile integrated here.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "xrd/pattern/voigt_breadths.h"

namespace {

constexpr double pi = 3.14159265358979323846;

struct coefficients {
  std::vector<double> L, A, sigma;
};

// A Voigt line's A(L) = exp(−2β_L L) · exp(−π β_G² L²) (the transforms of a
// Lorentzian and a Gaussian of those integral breadths) on 5 Å steps to
// 1000 Å, with normal noise of σ_A where `seed` is not 0.
coefficients voigt_coefficients(double lorentz, double gauss, double sigma_A, unsigned seed) {
  coefficients c;
  std::mt19937 random(seed);
  std::normal_distribution<double> noise(0.0, sigma_A);
  for (double L = 0.0; L <= 1000.0; L += 5.0) {
    c.L.push_back(L);
    c.A.push_back(std::exp(-2.0 * lorentz * L - pi * gauss * gauss * L * L) + (seed != 0 ? noise(random) : 0.0));
    c.sigma.push_back(sigma_A);
  }
  return c;
}

struct breadth_case {
  std::string name;
  double lorentz, gauss, sigma_A;
};

class AVoigtLinesCoefficients : public testing::TestWithParam<breadth_case> {};

TEST_P(AVoigtLinesCoefficients, GiveBackItsLorentzianAndGaussianBreadthsWithinTwiceTheirUncertainty) {
  const breadth_case& c = GetParam();
  const coefficients a = voigt_coefficients(c.lorentz, c.gauss, c.sigma_A, 0);
  const voigt_breadths r = voigt_breadths_from(a.L, a.A, a.sigma, 20.0);
  ASSERT_TRUE(r.refused.empty()) << r.refused;
  ASSERT_TRUE(r.lorentz_per_A.resolved());
  ASSERT_TRUE(r.gauss_per_A.resolved());
  EXPECT_NEAR(r.lorentz_per_A.value, c.lorentz, std::max(2.0 * r.lorentz_per_A.u, 1e-9 * c.lorentz));
  EXPECT_NEAR(r.gauss_per_A.value, c.gauss, std::max(2.0 * r.gauss_per_A.u, 1e-9 * c.gauss));
  EXPECT_GE(r.L_from_A, 20.0);
  // Only the points A resolves: the last is above 3σ_A, the next is not.
  EXPECT_GT(std::exp(-2.0 * c.lorentz * r.L_to_A - pi * c.gauss * c.gauss * r.L_to_A * r.L_to_A), 3.0 * c.sigma_A);
}

INSTANTIATE_TEST_SUITE_P(
    Breadths, AVoigtLinesCoefficients,
    testing::Values(breadth_case{"MostlyLorentzian", 2.5e-3, 1.0e-3, 1e-4},
                    breadth_case{"Balanced", 1.25e-3, 2.0e-3, 1e-4},
                    breadth_case{"MostlyGaussian", 0.5e-3, 3.0e-3, 1e-4}),
    [](const testing::TestParamInfo<breadth_case>& info) { return info.param.name; });

TEST(VoigtBreadths, NoisyCoefficientsHoldTheTrueBreadthsWithinTwiceTheirUncertaintyNineteenTimesInTwenty) {
  const double lorentz = 1.25e-3, gauss = 2.0e-3, sigma_A = 3e-3;
  int trials = 0, lorentz_covered = 0, gauss_covered = 0;
  for (unsigned seed = 1; seed <= 200; ++seed) {
    const coefficients a = voigt_coefficients(lorentz, gauss, sigma_A, seed);
    const voigt_breadths r = voigt_breadths_from(a.L, a.A, a.sigma, 20.0);
    ASSERT_TRUE(r.refused.empty()) << r.refused;
    ++trials;
    if (r.lorentz_per_A.resolved() && std::abs(r.lorentz_per_A.value - lorentz) < 2.0 * r.lorentz_per_A.u)
      ++lorentz_covered;
    if (r.gauss_per_A.resolved() && std::abs(r.gauss_per_A.value - gauss) < 2.0 * r.gauss_per_A.u) ++gauss_covered;
  }
  // ±2u covers 95% of normal scatter; 200 trials put 90% well below that.
  EXPECT_GE(lorentz_covered, 0.9 * trials);
  EXPECT_GE(gauss_covered, 0.9 * trials);
}

TEST(VoigtBreadths, ALineWithoutAGaussianPartGivesABoundOnItsGaussianBreadth) {
  const coefficients a = voigt_coefficients(2.0e-3, 0.0, 3e-3, 7);
  const voigt_breadths r = voigt_breadths_from(a.L, a.A, a.sigma, 20.0);
  ASSERT_TRUE(r.refused.empty()) << r.refused;
  EXPECT_TRUE(r.lorentz_per_A.resolved());
  ASSERT_EQ(r.gauss_per_A.form, uncertain_value::kind::bound);
  EXPECT_EQ(r.gauss_per_A.relation, '<');
  EXPECT_GT(r.gauss_per_A.bound, 0.0);
  // A β_G² near 0 still carries its uncertainty for the strain plot.
  EXPECT_LT(std::abs(r.gauss_squared_per_A2), 3.0 * r.gauss_squared_u);
}

TEST(VoigtBreadths, ALineWithoutALorentzianPartGivesABoundOnItsLorentzianBreadth) {
  const coefficients a = voigt_coefficients(0.0, 2.5e-3, 3e-3, 11);
  const voigt_breadths r = voigt_breadths_from(a.L, a.A, a.sigma, 20.0);
  ASSERT_TRUE(r.refused.empty()) << r.refused;
  EXPECT_TRUE(r.gauss_per_A.resolved());
  ASSERT_EQ(r.lorentz_per_A.form, uncertain_value::kind::bound);
  EXPECT_EQ(r.lorentz_per_A.relation, '<');
}

TEST(VoigtBreadths, CoefficientsLostInNoiseFromTheStartAreRefusedWithTheCause) {
  const coefficients a = voigt_coefficients(0.05, 0.05, 0.1, 3);
  const voigt_breadths r = voigt_breadths_from(a.L, a.A, a.sigma, 20.0);
  EXPECT_NE(r.refused.find("fewer than 4 points"), std::string::npos) << r.refused;
  EXPECT_FALSE(r.lorentz_per_A.resolved());
  EXPECT_FALSE(r.integral_per_A.resolved());
}

// 1 / V(0) for V the convolution of L(x) = 1/(β_L (1 + (πx/β_L)²)) and
// G(x) = exp(−πx²/β_G²)/β_G, each of unit area: V(0) = ∫ L(x) G(x) dx, by
// Simpson's rule over ±6 β_G.
double integrated_voigt_breadth(double lorentz, double gauss) {
  const int n = 400000;
  const double half = 6.0 * gauss, h = 2.0 * half / n;
  double sum = 0.0;
  for (int i = 0; i <= n; ++i) {
    const double x = -half + i * h;
    const double f = 1.0 / (lorentz * (1.0 + (pi * x / lorentz) * (pi * x / lorentz))) *
                     std::exp(-pi * x * x / (gauss * gauss)) / gauss;
    sum += f * (i == 0 || i == n ? 1.0 : (i % 2 == 1 ? 4.0 : 2.0));
  }
  return 1.0 / (sum * h / 3.0);
}

struct integral_case {
  std::string name;
  double lorentz, gauss;
};

class AVoigtProfile : public testing::TestWithParam<integral_case> {};

TEST_P(AVoigtProfile, HasTheIntegralBreadthOfItsNumericallyIntegratedProfile) {
  const integral_case& c = GetParam();
  EXPECT_NEAR(voigt_integral_breadth(c.lorentz, c.gauss), integrated_voigt_breadth(c.lorentz, c.gauss),
              1e-6 * integrated_voigt_breadth(c.lorentz, c.gauss));
}

INSTANTIATE_TEST_SUITE_P(Shares, AVoigtProfile,
                         testing::Values(integral_case{"NearlyGaussian", 0.1e-3, 2.0e-3},
                                         integral_case{"Balanced", 2.0e-3, 2.0e-3},
                                         integral_case{"MostlyLorentzian", 8.0e-3, 1.0e-3},
                                         integral_case{"LorentzianFarBeyondTheGaussian", 40.0e-3, 1.0e-3}),
                         [](const testing::TestParamInfo<integral_case>& info) { return info.param.name; });

TEST(VoigtBreadths, APureProfileHasItsOwnBreadth) {
  EXPECT_DOUBLE_EQ(voigt_integral_breadth(3e-3, 0.0), 3e-3);
  EXPECT_DOUBLE_EQ(voigt_integral_breadth(0.0, 3e-3), 3e-3);
}

TEST(VoigtBreadths, TheIntegralBreadthFromTheCoefficientsIsTheProfiles) {
  const coefficients a = voigt_coefficients(1.25e-3, 2.0e-3, 1e-4, 0);
  const voigt_breadths r = voigt_breadths_from(a.L, a.A, a.sigma, 20.0);
  ASSERT_TRUE(r.integral_per_A.resolved());
  EXPECT_NEAR(r.integral_per_A.value, integrated_voigt_breadth(1.25e-3, 2.0e-3), 1e-6);
  EXPECT_GT(r.integral_per_A.u, 0.0);
}

}  // namespace
