// The uncertainties and bounds of a size-strain analysis, on 110/220 pairs of
// α-iron made here from closed forms (a Lorentzian size of A(L) =
// exp(−L / D), a Gaussian strain of A(L) = exp(−2π² L² ε² / d²), a
// pseudo-Voigt instrument) with Poisson counting noise. The truth is D and
// ε: the figures' ±2u must take them in, and what the data cannot resolve is
// printed as a bound, never as a number.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "../chain_test_tree.h"
#include "core/text_helpers.h"
#include "synthetic_pair.h"
#include "xrd/chain/xy_yobs_4.h"
#include "xrd/sizes/coefficient_spread.h"
#include "xrd/sizes/line_analysis.h"
#include "xrd/sizes/size_strain.h"
#include "xrd/sizes/size_strain_report.h"

namespace {

using namespace chain_test;
using namespace bragg;

constexpr double d110 = 2.0268;

struct specimen {
  double D = 0.0;        // Å; 0: no size broadening
  double epsilon = 0.0;  // rms strain
  double peak = 2e4;     // counts at the top
  double background = 200.0;
  double half_window = 4.0;
};

// A sample and its reference at one order, Poisson counts, the background
// the mean of each scan's ends and the automatic limit.
xy_yobs_3* add_order(tree& t, const std::string& name, const specimen& s, double d, std::mt19937_64& rng) {
  const double centre = two_theta_of(d);
  const double step = 0.01;
  const int n = static_cast<int>(std::lround(2.0 * s.half_window / step)) + 1;
  const double x1 = centre - s.half_window;
  auto counts = [&](double D, double epsilon) {
    std::vector<double> y(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) y[static_cast<std::size_t>(i)] = line_at(x1 + i * step, centre, D, epsilon);
    const double top = *std::max_element(y.begin(), y.end());
    for (double& v : y) v = static_cast<double>(std::poisson_distribution<long>(v / top * s.peak + s.background)(rng));
    return y;
  };
  const std::vector<double> ys = counts(s.D, s.epsilon), yr = counts(0.0, 0.0);
  auto ends = [](const std::vector<double>& y) {
    double sum = 0.0;
    for (std::size_t k = 0; k < 8; ++k) sum += y[k] + y[y.size() - 1 - k];
    return sum / 16.0;
  };
  assoc_class* sample = add_scan_pair(t, name, x1, step, ys, yr, centre, ends(ys), ends(yr)).first;
  xy_yobs_3* chain = tree::yobs(sample);
  std::string why;
  EXPECT_TRUE(set_automatic_limit(*chain, why)) << why;
  return chain;
}

// One analysis as size-strain makes it: each line, the pair, the spread.
struct analysis {
  std::vector<xy_yobs_3*> chains;
  std::vector<line_analysis> lines;
  warren_averbach_result pair;
  size_strain_spread spread;
  std::string text;
  const warren_averbach_result* two() const { return lines.size() == 2 ? &pair : nullptr; }
};

analysis analyse(const std::vector<xy_yobs_3*>& chains) {
  analysis a;
  a.chains = chains;
  for (xy_yobs_3* c : chains) a.lines.push_back(analyse_line(*c));
  if (a.lines.size() == 2) a.pair = warren_averbach(a.lines[0].coefficients, a.lines[1].coefficients);
  a.spread = spread_of(chains, a.lines, a.two());
  a.text = size_strain_text({"/scans/a.xdd / /scans/a_ref.xdd", "/scans/b.xdd / /scans/b_ref.xdd"}, a.lines, a.two(),
                            &a.spread);
  return a;
}

analysis two_orders(tree& t, const std::string& name, const specimen& s, unsigned seed) {
  std::mt19937_64 rng(seed);
  xy_yobs_3* first = add_order(t, name + "_110", s, d110, rng);
  xy_yobs_3* second = add_order(t, name + "_220", s, d110 / 2.0, rng);
  return analyse({first, second});
}

std::string summary_of(const std::string& text) { return text.substr(0, text.find("\n\n") + 1); }

struct SizeUncertainty : ::testing::Test {
  tree t;
};

TEST_F(SizeUncertainty, TwiceTheUncertaintyTakesInTheTrueSizeAndStrainInEightDrawsOfTen) {
  int single_covered = 0, pair_covered = 0, strain_covered = 0;
  const int seeds = 10;
  for (int seed = 0; seed < seeds; ++seed) {
    specimen single;
    single.D = 150.0;
    std::mt19937_64 rng(1000 + static_cast<unsigned>(seed));
    const analysis one = analyse({add_order(t, std::string("s").append(std::to_string(seed)), single, d110, rng)});
    ASSERT_TRUE(one.lines[0].size.found) << one.text;
    const double u1 = one.spread.lines[0].area_u;
    ASSERT_TRUE(std::isfinite(u1) && u1 > 0.0) << one.text;
    if (std::fabs(one.lines[0].size.length - single.D) <= 2.0 * u1) ++single_covered;

    specimen both;
    both.D = 150.0;
    both.epsilon = 2e-3;
    both.peak = 1e5;
    const analysis two = two_orders(t, std::string("w").append(std::to_string(seed)), both, 2000 + static_cast<unsigned>(seed));
    ASSERT_TRUE(two.pair.size.found) << two.text;
    const double u2 = two.spread.pair.area_u, ue = two.spread.pair.at_half.rms_u;
    ASSERT_TRUE(std::isfinite(u2) && std::isfinite(ue)) << two.text;
    if (std::fabs(two.pair.size.length - both.D) <= 2.0 * u2) ++pair_covered;
    // A Gaussian strain has one rms strain at every L.
    if (std::fabs(two.pair.strain_at_half - both.epsilon) <= 2.0 * ue) ++strain_covered;
    // The summary gives each figure with its uncertainty.
    std::string shown = "Area-weighted mean column length = ";
    shown += format_number("%.1f", two.pair.size.length);
    shown += " \u00b1 ";
    EXPECT_NE(summary_of(two.text).find(shown), std::string::npos) << two.text;
  }
  EXPECT_GE(single_covered, 8) << "single lines";
  EXPECT_GE(pair_covered, 8) << "two orders' size";
  EXPECT_GE(strain_covered, 8) << "two orders' strain";
}

TEST_F(SizeUncertainty, WhatThePairCannotResolveIsPrintedAsABound) {
  const struct {
    const char* what;
    double D, epsilon;
    const char* shown;      // in the summary
    const char* not_shown;  // nowhere in the summary
  } rows[] = {
      {"a pair broadened by strain only gives a bound for the size", 0.0, 2e-3,
       "Area-weighted mean column length = not resolved (> ", "Area-weighted mean column length = 1"},
      {"a pair broadened by size only gives a bound for the strain", 200.0, 0.0,
       "RMS strain at L = 50 A = not resolved (< ", "RMS strain at L = 50 A = 1"},
  };
  for (const auto& row : rows) {
    specimen s;
    s.D = row.D;
    s.epsilon = row.epsilon;
    s.peak = 1e5;
    const analysis a = two_orders(t, row.D > 0.0 ? "size_only" : "strain_only", s, 7);
    const std::string summary = summary_of(a.text);
    EXPECT_NE(summary.find(row.shown), std::string::npos) << row.what << "\n" << a.text;
    // A bound, and not a figure with a "± u" of any kind.
    const std::string label = std::string(row.shown).substr(0, std::string(row.shown).find(" = "));
    const std::size_t at = summary.find(label + " = ");
    ASSERT_NE(at, std::string::npos) << row.what;
    const std::string line = summary.substr(at, summary.find('\n', at) - at);
    EXPECT_EQ(line.find("\u00b1"), std::string::npos) << row.what << ": " << line;
    EXPECT_TRUE(line.find("not resolved (") != std::string::npos) << row.what << ": " << line;
  }
}

TEST_F(SizeUncertainty, ALineCutAtTheLimitGivesItsVolumeWeightedLengthAsALowerBound) {
  specimen s;
  s.D = 400.0;
  std::mt19937_64 rng(5);
  xy_yobs_3* chain = add_order(t, "cut", s, d110, rng);
  // A limit near L = 300 A, where A(L) has fallen only to about exp(−3/4).
  chain->run_transform_stages();
  const double index = 300.0 / (chain->fft.frequency_axis.xd * chain->wavelength_factor());
  chain->set_limit_index(std::floor(index));
  const analysis a = analyse({chain});
  ASSERT_FALSE(a.lines[0].volume_reached_zero) << a.text;
  std::string shown = "Volume-weighted mean column length = > ";
  shown += format_number("%.1f", a.lines[0].volume_length);
  shown += " A\n";
  EXPECT_NE(summary_of(a.text).find(shown), std::string::npos) << a.text;
  EXPECT_NE(a.text.find("the volume-weighted length is cut short, and given as a lower bound"), std::string::npos)
      << a.text;
}

// Every value a chain holds after its analysis, as bits.
std::vector<std::uint64_t> bits_of(xy_yobs_3& chain, const line_analysis& a) {
  std::vector<double> values;
  xy_data_for_3& obs = chain.observed_data();
  for (int i = 0; i < obs.y.count(); ++i) values.push_back(obs.y[obs.y.base() + i]);
  for (const float_vec* v : {&chain.fft.profile, &chain.fft.quotient_re, &chain.fft.quotient_im, &chain.fft.modulus})
    for (int i = 0; i < v->count(); ++i) values.push_back((*v)[v->base() + i]);
  const fourier_coefficients& c = a.coefficients;
  for (const std::vector<double>* v : {&c.L, &c.A, &c.B}) values.insert(values.end(), v->begin(), v->end());
  values.insert(values.end(), {a.size.length, a.size.slope, a.volume_length, a.scherrer, a.reconvolution_r,
                               a.snr_at_limit, a.deconvoluted.breadth});
  std::vector<std::uint64_t> bits(values.size());
  for (std::size_t i = 0; i < values.size(); ++i) std::memcpy(&bits[i], &values[i], sizeof(double));
  return bits;
}

TEST_F(SizeUncertainty, TheRealisationsLeaveEveryProfileAndResultAsItWas) {
  specimen s;
  s.D = 150.0;
  s.epsilon = 1e-3;
  std::mt19937_64 rng(11);
  xy_yobs_3* first = add_order(t, "kept_110", s, d110, rng);
  xy_yobs_3* second = add_order(t, "kept_220", s, d110 / 2.0, rng);
  std::vector<std::vector<std::uint64_t>> before;
  std::vector<line_analysis> lines;
  for (xy_yobs_3* c : {first, second}) {
    lines.push_back(analyse_line(*c));
    before.push_back(bits_of(*c, lines.back()));
    before.push_back(bits_of(*c->reference_profile(), line_analysis{}));
  }
  const warren_averbach_result pair = warren_averbach(lines[0].coefficients, lines[1].coefficients);
  const size_strain_spread spread = spread_of({first, second}, lines, &pair);
  ASSERT_EQ(spread.realisations, 50);
  // Straight after, before anything runs the chains again.
  std::size_t k = 0;
  for (xy_yobs_3* c : {first, second}) {
    EXPECT_EQ(bits_of(*c, lines[k / 2]), before[k]) << "sample " << k / 2 << ", as the realisations left it";
    EXPECT_EQ(bits_of(*c->reference_profile(), line_analysis{}), before[k + 1]) << "reference " << k / 2;
    k += 2;
  }
  k = 0;
  for (xy_yobs_3* c : {first, second}) {
    const line_analysis again = analyse_line(*c);
    EXPECT_EQ(bits_of(*c, again), before[k]) << "sample " << k / 2 << ", analysed again";
    k += 2;
  }
  // The same files give the same uncertainties.
  const size_strain_spread twice = spread_of({first, second}, lines, &pair);
  EXPECT_EQ(twice.pair.area_u, spread.pair.area_u);
  EXPECT_EQ(twice.lines[1].scherrer_u, spread.lines[1].scherrer_u);
}

}  // namespace

