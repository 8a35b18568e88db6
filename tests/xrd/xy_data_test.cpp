#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "../template/loaded_templates.h"
#include "core/error_message.h"
#include "xrd/xy_data_3.h"

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

// ------------------------------------------------------------ index of an x

struct index_case {
  const char* name;
  double x;
  int base;  // where a crop has moved the first index
  int expected;
};
void PrintTo(const index_case& c, std::ostream* os) { *os << c.name; }

class IndexOfX : public ::testing::TestWithParam<index_case> {};

TEST_P(IndexOfX, IsTheNearestPointClampedToTheCurve) {
  const index_case& c = GetParam();
  auto xy = curve(10.0, 0.5, ramp(5));  // 10, 10.5, 11, 11.5, 12
  xy->y.rebase(c.base);
  EXPECT_EQ(xy->index_of(c.x), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Stepped, IndexOfX,
    ::testing::Values(index_case{"left_of_the_first_point_is_the_first_index", 3.0, 0, 0},
                      index_case{"right_of_the_last_point_is_the_last_index", 99.0, 0, 4},
                      index_case{"a_point_itself", 11.0, 0, 2},
                      index_case{"a_half_step_rounds_up", 10.25, 0, 1},
                      index_case{"just_below_a_half_step_rounds_down", 10.2499, 0, 0},
                      index_case{"a_half_step_left_of_x1_rounds_away_and_clamps", 9.75, 0, 0},
                      index_case{"a_moved_base_is_added", 11.0, 7, 9},
                      index_case{"a_moved_base_clamps_to_its_last_index", 1e9, 7, 11},
                      index_case{"huge_x_does_not_overflow", 1e300, 2147483640, 2147483644}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ExplicitAbscissa, IndexOfXTakesTheNearerBracketingPointAndTheUpperOnATie) {
  auto xy = explicit_curve({1.0f, 2.0f, 4.0f, 8.0f}, {0, 1, 2, 3});
  EXPECT_EQ(xy->index_of(0.0), 0);
  EXPECT_EQ(xy->index_of(2.9), 1);
  EXPECT_EQ(xy->index_of(3.0), 2) << "a tie goes to the upper point";
  EXPECT_EQ(xy->index_of(7.0), 3);
  EXPECT_EQ(xy->index_of(100.0), 3);
  EXPECT_DOUBLE_EQ(xy->x_of(2), 4.0);
  EXPECT_DOUBLE_EQ(xy->left_x, 1.0);
  EXPECT_DOUBLE_EQ(xy->right_x, 8.0);
}

TEST(IndexRange, IntersectsWithTheCurveAndWidensWithinTheVector) {
  auto xy = curve(0.0, 1.0, ramp(11));  // 0 .. 10
  int i1 = 0, i2 = 0;
  EXPECT_EQ(xy->index_range(2.2, 4.6, i1, i2), 4);
  EXPECT_EQ(i1, 2);
  EXPECT_EQ(i2, 5);
  EXPECT_EQ(xy->index_range(4.6, 2.2, i1, i2), 4) << "ends given in the wrong order";
  EXPECT_EQ(xy->index_range(-5.0, 3.0, i1, i2), 4);
  EXPECT_EQ(i1, 0);
  EXPECT_EQ(xy->index_range(11.5, 20.0, i1, i2), 0) << "no overlap, no points";
  EXPECT_EQ(xy->index_range_widened(2.2, 4.6, i1, i2), 6);
  EXPECT_EQ(i1, 1);
  EXPECT_EQ(i2, 6);
  EXPECT_EQ(xy->index_range_widened(-1.0, 0.2, i1, i2), 2) << "widening stops at the vector's ends";
  EXPECT_EQ(i1, 0);
  EXPECT_EQ(i2, 1);
  xy_data_3 empty;
  EXPECT_EQ(empty.index_range(0.0, 1.0, i1, i2), 0);
}

// ------------------------------------------------------------------- crop

struct crop_case {
  const char* name;
  int i1, i2, min_points;
  bool accepted;
};
void PrintTo(const crop_case& c, std::ostream* os) { *os << c.name; }

class Crop : public ::testing::TestWithParam<crop_case> {};

TEST_P(Crop, KeepsMoreThanTheMinimumOrRefusesAndChangesNothing) {
  const crop_case& c = GetParam();
  auto xy = curve(20.0, 0.25, ramp(20));
  ASSERT_EQ(xy->crop(c.i1, c.i2, c.min_points), c.accepted);
  if (!c.accepted) {
    EXPECT_EQ(xy->n, 20);
    EXPECT_EQ(xy->y.count(), 20);
    EXPECT_DOUBLE_EQ(xy->x1, 20.0);
    return;
  }
  const int count = c.i2 - c.i1 + 1;
  EXPECT_EQ(xy->n, count);
  EXPECT_EQ(xy->y.count(), count);
  EXPECT_EQ(xy->y.base(), 0);
  EXPECT_DOUBLE_EQ(xy->x1, 20.0 + 0.25 * c.i1);
  EXPECT_DOUBLE_EQ(xy->x2, xy->x1 + (count - 1) * 0.25);
  EXPECT_FLOAT_EQ(xy->y[0], static_cast<float>(c.i1));
  EXPECT_FLOAT_EQ(xy->y[count - 1], static_cast<float>(c.i2));
  EXPECT_DOUBLE_EQ(xy->min_y, c.i1) << "the extents follow the crop";
  EXPECT_DOUBLE_EQ(xy->right_x, xy->x2);
}

INSTANTIATE_TEST_SUITE_P(
    Indices, Crop,
    ::testing::Values(crop_case{"exactly_the_minimum_is_refused", 3, 7, 5, false},
                      crop_case{"one_more_than_the_minimum_is_kept", 3, 8, 5, true},
                      crop_case{"the_whole_curve_is_kept", 0, 19, 5, true},
                      crop_case{"a_range_past_the_vector_is_refused", 10, 25, 5, false},
                      crop_case{"a_range_before_the_vector_is_refused", -3, 10, 5, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(CropToX, CutsToTheIndicesOfTheIntervalAndRefusesAnEmptyOne) {
  auto xy = curve(0.0, 0.5, ramp(21));  // 0 .. 10
  EXPECT_FALSE(xy->crop_x(20.0, 30.0, 2)) << "an interval beside the curve holds no points";
  EXPECT_EQ(xy->n, 21);
  ASSERT_TRUE(xy->crop_x(2.1, 4.6, 2));
  EXPECT_EQ(xy->n, 6);
  EXPECT_DOUBLE_EQ(xy->x1, 2.0);
  EXPECT_DOUBLE_EQ(xy->x2, 4.5);
  ASSERT_TRUE(xy->crop_x(3.0, 100.0, 2)) << "a second crop works from the new first index";
  EXPECT_DOUBLE_EQ(xy->x1, 3.0);
  EXPECT_FLOAT_EQ(xy->y[0], 6.0f);
}

TEST(CropWithExplicitAbscissa, CutsTheAbscissaWithTheOrdinates) {
  auto xy = explicit_curve({1, 2, 4, 8, 16, 32}, {10, 11, 12, 13, 14, 15});
  ASSERT_TRUE(xy->crop(1, 4, 2));
  float_vec* xs = xy->explicit_abscissa();
  ASSERT_NE(xs, nullptr);
  ASSERT_EQ(xs->count(), 4);
  EXPECT_FLOAT_EQ((*xs)[0], 2.0f);
  EXPECT_FLOAT_EQ((*xs)[3], 16.0f);
  EXPECT_DOUBLE_EQ(xy->x1, 2.0);
  EXPECT_DOUBLE_EQ(xy->x2, 16.0);
  EXPECT_DOUBLE_EQ(xy->x_of(2), 8.0);
}

// ----------------------------------------------------------------- extend

TEST(Extend, AddsZeroMarginsAndMovesTheEnds) {
  auto xy = curve(5.0, 0.5, {1, 2, 3});
  xy->extend(2, 1);
  ASSERT_EQ(xy->n, 6);
  ASSERT_EQ(xy->y.count(), 6);
  const float expected[] = {0, 0, 1, 2, 3, 0};
  for (int i = 0; i < 6; ++i) EXPECT_FLOAT_EQ(xy->y[i], expected[i]) << "point " << i;
  EXPECT_DOUBLE_EQ(xy->x1, 4.0);
  EXPECT_DOUBLE_EQ(xy->x2, 6.5);
  EXPECT_DOUBLE_EQ(xy->x_of(2), 5.0) << "the old points keep their abscissae";
}

struct extend_case {
  const char* name;
  int start, left, right;
  bool aborts;
};
void PrintTo(const extend_case& c, std::ostream* os) { *os << c.name; }

class ExtendLimit : public ::testing::TestWithParam<extend_case> {};

TEST_P(ExtendLimit, AllowsTenThousandPointsAndAbortsBeyondWithItsMessage) {
  const extend_case& c = GetParam();
  shown_errors shown;
  global_error_message().assign("left over from before");
  auto xy = curve(0.0, 1.0, ramp(c.start));
  if (!c.aborts) {
    EXPECT_NO_THROW(xy->extend(c.left, c.right));
    EXPECT_EQ(xy->n, c.start + c.left + c.right);
    EXPECT_TRUE(shown.messages().empty());
    return;
  }
  int thrown = 0;
  try {
    xy->extend(c.left, c.right);
  } catch (int e) {
    thrown = e;
  }
  EXPECT_EQ(thrown, 1);
  ASSERT_EQ(shown.messages().size(), 1u);
  const long long total = static_cast<long long>(c.start) + c.left + c.right;
  EXPECT_EQ(shown.messages()[0].text, "Internal refiment warning :\nConvolution array (Npts = " +
                                          std::to_string(total) + ") too large.\nRefinement will terminate.");
  EXPECT_EQ(xy->n, c.start) << "an aborted extension changes nothing";
  EXPECT_TRUE(global_error_message().is_empty());
}

INSTANTIATE_TEST_SUITE_P(
    Counts, ExtendLimit,
    ::testing::Values(extend_case{"ten_thousand_in_all_is_allowed", 4000, 3000, 3000, false},
                      extend_case{"ten_thousand_and_one_aborts", 4000, 3001, 3000, true},
                      extend_case{"margins_near_the_int_limit_do_not_overflow", 10, 2147483647, 2147483647, true}),
    [](const auto& info) { return std::string(info.param.name); });

// ------------------------------------------------------------- moving ends

TEST(SetEnds, OrdersTheEndsKeepsAMinimumSpanAndRecomputesTheStep) {
  auto xy = curve(0.0, 1.0, ramp(11));
  xy->set_ends(5.0, 5.0);
  EXPECT_DOUBLE_EQ(xy->x1, 5.0);
  EXPECT_DOUBLE_EQ(xy->x2, 5.00001);
  EXPECT_DOUBLE_EQ(xy->xd, (5.00001 - 5.0) / 10);
  xy->set_ends(30.0, 10.0);
  EXPECT_DOUBLE_EQ(xy->x1, 10.0);
  EXPECT_DOUBLE_EQ(xy->x2, 30.0);
  EXPECT_DOUBLE_EQ(xy->xd, 2.0);
  EXPECT_DOUBLE_EQ(xy->right_x, 30.0);
}

TEST(ShiftEnds, RemapsAnExplicitAbscissaLinearlyOntoTheNewEnds) {
  auto xy = explicit_curve({1, 2, 4, 5}, {0, 0, 0, 0});
  xy->shift_ends(1.0, 5.0);  // 1..5 becomes 2..10: x' = 2 + (x - 1) * 2
  float_vec* xs = xy->explicit_abscissa();
  ASSERT_NE(xs, nullptr);
  const float expected[] = {2, 4, 8, 10};
  for (int i = 0; i < 4; ++i) EXPECT_FLOAT_EQ((*xs)[i], expected[i]) << "point " << i;
  EXPECT_DOUBLE_EQ(xy->left_x, 2.0);
  EXPECT_DOUBLE_EQ(xy->right_x, 10.0);
}

// ---------------------------------------------------- measures over a curve

TEST(Area, IsTheTrapezoidRuleOverTheWholeCurve) {
  EXPECT_DOUBLE_EQ(curve(0.0, 0.5, {1, 2, 3, 4})->area(), (2 + 3 + (1 + 4) / 2.0) * 0.5);
  // A sampled sine over [0, pi]: the trapezoid rule's known error is
  // -(pi^3 / 12) f'' h^2 on average, so it comes within 2e-4 of 2 here.
  const int n = 129;
  const double h = std::acos(-1.0) / (n - 1);
  std::vector<float> ys;
  for (int i = 0; i < n; ++i) ys.push_back(static_cast<float>(std::sin(i * h)));
  EXPECT_NEAR(curve(0.0, h, ys)->area(), 2.0, 2e-4);
  EXPECT_EQ(xy_data_3().area(), 0.0);
}

TEST(YRange, UsesTheCachedExtentsForAWholeWindowAndScansAPartialOne) {
  auto xy = curve(0.0, 1.0, {5, -3, 8, 2, 7});
  // Changed behind the curve's back: only a scan sees it.
  xy->y[4] = 100.0f;
  double lo = 0.0, hi = 1.0;
  xy->y_range(-10.0, 10.0, 0x3, lo, hi);
  EXPECT_DOUBLE_EQ(lo, -3.0);
  EXPECT_DOUBLE_EQ(hi, 8.0) << "a window over every point takes the cached largest y";
  lo = 0.0, hi = 1.0;
  xy->y_range(2.0, 4.0, 0x3, lo, hi);
  EXPECT_DOUBLE_EQ(lo, 0.0) << "the running lower value stays when it is lower";
  EXPECT_DOUBLE_EQ(hi, 100.0);
  lo = 50.0, hi = -50.0;
  xy->y_range(0.0, 1.0, 0x2, lo, hi);
  EXPECT_DOUBLE_EQ(lo, 50.0) << "bit 0x1 clear: the lower value is not touched";
  EXPECT_DOUBLE_EQ(hi, 5.0);
  lo = 50.0, hi = -50.0;
  xy->y_range(20.0, 30.0, 0x3, lo, hi);
  EXPECT_DOUBLE_EQ(lo, 50.0) << "a window beside the curve changes nothing";
  EXPECT_DOUBLE_EQ(hi, -50.0);
}

TEST(Extents, IgnoreOrdinatesThatAreNotNumbers) {
  auto xy = curve(0.0, 1.0, {std::numeric_limits<float>::quiet_NaN(), 4, -2, std::numeric_limits<float>::quiet_NaN()});
  EXPECT_DOUBLE_EQ(xy->min_y, -2.0);
  EXPECT_DOUBLE_EQ(xy->max_y, 4.0);
}

// --------------------------------------------------------------- hit test

struct hit_case {
  const char* name;
  double px, py;
  bool hit;
};
void PrintTo(const hit_case& c, std::ostream* os) { *os << c.name; }

class HitTest : public ::testing::TestWithParam<hit_case> {};

// A tent 0 -> 10 -> 0 over x = 0 .. 10 (step 1), then flat at 0 to x = 20.
TEST_P(HitTest, FindsPointsWithinTheToleranceOfASegment) {
  const hit_case& c = GetParam();
  std::vector<float> ys;
  for (int i = 0; i <= 20; ++i) ys.push_back(static_cast<float>(i <= 5 ? 2 * i : (i <= 10 ? 20 - 2 * i : 0)));
  auto xy = curve(0.0, 1.0, ys);
  // w = max(0.1, 2 * xd) = 2, r = sqrt(0.3^2 + 2^2) = 2.0224
  EXPECT_EQ(xy->hit(c.px, c.py, 0.1, 0.3), c.hit);
}

INSTANTIATE_TEST_SUITE_P(
    Points, HitTest,
    ::testing::Values(hit_case{"on_the_rising_flank", 2.5, 5.0, true},
                      // The line y = 2x is 2 / sqrt(5) = 0.894 per unit of y away.
                      hit_case{"near_the_rising_flank", 2.5, 7.0, true},
                      hit_case{"far_above_the_rising_flank", 2.5, 12.0, false},
                      hit_case{"on_the_flat_tail", 15.0, 0.0, true},
                      hit_case{"within_r_above_the_flat_tail", 15.0, 2.0, true},
                      hit_case{"beyond_r_above_the_flat_tail", 15.0, 2.1, false},
                      hit_case{"right_of_the_curve", 40.0, 0.0, false}),
    [](const auto& info) { return std::string(info.param.name); });

// ----------------------------------------------------------- text commands

TEST(TextCommands, FreeReleasesTheOrdinatesAndOneMarksADataFileCurveDirty) {
  auto plain = curve(0.0, 1.0, {1, 2, 3, 4});
  plain->set_text("1");
  EXPECT_EQ(plain->y.count(), 4) << "a plain curve ignores other texts";
  plain->set_text(nullptr);
  plain->set_text("free");
  EXPECT_EQ(plain->y.count(), 0);

  xy_data_for_3 shown;
  shown.y.allocate(4);
  shown.set_text("1");
  EXPECT_TRUE(shown.dirty);
  EXPECT_EQ(shown.y.count(), 4);
  shown.set_text("free");
  EXPECT_EQ(shown.y.count(), 0) << "a data file's curve still knows free";
}

TEST(Copy, TakesAxisOrdinatesOptionsAndTheExplicitAbscissa) {
  auto source = explicit_curve({1, 3, 9}, {4, 5, 6});
  xy_data_3 copy;
  copy.copy_from(*source);
  EXPECT_EQ(copy.n, 3);
  EXPECT_DOUBLE_EQ(copy.x2, 9.0);
  EXPECT_FLOAT_EQ(copy.y[2], 6.0f);
  ASSERT_TRUE(copy.has_explicit_x());
  ASSERT_NE(copy.explicit_abscissa(), nullptr) << "the abscissa child is copied with the curve";
  EXPECT_DOUBLE_EQ(copy.x_of(1), 3.0);
  EXPECT_NE(copy.explicit_abscissa(), source->explicit_abscissa());
}

}  // namespace
