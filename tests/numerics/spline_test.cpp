// The cubic spline on a stepped abscissa.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/my_vec.h"
#include "numerics/spline_dx_3.h"

namespace {

using vec = my_vec<float, double>;
using spline = spline_dx_3<vec>;

vec samples(const std::vector<double>& values, int base = 0) {
  vec v;
  v.allocate(static_cast<int>(values.size()));
  v.rebase(base);
  for (std::size_t i = 0; i < values.size(); ++i) v.data()[i] = static_cast<float>(values[i]);
  return v;
}

}  // namespace

TEST(Spline, StraightLineHasNoCurvatureAndIsReproducedBetweenAndBeyondTheSamples) {
  const double x0 = 2.0;
  const double dx = 0.5;
  std::vector<double> values;
  for (int i = 0; i < 9; ++i) values.push_back(3.0 - 1.25 * i);  // exact in float
  const vec y = samples(values, 4);
  spline s;
  s.set_up(x0, dx, y, spline::free_end, spline::free_end);
  ASSERT_EQ(s.y2.count(), 9);
  EXPECT_EQ(s.y2.base(), 4);
  for (int i = 4; i < 13; ++i) EXPECT_EQ(s.y2[i], 0.0f) << i;
  for (double x = x0 - 3.0; x <= x0 + 8 * dx + 3.0; x += 0.0625) {
    const double expected = 3.0 - 1.25 * (x - x0) / dx;
    ASSERT_NEAR(s.evaluate(y, x), expected, 1e-12) << x;
  }
}

TEST(Spline, ValueAtEveryKnotIsTheSampleIncludingTheLastAndFreeEndsAreStraight) {
  const std::vector<double> values = {1.0, 4.0, -2.0, 0.5, 8.0, 3.0, 3.0};
  const vec y = samples(values);
  spline s;
  s.set_up(0.0, 1.0, y, spline::free_end, spline::free_end);
  for (int j = 0; j < 7; ++j) EXPECT_DOUBLE_EQ(s.evaluate(y, j), values[static_cast<std::size_t>(j)]) << j;
  EXPECT_EQ(s.y2[0], 0.0f);
  EXPECT_EQ(s.y2[6], 0.0f);
}

TEST(Spline, GivenEndSlopesReproduceAParabola) {
  // y = t^2 (t in steps): y'' = 2 everywhere and the slope per step is 2t.
  const int n = 11;
  std::vector<double> values;
  for (int i = 0; i < n; ++i) values.push_back(static_cast<double>(i) * i);
  const vec y = samples(values);
  spline s;
  s.set_up(0.0, 0.1, y, 0.0, 2.0 * (n - 1));
  for (int i = 0; i < n; ++i) EXPECT_NEAR(s.y2[i], 2.0, 1e-5) << i;
  for (double t = 0.0; t <= n - 1; t += 0.25) ASSERT_NEAR(s.evaluate(y, t * 0.1), t * t, 1e-4) << t;
  // Beyond the samples the end pieces go on, and here they are the parabola.
  for (double t : {-2.0, -0.5, n - 0.5, n + 1.0}) EXPECT_NEAR(s.evaluate(y, t * 0.1), t * t, 1e-3) << t;
  // A slope above 9.9e29 is a free end.
  spline f;
  f.set_up(0.0, 0.1, y, 9.91e29, 1e31);
  EXPECT_EQ(f.y2[0], 0.0f);
  EXPECT_EQ(f.y2[n - 1], 0.0f);
}

TEST(Spline, CompanionEvaluatesTheOtherSplineWithTheSameWeights) {
  const vec a = samples({1.0, 3.0, 2.0, 5.0, 4.0, 0.0});
  const vec b = samples({-2.0, 0.0, 7.0, 1.0, 1.0, 2.0});
  spline sa;
  spline sb;
  sa.set_up(1.0, 0.25, a, spline::free_end, spline::free_end);
  sb.set_up(1.0, 0.25, b, spline::free_end, spline::free_end);
  for (double x : {0.5, 1.0, 1.1, 1.6, 2.2, 3.0}) {
    sa.evaluate(a, x);
    spline fresh = sb;
    EXPECT_DOUBLE_EQ(sa.companion(sb, b), fresh.evaluate(b, x)) << x;
  }
}

TEST(Spline, OneOrNoSample) {
  const vec one = samples({4.5});
  spline s;
  s.set_up(0.0, 1.0, one, spline::free_end, spline::free_end);
  EXPECT_DOUBLE_EQ(s.evaluate(one, -3.0), 4.5);
  EXPECT_DOUBLE_EQ(s.evaluate(one, 7.0), 4.5);
  const vec none;
  spline e;
  e.set_up(0.0, 1.0, none, spline::free_end, spline::free_end);
  EXPECT_DOUBLE_EQ(e.evaluate(none, 1.0), 0.0);
}
