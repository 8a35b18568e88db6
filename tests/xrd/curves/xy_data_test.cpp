#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "xrd/curves/xy_data_3.h"

namespace {

// A stepped curve with the given ordinates.
std::unique_ptr<xy_data_3> curve(double x1, double xd, const std::vector<float>& ys) {
  auto c = std::make_unique<xy_data_3>();
  c->set_first_step_count(x1, xd, static_cast<int>(ys.size()));
  c->y.allocate(static_cast<int>(ys.size()));
  for (std::size_t i = 0; i < ys.size(); ++i) c->y[static_cast<int>(i)] = ys[i];
  c->profile_changed();
  return c;
}

// A curve with an explicit abscissa in its own child "xPobs".
std::unique_ptr<xy_data_3> explicit_curve(const std::vector<float>& xs, const std::vector<float>& ys) {
  auto c = curve(xs.front(), 0.0, ys);
  c->x2 = xs.back();
  auto obs = std::make_unique<xobs_3>();
  obs->x.allocate(static_cast<int>(xs.size()));
  for (std::size_t i = 0; i < xs.size(); ++i) obs->x[static_cast<int>(i)] = xs[i];
  c->add_child(std::move(obs));
  c->options.set(xy_data_3::explicit_x);
  c->profile_changed();
  return c;
}

std::vector<float> ramp(int n) {
  std::vector<float> ys;
  for (int i = 0; i < n; ++i) ys.push_back(static_cast<float>(i));
  return ys;
}

std::vector<float> values(const float_vec& v) { return std::vector<float>(v.data(), v.data() + v.count()); }

TEST(IndexOfX, IsTheNearestPointClampedToTheCurve) {
  const struct {
    const char* name;
    double x;
    int base;  // where a crop has moved the first index
    int expected;
  } rows[] = {{"left of the first point is the first index", 3.0, 0, 0},
              {"right of the last point is the last index", 99.0, 0, 4},
              {"a point itself", 11.0, 0, 2},
              {"a half step rounds up", 10.25, 0, 1},
              {"just below a half step rounds down", 10.2499, 0, 0},
              {"a half step left of x1 rounds away and clamps", 9.75, 0, 0},
              {"a moved base is added", 11.0, 7, 9},
              {"a moved base clamps to its last index", 1e9, 7, 11},
              {"huge x does not overflow", 1e300, 2147483640, 2147483644}};
  for (const auto& c : rows) {
    auto xy = curve(10.0, 0.5, ramp(5));  // 10, 10.5, 11, 11.5, 12
    xy->y.rebase(c.base);
    EXPECT_EQ(xy->index_of(c.x), c.expected) << c.name;
  }
  auto xy = explicit_curve({1.0f, 2.0f, 4.0f, 8.0f}, {0, 1, 2, 3});
  const std::pair<double, int> nearest[] = {{0.0, 0}, {2.9, 1}, {3.0, 2}, {7.0, 3}, {100.0, 3}};  // a tie goes up
  for (auto [x, i] : nearest) EXPECT_EQ(xy->index_of(x), i) << "explicit abscissa, x = " << x;
  EXPECT_DOUBLE_EQ(xy->x_of(2), 4.0);
  EXPECT_EQ(std::pair(xy->left_x, xy->right_x), std::pair(1.0, 8.0));
}

TEST(IndexRange, IntersectsWithTheCurveAndWidensWithinTheVector) {
  auto xy = curve(0.0, 1.0, ramp(11));  // 0 .. 10
  int i1 = 0, i2 = 0;
  EXPECT_EQ(xy->index_range(2.2, 4.6, i1, i2), 4);
  EXPECT_EQ(std::pair(i1, i2), std::pair(2, 5));
  EXPECT_EQ(xy->index_range(4.6, 2.2, i1, i2), 4) << "ends given in the wrong order";
  EXPECT_EQ(xy->index_range(-5.0, 3.0, i1, i2), 4);
  EXPECT_EQ(i1, 0);
  EXPECT_EQ(xy->index_range(11.5, 20.0, i1, i2), 0) << "no overlap, no points";
  EXPECT_EQ(xy->index_range_widened(2.2, 4.6, i1, i2), 6);
  EXPECT_EQ(std::pair(i1, i2), std::pair(1, 6));
  EXPECT_EQ(xy->index_range_widened(-1.0, 0.2, i1, i2), 2) << "widening stops at the vector's ends";
  EXPECT_EQ(std::pair(i1, i2), std::pair(0, 1));
  EXPECT_EQ(xy_data_3().index_range(0.0, 1.0, i1, i2), 0);
}

TEST(Crop, KeepsMoreThanTheMinimumOrRefusesAndChangesNothing) {
  const struct {
    const char* name;
    int i1, i2;
    bool accepted;
  } rows[] = {{"exactly the minimum of 5 is refused", 3, 7, false},
              {"one more than the minimum is kept", 3, 8, true},
              {"the whole curve is kept", 0, 19, true},
              {"a range past the vector is refused", 10, 25, false},
              {"a range before the vector is refused", -3, 10, false}};
  const std::vector<float> all = ramp(20);
  for (const auto& c : rows) {
    auto xy = curve(20.0, 0.25, all);
    ASSERT_EQ(xy->crop(c.i1, c.i2, 5), c.accepted) << c.name;
    const int i1 = c.accepted ? c.i1 : 0, count = c.accepted ? c.i2 - c.i1 + 1 : 20;
    EXPECT_EQ(std::tuple(xy->n, xy->y.count(), xy->y.base()), std::tuple(count, count, 0)) << c.name;
    EXPECT_DOUBLE_EQ(xy->x1, 20.0 + 0.25 * i1) << c.name;
    EXPECT_DOUBLE_EQ(xy->x2, xy->x1 + (count - 1) * 0.25) << c.name;
    EXPECT_EQ(values(xy->y), std::vector<float>(all.begin() + i1, all.begin() + i1 + count)) << c.name;
    EXPECT_DOUBLE_EQ(xy->min_y, i1) << "the extents follow the crop: " << c.name;
    EXPECT_DOUBLE_EQ(xy->right_x, xy->x2) << c.name;
  }
}

TEST(Crop, ToXCutsToTheIndicesOfTheIntervalAndRefusesAnEmptyOne) {
  auto xy = curve(0.0, 0.5, ramp(21));  // 0 .. 10
  EXPECT_FALSE(xy->crop_x(20.0, 30.0, 2)) << "an interval beside the curve holds no points";
  EXPECT_EQ(xy->n, 21);
  ASSERT_TRUE(xy->crop_x(2.1, 4.6, 2));
  EXPECT_EQ(xy->n, 6);
  EXPECT_EQ(std::pair(xy->x1, xy->x2), std::pair(2.0, 4.5));
  ASSERT_TRUE(xy->crop_x(3.0, 100.0, 2)) << "a second crop works from the new first index";
  EXPECT_DOUBLE_EQ(xy->x1, 3.0);
  EXPECT_FLOAT_EQ(xy->y[0], 6.0f);
}

TEST(SetEnds, OrdersTheEndsKeepsAMinimumSpanAndRecomputesTheStep) {
  auto xy = curve(0.0, 1.0, ramp(11));
  xy->set_ends(5.0, 5.0);
  EXPECT_EQ(std::pair(xy->x1, xy->x2), std::pair(5.0, 5.00001));
  EXPECT_DOUBLE_EQ(xy->xd, (5.00001 - 5.0) / 10);
  xy->set_ends(30.0, 10.0);
  EXPECT_EQ(std::pair(xy->x1, xy->x2), std::pair(10.0, 30.0));
  EXPECT_DOUBLE_EQ(xy->xd, 2.0);
  EXPECT_DOUBLE_EQ(xy->right_x, 30.0);

  auto ex = explicit_curve({1, 2, 4, 5}, {0, 0, 0, 0});
  ex->shift_ends(1.0, 5.0);  // 1..5 becomes 2..10: x' = 2 + (x - 1) * 2
  EXPECT_EQ(values(*ex->explicit_abscissa()), (std::vector<float>{2, 4, 8, 10})) << "remapped linearly";
  EXPECT_EQ(std::pair(ex->left_x, ex->right_x), std::pair(2.0, 10.0));
}

TEST(Area, IsTheTrapezoidRuleOverTheWholeCurve) {
  EXPECT_DOUBLE_EQ(curve(0.0, 0.5, {1, 2, 3, 4})->area(), (2 + 3 + (1 + 4) / 2.0) * 0.5);
  EXPECT_EQ(xy_data_3().area(), 0.0);
}

TEST(YRange, UsesTheCachedExtentsForAWholeWindowAndScansAPartialOne) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  auto xy = curve(0.0, 1.0, {nan, 5, -3, 8, 2, 7});
  EXPECT_EQ(std::pair(xy->min_y, xy->max_y), std::pair(-3.0, 8.0)) << "the extents ignore what is no number";
  xy->y[5] = 100.0f;  // changed behind the curve's back: only a scan sees it
  const struct {
    double xl, xr;
    int bits;
    double lo, hi, lo_after, hi_after;
  } rows[] = {{-10, 10, 0x3, 0, 1, -3, 8},       // a window over every point takes the cached extents
              {3, 5, 0x3, 0, 1, 0, 100},         // the running lower value stays when it is lower
              {1, 2, 0x2, 50, -50, 50, 5},       // bit 0x1 clear: the lower value is not touched
              {20, 30, 0x3, 50, -50, 50, -50}};  // a window beside the curve changes nothing
  for (auto r : rows) {
    xy->y_range(r.xl, r.xr, r.bits, r.lo, r.hi);
    EXPECT_EQ(std::pair(r.lo, r.hi), std::pair(r.lo_after, r.hi_after)) << r.xl << " .. " << r.xr;
  }
}

