// The warnings a line's analysis gives from a pseudo-Voigt fitted to its
// observed counts: tails beyond the scan, a background other than the one
// beyond the tails, and a reconvolution R beside what counting noise alone
// gives. The lines are pseudo-Voigts made here, and every share of their
// area comes from the closed forms, not from the code under test:
//   a Lorentzian of half width g keeps (1/π)·[atan((b−c)/g) − atan((a−c)/g)] in [a, b],
//   a Gaussian of sigma s keeps ½·[erf((b−c)/(s√2)) − erf((a−c)/(s√2))].
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "../chain_test_tree.h"
#include "synthetic_pair.h"
#include "xrd/sizes/line_analysis.h"
#include "xrd/sizes/size_strain_report.h"

namespace {

using namespace chain_test;
using namespace bragg;

struct pseudo_voigt {
  double fwhm = 0.2, eta = 0.3;
  double at(double u) const {
    const double g = fwhm / 2.0, s = fwhm / std::sqrt(8.0 * std::log(2.0));
    return eta * g / pi / (u * u + g * g) + (1.0 - eta) * std::exp(-0.5 * u * u / (s * s)) / (s * std::sqrt(2.0 * pi));
  }
  // The share of the line's area in [a, b], offsets from its centre.
  double inside(double a, double b) const {
    const double g = fwhm / 2.0, s = fwhm / std::sqrt(8.0 * std::log(2.0)) * std::sqrt(2.0);
    return eta * (std::atan(b / g) - std::atan(a / g)) / pi + (1.0 - eta) * 0.5 * (std::erf(b / s) - std::erf(a / s));
  }
  // The half width of the window about the centre that leaves `share` outside.
  double half_window_leaving(double share) const {
    double low = 0.0, high = 1000.0 * fwhm;
    for (int k = 0; k < 200; ++k) {
      const double mid = 0.5 * (low + high);
      (1.0 - inside(-mid, mid) > share ? low : high) = mid;
    }
    return high;
  }
};

// The 110 of α-iron, and the instrument's line beside the sample's.
constexpr double d110 = 2.0268;
constexpr double step = 0.01;
constexpr double area = 1000.0;  // counts · degrees: 4400 counts at the top
constexpr double background = 200.0;
const pseudo_voigt instrument{0.06, 0.4};

struct scan_pair {
  assoc_class* sample = nullptr;
  double centre = 0.0, x1 = 0.0, x2 = 0.0;
};

// The sample's line and the instrument's over ±half_window about the line,
// each `area` counts·degrees on `background`; Poisson counts with `rng`. The
// chain subtracts the true background unless `chain_background` is given.
scan_pair add_pair(tree& t, const std::string& name, const pseudo_voigt& line, double half_window,
                   std::mt19937_64* rng, double chain_background = background) {
  scan_pair p;
  p.centre = two_theta_of(d110);
  const int n = static_cast<int>(std::lround(2.0 * half_window / step)) + 1;
  p.x1 = p.centre - 0.5 * (n - 1) * step;
  p.x2 = p.x1 + (n - 1) * step;
  auto counts = [&](const pseudo_voigt& shape) {
    std::vector<double> y;
    for (int i = 0; i < n; ++i) {
      double v = area * shape.at(p.x1 + i * step - p.centre) + background;
      if (rng) v = static_cast<double>(std::poisson_distribution<long>(v)(*rng));
      y.push_back(v);
    }
    return y;
  };
  const std::vector<double> ys = counts(line), yr = counts(instrument);
  p.sample = add_scan_pair(t, name, p.x1, step, ys, yr, p.centre, chain_background, background).first;
  std::string why;
  EXPECT_TRUE(set_automatic_limit(*tree::yobs(p.sample), why)) << name << ": " << why;
  return p;
}

// The one warning that starts with `start`, or "".
std::string warning_starting(const line_analysis& a, const std::string& start) {
  for (const std::string& w : a.warnings)
    if (w.rfind(start, 0) == 0) return w;
  return {};
}

struct LineWarnings : ::testing::Test {
  tree t;
};

TEST_F(LineWarnings, AScanThatCutsTheLinesTailsSaysHowWideAScanWouldHoldIt) {
  const pseudo_voigt line{0.2, 0.3};
  const struct {
    const char* what;
    double share_outside;  // of the scan, by the closed forms
    bool noisy;
    bool warned;
  } rows[] = {{"a scan that cuts 5% of the line", 0.05, false, true},
              {"a scan that cuts 5% of a line with counting noise", 0.05, true, true},
              {"a scan that holds 99.5% of the line", 0.005, false, false}};
  int k = 0;
  for (const auto& row : rows) {
    std::mt19937_64 rng(17);
    const double half = line.half_window_leaving(row.share_outside);
    const scan_pair p = add_pair(t, "tails" + std::to_string(k++), line, half, row.noisy ? &rng : nullptr);
    const line_analysis a = analyse_line(*tree::yobs(p.sample));
    ASSERT_TRUE(a.refused.empty()) << row.what << ": " << a.refused;
    ASSERT_TRUE(a.judged_by_fit.fit.converged) << row.what << ": " << a.judged_by_fit.fit.why;
    const std::string w = warning_starting(a, "The scan ends within the line's tails");
    if (!row.warned) {
      EXPECT_EQ(w, "") << row.what;
      continue;
    }
    ASSERT_NE(w, "") << row.what;
    // The share it names, and a window that holds 99% of the true line, no
    // more than a rounding wider than it needs.
    double said = 0.0, from = 0.0, to = 0.0;
    ASSERT_EQ(std::sscanf(w.c_str(), "The scan ends within the line's tails: about %lf%%", &said), 1) << w;
    // Under noise a scan this short leaves the tails and the background
    // hard to tell apart: the figures are good to a tenth or so.
    EXPECT_NEAR(said, 100.0 * (1.0 - line.inside(p.x1 - p.centre, p.x2 - p.centre)), row.noisy ? 1.0 : 0.1) << w;
    const std::size_t at = w.find("a scan of ");
    ASSERT_NE(at, std::string::npos) << w;
    ASSERT_EQ(std::sscanf(w.c_str() + at, "a scan of %lf to %lf deg would hold 99%%", &from, &to), 2) << w;
    const double outside = 1.0 - line.inside(from - p.centre, to - p.centre);
    EXPECT_LE(outside, row.noisy ? 0.013 : 0.01) << row.what << ": " << w;
    EXPECT_GT(outside, row.noisy ? 0.007 : 0.009) << row.what << ": " << w;
  }
}

TEST_F(LineWarnings, ABackgroundThatMovesTheLinesAreaIsSaidWithTheWayTheSizesMove) {
  const pseudo_voigt line{0.2, 0.3};
  const double half = line.half_window_leaving(0.005);
  const double width = 2.0 * half;
  // The offset that moves the line's area in the window by 3%.
  const double offset = 0.03 * area * line.inside(-half, half) / width;
  const struct {
    const char* what;
    double chain_offset;
    bool noisy;
    const char* said;  // "": no background warning
  } rows[] = {{"the exact background", 0.0, false, ""},
              {"the exact background under counting noise", 0.0, true, ""},
              {"a background 3% of the area too high", offset, false, "it takes away about 3.0% of the line's area, "
                                                                       "and the sizes come out too large"},
              {"a background 3% of the area too low", -offset, false,
               "it adds about 3.0% of the line's area, and the sizes come out too small"},
              {"a background 3% of the area too high under counting noise", offset, true,
               "and the sizes come out too large"}};
  int k = 0;
  line_analysis exact;
  for (const auto& row : rows) {
    std::mt19937_64 rng(23);
    const scan_pair p = add_pair(t, "background" + std::to_string(k++), line, half, row.noisy ? &rng : nullptr,
                                 background + row.chain_offset);
    const line_analysis a = analyse_line(*tree::yobs(p.sample));
    ASSERT_TRUE(a.refused.empty()) << row.what << ": " << a.refused;
    ASSERT_TRUE(a.judged_by_fit.fit.converged) << row.what << ": " << a.judged_by_fit.fit.why;
    const std::string w = warning_starting(a, "The background the chain subtracts");
    if (std::string(row.said).empty())
      EXPECT_EQ(w, "") << row.what;
    else
      EXPECT_NE(w.find(row.said), std::string::npos) << row.what << ": " << w;
    // The sizes move the way the warning says.
    if (row.noisy) continue;
    if (row.chain_offset == 0.0) {
      exact = a;
      continue;
    }
    const double way = row.chain_offset > 0.0 ? 1.0 : -1.0;
    EXPECT_GT(way * (a.size.length - exact.size.length), 0.0) << row.what;
    EXPECT_GT(way * (a.volume_length - exact.volume_length), 0.0) << row.what;
  }
}

TEST_F(LineWarnings, CountingNoiseAloneRaisesNoReconvolutionWarningAndTheDetailsShowBothRs) {
  const pseudo_voigt line{0.2, 0.3};
  const double half = line.half_window_leaving(0.005);
  std::mt19937_64 rng(29);
  const scan_pair p = add_pair(t, "noisy", line, half, &rng);
  const line_analysis a = analyse_line(*tree::yobs(p.sample));
  ASSERT_TRUE(a.refused.empty()) << a.refused;
  ASSERT_TRUE(std::isfinite(a.judged_by_fit.noise_r)) << a.judged_by_fit.fit.why;
  EXPECT_GT(a.reconvolution_r, 0.0);
  EXPECT_EQ(warning_starting(a, "Reconvolution R"), "") << "R " << a.reconvolution_r << " against counting noise's "
                                                        << a.judged_by_fit.noise_r;
  const std::string text = size_strain_text({"noisy / noisy_ref"}, {a}, nullptr);
  char expected[128];
  std::snprintf(expected, sizeof expected, "  reconvolution R %.1f%%, counting noise alone gives %.1f%%\n",
                100.0 * a.reconvolution_r, 100.0 * a.judged_by_fit.noise_r);
  EXPECT_NE(text.find(expected), std::string::npos) << text;
  EXPECT_NE(text.find("  profile fit: pseudo-Voigt at "), std::string::npos) << text;

  // The same counts cut at a limit far below the line's breadth: R now
  // rises well past what the noise gives, and the warning says so.
  tree::yobs(p.sample)->set_limit_index(2);
  const line_analysis cut = analyse_line(*tree::yobs(p.sample));
  const std::string w = warning_starting(cut, "Reconvolution R");
  EXPECT_NE(w.find("that counting noise alone gives"), std::string::npos) << w;
}

TEST_F(LineWarnings, ALineTheFitCannotFollowIsSaidInOneLineAndJudgesNothing) {
  // A line one point wide: narrower than any the scan can show.
  scan_pair p;
  p.centre = two_theta_of(d110);
  const int n = 301;
  p.x1 = p.centre - 1.5;
  std::vector<double> ys(n, background), yr;
  ys[150] += 5000.0;
  for (int i = 0; i < n; ++i) yr.push_back(area * instrument.at(p.x1 + i * step - p.centre) + background);
  p.sample = add_scan_pair(t, "spike", p.x1, step, ys, yr, p.centre, background, background).first;
  tree::yobs(p.sample)->set_limit_index(20);
  const line_analysis a = analyse_line(*tree::yobs(p.sample));
  ASSERT_TRUE(a.refused.empty()) << a.refused;
  EXPECT_FALSE(a.judged_by_fit.fit.converged);
  const std::string text = size_strain_text({"spike / spike_ref"}, {a}, nullptr);
  EXPECT_NE(text.find("  profile fit: none ("), std::string::npos) << text;
  EXPECT_NE(text.find("); the tails, the background and R are not judged by it\n"), std::string::npos) << text;
  EXPECT_EQ(text.find("counting noise alone"), std::string::npos) << text;
  EXPECT_EQ(text.find("nan"), std::string::npos) << text;
  for (const char* start : {"The scan ends within", "The background the chain"})
    EXPECT_EQ(warning_starting(a, start), "") << start;
}

}  // namespace
