// The first-order uncertainties of one line's sizes against what they stand
// for: the scatter of the same figures over many independent measurements of
// the same specimen. Each measurement is made here from closed forms (a
// Lorentzian size, a Gaussian strain, a pseudo-Voigt instrument) with fresh
// Poisson counts in the sample and in its reference, and analysed alone with
// the same background and frequency limit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "../chain_test_tree.h"
#include "synthetic_pair.h"
#include "xrd/chain/xy_yobs_4.h"
#include "xrd/sizes/coefficient_noise.h"
#include "xrd/sizes/coefficient_spread.h"
#include "xrd/sizes/line_analysis.h"
#include "xrd/sizes/propagated_spread.h"

namespace {

using namespace chain_test;
using namespace bragg;

constexpr double d110 = 2.0268;

struct specimen {
  const char* what;
  double D;        // Å
  double epsilon;  // rms strain
  double peak;     // counts at the top of the sample's line
  double background;
  // Counts exported scaled (not integers: their noise is measured from their
  // scatter) on a sloping background, which is taken off as the line through
  // the means of the scan's ends, whose noise then reaches every point.
  bool scaled_on_slope = false;
};

// One measurement: Poisson counts about the closed form, the background at
// its true level, and the frequency limit at `limit` (the automatic one when
// negative).
xy_yobs_3* measure(tree& t, const std::string& name, const specimen& s, std::mt19937_64& rng, double limit) {
  const double centre = two_theta_of(d110), step = 0.01, half_window = 4.0;
  const int n = static_cast<int>(std::lround(2.0 * half_window / step)) + 1;
  const double x1 = centre - half_window;
  auto counts = [&](double D, double epsilon, double peak) {
    std::vector<double> y(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) y[static_cast<std::size_t>(i)] = line_at(x1 + i * step, centre, D, epsilon);
    const double top = *std::max_element(y.begin(), y.end());
    for (int i = 0; i < n; ++i) {
      const double level = s.background * (s.scaled_on_slope ? 0.5 + i / (n - 1.0) : 1.0);
      double& v = y[static_cast<std::size_t>(i)];
      v = static_cast<double>(std::poisson_distribution<long>(v / top * peak + level)(rng));
      if (s.scaled_on_slope) v *= 0.37;
    }
    return y;
  };
  const std::vector<double> ys = counts(s.D, s.epsilon, s.peak), yr = counts(0.0, 0.0, 4.0 * s.peak);
  assoc_class* sample = add_scan_pair(t, name, x1, step, ys, yr, centre, s.background, s.background).first;
  xy_yobs_3* chain = tree::yobs(sample);
  if (s.scaled_on_slope) {
    for (const auto& [file, y] : {std::pair{sample, &ys}, std::pair{tree::node<ref_prof_3>(sample, "ref_prof")->reference_file(), &yr}}) {
      const xy_yobs_3::end_line line = xy_yobs_3::line_through_ends(*y);
      const double slope = line.slope / step;  // per degree
      tree::option(file, "aBo_bkg")->set_double(line.intercept + slope * half_window);
      tree::option(file, "aB1_bkg")->set_double(slope);
    }
  }
  if (limit < 0.0) {
    std::string why;
    EXPECT_TRUE(set_automatic_limit(*chain, why)) << why;
  } else {
    chain->set_limit_index(limit);
  }
  return chain;
}

struct scatter {
  int n = 0;
  double sum = 0.0, squares = 0.0;
  void add(double v) {
    if (!std::isfinite(v)) return;
    ++n;
    sum += v;
    squares += v * v;
  }
  double sd() const { return std::sqrt((squares - sum * sum / n) / (n - 1)); }
};

TEST(PropagatedSpread, EachSizesUncertaintyIsTheScatterOfManyMeasurements) {
  const specimen specimens[] = {
      {"a Lorentzian size", 150.0, 0.0, 2e4, 200.0},
      {"a size and a strain, few counts", 80.0, 1.5e-3, 3e3, 50.0},
      {"scaled counts on a sloping background", 120.0, 0.0, 1e4, 400.0, true},
  };
  for (const specimen& s : specimens) {
    tree t;
    std::mt19937_64 rng(77);
    xy_yobs_3* first = measure(t, "first", s, rng, -1.0);
    const double limit = first->limit_index_or_last();
    const line_analysis nominal = analyse_line(*first, line_judging::figures_only);
    ASSERT_TRUE(nominal.refused.empty()) << nominal.refused;
    const std::optional<line_spread> u = propagated_spread(*first, nominal);
    ASSERT_TRUE(u.has_value()) << s.what;

    const int draws = 150;
    scatter slope, volume, scherrer;
    for (int k = 0; k < draws; ++k) {
      xy_yobs_3* chain = measure(t, "m" + std::to_string(k), s, rng, limit);
      const line_analysis a = analyse_line(*chain, line_judging::figures_only);
      ASSERT_TRUE(a.refused.empty()) << a.refused;
      slope.add(a.size.slope);
      volume.add(a.volume_length);
      scherrer.add(a.scherrer);
    }
    // 150 measurements tell a standard deviation to about 6%; noise measured
    // from the scatter of scaled counts comes out some 10% larger than it is.
    const double within = s.scaled_on_slope ? 0.3 : 0.2;
    EXPECT_NEAR(u->slope_u / slope.sd(), 1.0, within) << s.what << ": the slope of ln A";
    EXPECT_NEAR(u->volume_u / volume.sd(), 1.0, within) << s.what << ": the volume-weighted length";
    EXPECT_NEAR(u->scherrer_u / scherrer.sd(), 1.0, within) << s.what << ": the Scherrer size";
    EXPECT_NEAR(u->area_u, u->slope_u / (u->slope * u->slope), 1e-9 * u->area_u);
  }
}

}  // namespace

