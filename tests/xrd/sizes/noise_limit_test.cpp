// The automatic frequency limit: the last frequency before A(L) falls to
// three times its standard uncertainty. The truth is a Monte Carlo made
// here: many independent noisy scans of one true pair, each run through the
// chain, whose spread is σ_A(L) and whose mean is A(L). The noise is white
// Poisson counts, or counts smoothed as an export or an even-step
// resampling smooths them.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "../chain_test_tree.h"
#include "synthetic_pair.h"
#include "xrd/chain/xy_yobs_3.h"
#include "xrd/sizes/coefficient_noise.h"
#include "xrd/sizes/line_analysis.h"

namespace {

using namespace chain_test;
using namespace bragg;

constexpr double centre = 44.67;  // the 110 of α-iron
constexpr double step = 0.01;
constexpr int points = 501;
constexpr double x1 = centre - 2.5;
constexpr double background = 100.0;

struct true_pair {
  const char* what;
  double instrument_hwhm;  // degrees: the reference, a Lorentzian or a Gaussian of this half width
  double broadening;       // degrees: the sample's added half width
  bool gaussian;
  std::vector<double> smoothing;  // {1} for independent counts
  int doubling;
  bool ends_background = false;  // the background through the means of each scan's ends, as the chain places it
};

double shape(double u, double hwhm, bool gaussian) {
  if (gaussian) return std::exp(-std::log(2.0) * u * u / (hwhm * hwhm));
  return hwhm * hwhm / (hwhm * hwhm + u * u);
}

// Expected counts of the sample or the reference, peak `peak` above the background.
std::vector<double> expected(const true_pair& p, bool sample, double peak) {
  std::vector<double> mu(points);
  const double h = sample ? (p.gaussian ? std::hypot(p.instrument_hwhm, p.broadening)
                                        : p.instrument_hwhm + p.broadening)
                          : p.instrument_hwhm;
  for (int i = 0; i < points; ++i) mu[static_cast<std::size_t>(i)] = background + peak * shape(x1 + i * step - centre, h, p.gaussian);
  return mu;
}

std::vector<double> noisy(const std::vector<double>& mu, const std::vector<double>& w, std::mt19937_64& rng) {
  std::vector<double> c(mu.size() + w.size());
  for (std::size_t i = 0; i < c.size(); ++i)
    c[i] = static_cast<double>(std::poisson_distribution<long>(mu[std::min(i, mu.size() - 1)])(rng));
  if (w.size() == 1) return {c.begin(), c.begin() + static_cast<std::ptrdiff_t>(mu.size())};
  std::vector<double> y(mu.size());
  for (std::size_t i = 0; i < y.size(); ++i)
    for (std::size_t k = 0; k < w.size(); ++k) y[i] += w[k] * c[i + k];
  return y;
}

struct pair_files {
  assoc_class* sample;
  xy_yobs_4* chain;
};

pair_files add_noisy_pair(tree& t, const std::string& name, const true_pair& p, std::mt19937_64& rng) {
  const std::vector<double> ys = noisy(expected(p, true, 4000.0), p.smoothing, rng);
  const std::vector<double> yr = noisy(expected(p, false, 8000.0), p.smoothing, rng);
  double w = 0.0;
  for (double v : p.smoothing) w += v;
  const auto [sample, reference] = add_scan_pair(t, name, x1, step, ys, yr, centre, w * background, w * background);
  for (assoc_class* f : {sample, reference}) {
    tree::option(f, "fBreq_doubler")->set_text(std::to_string(p.doubling).c_str());
    if (!p.ends_background) continue;
    const std::vector<double>& y = f == sample ? ys : yr;
    const xy_yobs_3::end_line line = xy_yobs_3::line_through_ends(y);
    tree::option(f, "aBo_bkg")->set_double(line.intercept + line.slope * (points - 1) / 2.0);
    tree::option(f, "aB1_bkg")->set_double(line.slope / step);
  }
  return {sample, tree::yobs(sample)};
}

const true_pair pairs[] = {
    {"a Lorentzian size line, independent counts", 0.05, 0.05, false, {1.0}, 0},
    {"a Lorentzian size line, counts smoothed by [0.25, 0.5, 0.25]", 0.05, 0.05, false, {0.25, 0.5, 0.25}, 0},
    {"a Gaussian strain line, independent counts, transform doubled", 0.05, 0.06, true, {1.0}, 1},
    {"a Gaussian strain line, an even step interpolated at 0.4", 0.05, 0.06, true, {0.6, 0.4}, 0},
    {"a Lorentzian size line, independent counts, the background from the ends", 0.05, 0.05, false, {1.0}, 0, true},
    {"a Lorentzian size line, smoothed counts, the background from the ends", 0.05, 0.05, false, {0.25, 0.5, 0.25}, 1,
     true},
};

TEST(NoiseLimit, TheAutomaticLimitIsWhereAMonteCarloAMeetsThreeTimesItsSpread) {
  for (const true_pair& p : pairs) {
    tree t;
    std::mt19937_64 rng(2024);
    // The Monte Carlo: A(L) of 200 independent realisations, the whole axis.
    std::vector<double> sum, sum2, L;
    const int draws = 200;
    for (int r = 0; r < draws; ++r) {
      const pair_files f = add_noisy_pair(t, "mc" + std::to_string(r), p, rng);
      fourier_coefficients c;
      std::string why;
      ASSERT_TRUE(coefficients_of(*f.chain, c, why)) << why;
      if (sum.empty()) {
        sum.assign(c.A.size(), 0.0);
        sum2 = sum;
        L = c.L;
      }
      for (std::size_t i = 0; i < std::min(sum.size(), c.A.size()); ++i) {
        sum[i] += c.A[i];
        sum2[i] += c.A[i] * c.A[i];
      }
    }
    std::vector<double> spread(sum.size());
    std::size_t meets = 0;
    for (std::size_t i = 1; i < sum.size(); ++i) {
      const double mean = sum[i] / draws;
      spread[i] = std::sqrt(std::max(sum2[i] / draws - mean * mean, 0.0));
      if (mean <= 3.0 * spread[i]) break;
      meets = i;
    }
    ASSERT_GT(meets, 3u) << p.what;
    const double L_mc = L[meets];

    for (unsigned seed : {1u, 2u, 3u}) {
      std::mt19937_64 one(seed);
      const pair_files f = add_noisy_pair(t, "one" + std::to_string(seed), p, one);
      // The propagated uncertainty agrees with the spread of the realisations,
      // near L = 0 too, where a background through the ends' means carries
      // most of the noise.
      const coefficient_noise noise(*f.chain);
      ASSERT_TRUE(noise.ok());
      // Exact for counts but for the Monte Carlo's own spread; measured from
      // 501 points where the colour is.
      const double within = p.smoothing.size() == 1 ? 0.1 : 0.2;
      for (std::size_t i : {std::size_t{2}, meets / 2, meets})
        EXPECT_NEAR(noise.at(static_cast<int>(i)).sigma / spread[i], 1.0, within)
            << p.what << ", seed " << seed << ", at L = " << L[i];
      std::string why;
      ASSERT_TRUE(set_automatic_limit(*f.chain, why)) << why;
      fourier_coefficients c;
      ASSERT_TRUE(coefficients_of(*f.chain, c, why)) << why;
      EXPECT_NEAR(c.L.back() / L_mc, 1.0, 0.2) << p.what << ", seed " << seed << ": the limit at " << c.L.back()
                                               << " A, the Monte Carlo's at " << L_mc << " A";
    }
  }
}

}  // namespace