namespace {

TEST(SizeCoefficientAboveOne, CountsOnlyWhereItLiesBeyondTwiceItsUncertainty) {
  constexpr double unknown = std::numeric_limits<double>::quiet_NaN();
  const struct {
    const char* what;
    double AS, sigma;
    bool above;
  } rows[] = {{"4e-3 above 1 with a sigma of 1e-2 is noise", 1.004, 0.01, false},
              {"4e-3 above 1 with a sigma of 1e-3 is above", 1.004, 0.001, true},
              {"just beyond twice its sigma is above", 1.0205, 0.01, true},
              {"within the rounding's tolerance is never above", 1.0009, 0.0, false},
              {"with no sigma known, beyond the tolerance is above", 1.004, unknown, true}};
  for (const auto& row : rows) {
    EXPECT_EQ(above_one_beyond_noise(row.AS, row.sigma), row.above) << row.what;
    // The same in a table, where it names the first such L.
    std::vector<warren_averbach_row> table = {{0.0, 1, 1, 1, unknown, unknown},
                                              {10.0, 1, 1, 0.99, 1e-3, 1e-6},
                                              {20.0, 1, 1, row.AS, 1e-3, 1e-6}};
    const double at = size_coefficients_above_one_from(table, {0.0, 0.0, row.sigma});
    EXPECT_EQ(std::isnan(at), !row.above) << row.what;
    if (row.above) {
      EXPECT_EQ(at, 20.0) << row.what;
    }
    // Within the hook, before the fit of A^S(L) starts, it is not judged.
    EXPECT_TRUE(std::isnan(size_coefficients_above_one_from(table, {0.0, 0.0, row.sigma}, 25.0))) << row.what;
  }
}

}  // namespace