namespace {

// The covariance's rule against the per-frequency one for independent
// counts, where both are exact: by a sum over the frequencies for a few of
// them, by a transform for many.
TEST(PropagatedSpread, OneCoefficientsVarianceIsItsOwnUncertaintySquared) {
  tree t;
  std::mt19937_64 rng(5);
  const specimen s{"a Lorentzian size", 150.0, 0.0, 2e4, 200.0};
  xy_yobs_3* chain = measure(t, "one", s, rng, -1.0);
  const coefficient_noise noise(*chain);
  ASSERT_TRUE(noise.ok());
  for (int i : {1, 5, 40, 90, noise.count() - 1}) {
    std::vector<double> w(static_cast<std::size_t>(i) + 1, 0.0);
    w.back() = 1.0;
    const double sigma = noise.at(i).sigma;
    EXPECT_NEAR(std::sqrt(noise.variance_of(w)) / sigma, 1.0, 1e-4) << "frequency " << i << " of " << noise.count();
  }
}

}  // namespace

namespace {

// The realisations behind the two orders' figures take the background off
// each draw as the chain would from its ends: A(L)'s spread over them is
// the propagated one, near L = 0 too, where the ends' noise weighs most.
TEST(PropagatedSpread, RealisationsMoveABackgroundTakenFromTheEndsWithTheirNoise) {
  tree t;
  std::mt19937_64 rng(9);
  const specimen s{"scaled counts on a sloping background", 120.0, 0.0, 1e4, 400.0, true};
  xy_yobs_3* chain = measure(t, "sloped", s, rng, -1.0);
  const line_analysis a = analyse_line(*chain, line_judging::figures_only);
  ASSERT_TRUE(a.refused.empty()) << a.refused;
  const size_strain_spread realised = spread_of({chain}, {a}, nullptr, coefficient_draws::kept, 200);
  ASSERT_EQ(realised.lines.size(), 1u);
  const coefficient_noise noise(*chain);
  for (std::size_t i : {std::size_t{1}, std::size_t{3}, a.coefficients.A.size() / 2}) {
    std::vector<double> w(i + 1, 0.0);
    w.back() = 1.0;
    // 200 draws tell a deviation to 5%.
    EXPECT_NEAR(realised.lines[0].A_sigma[i] / std::sqrt(noise.variance_of(w)), 1.0, 0.2) << "at L = " << a.coefficients.L[i];
  }
}

}  // namespace
