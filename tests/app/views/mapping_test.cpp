#include <gtest/gtest.h>

#include <cmath>
#include <utility>

#include "app/views/win_lims_9.h"

namespace {

win_lims_9 window(int width, int height, double x1, double x2, double y1, double y2) {
  win_lims_9 w;
  w.set_pixels(width, height);
  w.x1 = x1;
  w.x2 = x2;
  w.y1 = y1;
  w.y2 = y2;
  w.recompute_scale();
  return w;
}

TEST(WorldToPixel, AndBackLandsWithinHalfAPixelOfWhereItStarted) {
  const struct {
    const char* window;
    int width, height;
    double x1, x2, y1, y2;
  } windows[] = {{"a scan in a 640 by 400 frame", 640, 400, 20.0, 40.0, 0.0, 12000.0},
                 {"negative limits on both axes", 333, 217, -7.5, -1.25, -300.0, -200.0},
                 {"a frame of a few pixels", 3, 2, 0.0, 1.0, 0.0, 1.0},
                 {"a range of a million", 800, 600, 0.0, 1.0e6, -1.0e6, 1.0e6}};
  for (const auto& c : windows) {
    const win_lims_9 w = window(c.width, c.height, c.x1, c.x2, c.y1, c.y2);
    // From a tenth of the range before the window to a tenth after it.
    for (int k = -10; k <= 110; ++k) {
      const double x = c.x1 + (c.x2 - c.x1) * k / 100.0;
      const double y = c.y1 + (c.y2 - c.y1) * k / 100.0;
      EXPECT_LE(std::fabs(w.x_world(w.x_pixel(x)) - x), 0.5 / w.x_scale * (1 + 1e-9)) << c.window << ", x " << x;
      EXPECT_LE(std::fabs(w.y_world(w.y_pixel(y)) - y), 0.5 / w.y_scale * (1 + 1e-9)) << c.window << ", y " << y;
    }
  }
}

TEST(WorldToPixel, MatchesHandComputedPixelsAndRoundsHalfAPixelAwayFromZero) {
  // x scale 639 / 20 = 31.95 pixels per degree, y scale 399 / 100 = 3.99.
  const win_lims_9 w = window(640, 400, 20.0, 40.0, 0.0, 100.0);
  const std::pair<double, int> xs[] = {{20.0, 0}, {40.0, 639}, {25.0, 160}, {37.0, 543}, {19.0, -32}};
  for (const auto& [x, px] : xs) EXPECT_EQ(w.x_pixel(x), px) << "x = " << x;
  const std::pair<double, int> ys[] = {{0.0, 399}, {100.0, 0}, {25.0, 299}, {80.0, 80}, {-10.0, 439}, {110.0, -40}};
  for (const auto& [y, py] : ys) EXPECT_EQ(w.y_pixel(y), py) << "y = " << y;
  EXPECT_DOUBLE_EQ(w.x_world(160), 160 / 31.95 + 20.0);
  EXPECT_DOUBLE_EQ(w.y_world(299), 100 / 3.99);
  EXPECT_DOUBLE_EQ(w.x_distance(4), 4 * 20.0 / 639);
  EXPECT_DOUBLE_EQ(w.y_distance(4), 4 * 100.0 / 399);
  EXPECT_DOUBLE_EQ(w.x_tenth, 2.0) << "a control-bar step is a tenth of the range";
  EXPECT_DOUBLE_EQ(w.y_tenth, 10.0);

  // One pixel per unit: x pixel = x, y pixel = 399 - y.
  const win_lims_9 unit = window(640, 400, 0.0, 639.0, 0.0, 399.0);
  const std::pair<double, int> halves[] = {{2.5, 3}, {-2.5, -3}, {0.5, 1}, {-0.5, -1}, {2.49, 2}};
  for (const auto& [x, px] : halves) EXPECT_EQ(unit.x_pixel(x), px) << "x = " << x;
  EXPECT_EQ(unit.y_pixel(399.5), -1) << "half a pixel above the top is the row above it";
  EXPECT_EQ(unit.y_pixel(-0.5), 400) << "half a pixel below the bottom is the row below it";
}

TEST(DegenerateRange, IsWidenedToATenThousandthAndTheScalesStayFinite) {
  const struct {
    const char* name;
    double low, high;
  } ranges[] = {{"an empty range", 5.0, 5.0}, {"a range below a ten-thousandth", 5.0, 5.00005},
                {"limits the wrong way round", 5.0, 3.0}};
  for (const auto& r : ranges) {
    const win_lims_9 w = window(640, 400, r.low, r.high, r.low, r.high);
    EXPECT_DOUBLE_EQ(w.x2, r.low + 0.0001) << r.name;
    EXPECT_DOUBLE_EQ(w.y2, r.low + 0.0001) << r.name;
    EXPECT_TRUE(std::isfinite(w.x_scale) && std::isfinite(w.y_scale) && std::isfinite(w.y_offset)) << r.name;
    EXPECT_EQ(w.x_pixel(r.low), 0) << r.name;
    EXPECT_EQ(w.y_pixel(r.low), 399) << r.name;
  }
  EXPECT_DOUBLE_EQ(window(640, 400, 5.0, 5.0002, 0.0, 1.0).x2, 5.0002) << "a ten-thousandth and more is kept";
}

}  // namespace
