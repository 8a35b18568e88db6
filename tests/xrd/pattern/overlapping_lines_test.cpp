// Lines whose profiles run into each other are flagged; lines apart are not.
#include <gtest/gtest.h>

#include "synthetic_pattern.h"
#include "xrd/pattern/pattern_background.h"
#include "xrd/pattern/peak_search.h"

namespace {

using namespace synthetic_pattern;

double d_at(double two_theta_deg) { return lambda1_A / (2.0 * std::sin(two_theta_deg * pi / 360.0)); }

TEST(OverlappingLines, TwoLinesCloserThanTheirWidthsAreFlaggedAndALineApartIsNot) {
  const struct {
    const char* name;
    double second_deg;  // the first line is at 50°, FWHM 0.2° each
    bool overlap;
  } rows[] = {{"0.3 deg apart, under the sum of the FWHMs", 50.3, true},
              {"0.25 deg apart, where the half-height ranges nearly meet", 50.25, true},
              {"2 deg apart", 52.0, false}};
  for (const auto& c : rows) {
    const pattern p = make(45.0, 60.0, 0.01,
                           {{d_at(50.0), 3000, 0.2, 0.3}, {d_at(c.second_deg), 2000, 0.2, 0.3}, {d_at(56.0), 2000, 0.2, 0.3}},
                           [](double) { return 100.0; }, 0.0, 7);
    peak_search_options single;
    single.doublet.ratio = 0.0;
    const peak_search found = find_lines(p.x, p.y, background_of(p.x, p.y).y, single);
    ASSERT_TRUE(found.ok()) << found.why;
    ASSERT_EQ(found.lines.size(), 3u) << c.name;
    EXPECT_NEAR(found.lines[1].position_x, c.second_deg, 0.03) << c.name << ": an overlapped top leans to its neighbour";
    EXPECT_EQ(found.lines[0].overlapping, c.overlap) << c.name;
    EXPECT_EQ(found.lines[1].overlapping, c.overlap) << c.name;
    EXPECT_FALSE(found.lines[2].overlapping) << c.name << ": the line at 56 deg stands alone";
  }
}

TEST(OverlappingLines, NoiseAloneAndASpikeOfOnePointAreNoLines) {
  pattern p = make(30.0, 40.0, 0.02, {}, [](double) { return 400.0; }, 0.0, 11);
  p.y[250] += 2000.0;
  const peak_search found = find_lines(p.x, p.y, background_of(p.x, p.y).y);
  ASSERT_TRUE(found.ok()) << found.why;
  EXPECT_TRUE(found.lines.empty()) << found.lines.size() << " lines, the first at " << found.lines[0].position_x;
}

}  // namespace
