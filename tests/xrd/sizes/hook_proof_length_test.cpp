// The area-weighted mean column length and the rms strain of lines scanned
// over a window of a few degrees, as a diffractometer records them: the
// line's Lorentzian tails run past the window's ends and the flat background
// is taken as the mean of those ends. The sizes must not move with the
// transform length (doublings 0, 1 and 2).
//
// The truth comes from the closed forms, not from the code under test:
//   size:   A(L) = exp(−L / D), ⟨L⟩area = D; a Lorentzian of half width
//           λ / (2π D cos θ0) in radians of 2θ;
//   strain: A(L) = exp(−2π² L² ε² / d²); a Gaussian of sigma 2 ε tan θ0;
//   instrument: a pseudo-Voigt, whose Lorentzian part widens the size's
//           Lorentzian and whose Gaussian part widens the strain's Gaussian.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "../chain_test_tree.h"
#include "synthetic_pair.h"
#include "xrd/chain/ref_prof_3.h"
#include "xrd/sizes/line_analysis.h"
#include "xrd/sizes/size_strain.h"

namespace {

using namespace chain_test;
using namespace bragg;

// The 110 of α-iron; its 220 at half the d-spacing.
constexpr double d110 = 2.0268;

struct specimen {
  double D = 0.0;        // Å, the area-weighted mean column length
  double epsilon = 0.0;  // rms strain
  double peak = 2e4;     // counts at the top
  double background = 200.0;
  double half_window = 2.5;  // degrees each side of the line
};


// A sample and its reference file at one order, the chain's background the
// mean of each scan's first and last eight points, and the transform doubled
// `doubling` times.
struct order_files {
  assoc_class* sample = nullptr;
  assoc_class* reference = nullptr;
};

order_files add_order(tree& t, const std::string& name, const specimen& s, double d, int doubling,
                      std::mt19937_64* rng) {
  const double centre = two_theta_of(d);
  const double step = 0.01;
  const int n = static_cast<int>(std::lround(2.0 * s.half_window / step)) + 1;
  const double x1 = centre - s.half_window;
  auto counts = [&](bool is_sample) {
    std::vector<double> y(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
      y[static_cast<std::size_t>(i)] =
          is_sample ? line_at(x1 + i * step, centre, s.D, s.epsilon) : line_at(x1 + i * step, centre, 0.0, 0.0);
    const double top = *std::max_element(y.begin(), y.end());
    for (double& v : y) {
      v = v / top * s.peak + s.background;
      if (rng) v = static_cast<double>(std::poisson_distribution<long>(v)(*rng));
    }
    return y;
  };
  const std::vector<double> ys = counts(true), yr = counts(false);
  auto ends = [](const std::vector<double>& y) {
    double sum = 0.0;
    for (int k = 0; k < 8; ++k) sum += y[static_cast<std::size_t>(k)] + y[y.size() - 1 - static_cast<std::size_t>(k)];
    return sum / 16.0;
  };
  const auto [sample, reference] = add_scan_pair(t, name, x1, step, ys, yr, centre, ends(ys), ends(yr));
  for (assoc_class* f : {sample, reference}) tree::option(f, "fBreq_doubler")->set_text(std::to_string(doubling).c_str());
  std::string why;
  EXPECT_TRUE(set_automatic_limit(*tree::yobs(sample), why)) << why;
  return {sample, reference};
}

struct HookProofLength : ::testing::Test {
  tree t;
};

TEST_F(HookProofLength, ASingleLinesSizeIsTheSameAtEveryTransformLength) {
  const struct {
    const char* what;
    double D, d;
    bool noisy;
    double tolerance;
  } rows[] = {{"a 220 line of 80 A", 80.0, d110 / 2.0, false, 0.05},
              {"a 110 line of 400 A", 400.0, d110, false, 0.05},
              {"a 220 line of 80 A with counting noise", 80.0, d110 / 2.0, true, 0.10},
              {"a 110 line of 400 A with counting noise", 400.0, d110, true, 0.10}};
  for (const auto& row : rows) {
    specimen s;
    s.D = row.D;
    std::vector<double> found;
    for (int doubling = 0; doubling <= 2; ++doubling) {
      std::mt19937_64 rng(31);
      const std::string name = std::string(row.noisy ? "n" : "c") + std::to_string(static_cast<int>(row.D)) + "_" +
                               std::to_string(doubling);
      const order_files f = add_order(t, name, s, row.d, doubling, row.noisy ? &rng : nullptr);
      const line_analysis a = analyse_line(*tree::yobs(f.sample));
      ASSERT_TRUE(a.refused.empty()) << row.what << ": " << a.refused;
      ASSERT_TRUE(a.size.found) << row.what << ", doubling " << doubling;
      EXPECT_NEAR(a.size.length, row.D, row.tolerance * row.D) << row.what << ", doubling " << doubling;
      // The fit starts past the hook, whatever the doubling.
      EXPECT_GT(a.size.L_from, 1.4 * a.coefficients.hook_L) << row.what << ", doubling " << doubling;
      found.push_back(a.size.length);
    }
    const auto [low, high] = std::minmax_element(found.begin(), found.end());
    EXPECT_LT(*high - *low, 0.02 * *low) << row.what << ": " << found[0] << ", " << found[1] << ", " << found[2];
  }
}

TEST_F(HookProofLength, TwoOrdersGiveTheSizeAndTheStrainAtEveryTransformLength) {
  const struct {
    const char* what;
    double D, epsilon;
    bool noisy;
    double tolerance;
  } rows[] = {{"110 and 220 of 150 A and a strain of 2e-3", 150.0, 2e-3, false, 0.05},
              {"110 and 220 of 300 A and a strain of 1e-3", 300.0, 1e-3, false, 0.05},
              {"110 and 220 of 150 A and a strain of 2e-3 with counting noise", 150.0, 2e-3, true, 0.10}};
  for (const auto& row : rows) {
    specimen s;
    s.D = row.D;
    s.epsilon = row.epsilon;
    s.peak = row.noisy ? 1e5 : s.peak;
    // The 220 of a strained line is broad: scanned over ±4°, as one would,
    // it keeps all but 2% of its area in the window.
    s.half_window = 4.0;
    std::vector<double> found;
    for (int doubling = 0; doubling <= 2; ++doubling) {
      std::mt19937_64 rng(47);
      const std::string name = std::string(row.noisy ? "wn" : "wc") + std::to_string(static_cast<int>(row.D)) + "_" +
                               std::to_string(doubling);
      const order_files first = add_order(t, name + "_110", s, d110, doubling, row.noisy ? &rng : nullptr);
      const order_files second = add_order(t, name + "_220", s, d110 / 2.0, doubling, row.noisy ? &rng : nullptr);
      fourier_coefficients c1, c2;
      std::string why;
      ASSERT_TRUE(coefficients_of(*tree::yobs(first.sample), c1, why)) << why;
      ASSERT_TRUE(coefficients_of(*tree::yobs(second.sample), c2, why)) << why;
      const warren_averbach_result r = warren_averbach(c1, c2);
      ASSERT_TRUE(r.refused.empty()) << row.what << ": " << r.refused;
      ASSERT_TRUE(r.size.found) << row.what << ", doubling " << doubling;
      EXPECT_NEAR(r.size.length, row.D, row.tolerance * row.D) << row.what << ", doubling " << doubling;
      EXPECT_NEAR(r.strain_at_half, row.epsilon, row.tolerance * row.epsilon)
          << row.what << ", doubling " << doubling << " at L = " << r.half_L;
      found.push_back(r.size.length);
    }
    const auto [low, high] = std::minmax_element(found.begin(), found.end());
    EXPECT_LT(*high - *low, 0.02 * *low) << row.what << ": " << found[0] << ", " << found[1] << ", " << found[2];
  }
}

// On exact coefficients the fit must give back what a hook hid: a curve
// lowered by a constant factor everywhere but at its first points.
TEST(HookProofFit, ACurveWithAHookAtItsStartGivesItsLengthAndItsFactor) {
  const struct {
    const char* what;
    double D, epsilon_term, factor;
  } rows[] = {{"a pure size curve lowered by 3%", 120.0, 0.0, 0.97},
              {"a size and strain curve raised by 2%", 300.0, 2e-6, 1.02}};
  for (const auto& row : rows) {
    std::vector<double> L, A;
    const double step = 4.0, hook = 20.0;
    for (int i = 0; i < 200; ++i) {
      L.push_back(i * step);
      const double x = L.back();
      const double a = row.factor * std::exp(-x / row.D - row.epsilon_term * x * x);
      // Within a window step of L = 0 the curve bends back to 1.
      A.push_back(x < hook ? 1.0 - (1.0 - a) * x / hook : a);
    }
    const area_length s = area_weighted_length(L, A, hook);
    ASSERT_TRUE(s.found) << row.what;
    EXPECT_NEAR(s.length, row.D, 0.01 * row.D) << row.what;
    EXPECT_NEAR(s.intercept, row.factor, 0.002) << row.what;
    EXPECT_GE(s.L_from, 1.5 * hook) << row.what;
  }
}

}  // namespace
