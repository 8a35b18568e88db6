// A whole bcc iron pattern made from closed forms: its background, its lines
// found once each at Bragg's angles, and their indexing.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "synthetic_pattern.h"
#include "xrd/pattern/cubic_lattice.h"
#include "xrd/pattern/pattern_background.h"
#include "xrd/pattern/peak_search.h"

namespace {

using namespace synthetic_pattern;

TEST(IronPattern, EveryLineIsFoundOnceAtItsBraggAngleAndIndexedWithItsHkl) {
  const pattern p = iron_pattern();
  const pattern_background b = background_of(p.x, p.y);
  cubic_lattice bcc;
  std::string why;
  ASSERT_TRUE(parse_lattice("bcc:2.8665", bcc, why)) << why;
  for (const bool strip : {true, false}) {
    const char* mode = strip ? "K-alpha2 stripped" : "K-alpha2 kept";
    peak_search_options options;
    options.strip_ka2 = strip;
    const peak_search found = find_lines(p.x, p.y, b.y, options);
    ASSERT_TRUE(found.ok()) << found.why;
    ASSERT_EQ(found.lines.size(), std::size(iron)) << mode << ": one line per reflection, no K-alpha2 top of its own";
    const line_indexing indexing = index_lines(found.lines, reflections_of(bcc, 0.9), lambda1_A);
    EXPECT_TRUE(indexing.unindexed.empty()) << mode;
    ASSERT_EQ(indexing.indexed.size(), std::size(iron)) << mode;
    for (std::size_t i = 0; i < std::size(iron); ++i) {
      const found_line& l = found.lines[i];
      EXPECT_EQ(indexing.indexed[i].line, i) << mode;
      EXPECT_EQ(indexing.indexed[i].hkl.label, iron[i].hkl) << mode;
      EXPECT_FALSE(l.overlapping) << mode << " " << iron[i].hkl;
      // The resolved K-alpha2 tops, from 211 up, are each taken as their line's own.
      if (i >= 2) {
        EXPECT_NEAR(l.ka2_x, two_theta_deg(iron_d_A(iron[i]), lambda2_A), 0.05) << mode << " " << iron[i].hkl;
      }
      if (!strip) continue;
      const double bragg = two_theta_deg(iron_d_A(iron[i]), lambda1_A);
      EXPECT_NEAR(l.position_x, bragg, 0.01) << iron[i].hkl;
      EXPECT_LT(std::fabs(l.position_x - bragg), 4.0 * l.position_u + 0.002) << iron[i].hkl << ": within its uncertainty";
      EXPECT_NEAR(l.height, iron[i].height, 5.0 * l.height_u + 0.03 * iron[i].height) << iron[i].hkl;
      EXPECT_NEAR(l.fwhm_x, iron_fwhm_deg(iron[i]), 3.0 * l.fwhm_u + 0.03 * iron_fwhm_deg(iron[i])) << iron[i].hkl;
    }
  }
}

TEST(IronPattern, ALatticeThatFitsNoLineLeavesThemAllUnindexed) {
  const pattern p = iron_pattern();
  const peak_search found = find_lines(p.x, p.y, background_of(p.x, p.y).y);
  cubic_lattice sc;
  std::string why;
  ASSERT_TRUE(parse_lattice("sc:2.0", sc, why)) << why;
  const line_indexing indexing = index_lines(found.lines, reflections_of(sc, 0.9), lambda1_A);
  EXPECT_TRUE(indexing.indexed.empty());
  EXPECT_EQ(indexing.unindexed.size(), found.lines.size());
}

TEST(IronPattern, TheClippedBackgroundFollowsTheTrueOneBetweenTheLines) {
  const pattern p = iron_pattern();
  const pattern_background b = background_of(p.x, p.y);
  std::size_t checked = 0;
  double worst = 0.0;
  for (std::size_t i = 0; i < p.x.size(); ++i) {
    bool near_a_line = false;
    for (const auto& r : iron) {
      const double x1 = two_theta_deg(iron_d_A(r), lambda1_A), x2 = two_theta_deg(iron_d_A(r), lambda2_A);
      near_a_line = near_a_line || (p.x[i] > x1 - 2.0 && p.x[i] < x2 + 2.0);
    }
    if (near_a_line) continue;
    ++checked;
    const double sigma = std::sqrt(p.truth[i]);
    worst = std::max(worst, std::fabs(b.y[i] - p.truth[i]) / sigma);
  }
  EXPECT_GT(checked, 1000u);
  EXPECT_LT(worst, 2.0) << "in σ of the counts";
}

}  // namespace