TEST(HitTest, FindsPointsWithinTheToleranceOfASegment) {
  // A tent 0 -> 10 -> 0 over x = 0 .. 10 (step 1), then flat at 0 to x = 20;
  // w = max(0.1, 2 * xd) = 2, r = sqrt(0.3^2 + 2^2) = 2.0224.
  std::vector<float> ys;
  for (int i = 0; i <= 20; ++i) ys.push_back(static_cast<float>(i <= 5 ? 2 * i : (i <= 10 ? 20 - 2 * i : 0)));
  auto xy = curve(0.0, 1.0, ys);
  const struct {
    const char* name;
    double px, py;
    bool hit;
  } rows[] = {{"on the rising flank", 2.5, 5.0, true},
              {"near the rising flank (0.894 per unit of y)", 2.5, 7.0, true},
              {"far above the rising flank", 2.5, 12.0, false},
              {"on the flat tail", 15.0, 0.0, true},
              {"within r above the flat tail", 15.0, 2.0, true},
              {"beyond r above the flat tail", 15.0, 2.1, false},
              {"right of the curve", 40.0, 0.0, false}};
  for (const auto& c : rows) EXPECT_EQ(xy->hit(c.px, c.py, 0.1, 0.3), c.hit) << c.name;
}

// The abscissa of its own is a child of the curve: a copy must not share it,
// and a crop must cut it with the ordinates.
TEST(ExplicitAbscissa, IsCopiedWithTheCurveAndCutWithItsOrdinates) {
  auto source = explicit_curve({1, 2, 4, 8, 16, 32}, {10, 11, 12, 13, 14, 15});
  xy_data_3 copy;
  copy.copy_from(*source);
  ASSERT_TRUE(copy.has_explicit_x());
  ASSERT_NE(copy.explicit_abscissa(), nullptr);
  EXPECT_NE(copy.explicit_abscissa(), source->explicit_abscissa());
  EXPECT_EQ(std::tuple(copy.n, copy.x2, copy.x_of(1)), std::tuple(6, 32.0, 2.0));
  EXPECT_EQ(values(copy.y), (std::vector<float>{10, 11, 12, 13, 14, 15}));

  ASSERT_TRUE(copy.crop(1, 4, 2));
  EXPECT_EQ(values(*copy.explicit_abscissa()), (std::vector<float>{2, 4, 8, 16}));
  EXPECT_EQ(std::pair(copy.x1, copy.x2), std::pair(2.0, 16.0));
  EXPECT_DOUBLE_EQ(copy.x_of(2), 8.0);
  EXPECT_EQ(values(*source->explicit_abscissa()).size(), 6u) << "the source keeps its own";
}

}  // namespace
