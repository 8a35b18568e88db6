// Linear least squares: fit_9 and linear_regression_3.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "core/error_message.h"
#include "numerics/fit_9.h"
#include "numerics/linear_regression_3.h"

namespace {

double_vec values(const std::vector<double>& v, int base = 0) {
  double_vec out(static_cast<int>(v.size()));
  out.rebase(base);
  for (std::size_t i = 0; i < v.size(); ++i) out.data()[i] = v[i];
  return out;
}

// A design whose rows are the basis functions.
matrix_double design(const std::vector<std::vector<double>>& functions) {
  matrix_double d;
  d.allocate(static_cast<int>(functions.size()));
  for (std::size_t k = 0; k < functions.size(); ++k) d[static_cast<int>(k)] = values(functions[k]);
  return d;
}

class quiet_errors {
 public:
  quiet_errors() { previous_ = set_error_reporter(&recorder); }
  ~quiet_errors() { set_error_reporter(previous_); }
  quiet_errors(const quiet_errors&) = delete;
  quiet_errors& operator=(const quiet_errors&) = delete;
  recording_reporter recorder;

 private:
  error_reporter* previous_ = nullptr;
};

}  // namespace

TEST(Fit, OneConstantBasisFunctionGivesTheMean) {
  const std::vector<double> y = {2.0, 4.0, 9.0, -1.0, 6.0};
  linear_regression_3 f;
  f.fit(values(y), design({{1, 1, 1, 1, 1}}));
  ASSERT_EQ(f.n, 1);
  ASSERT_EQ(f.x.count(), 1);
  EXPECT_NEAR(f.x[0], 4.0, 1e-14);
}

TEST(Fit, TwoIdenticalBasisFunctionsShareTheWeightEqually) {
  // A = [[s, s], [s, s]] is singular: one singular value falls below 1e-16 of
  // the other and the minimum-norm solution splits the weight.
  std::vector<double> t;
  std::vector<double> y;
  for (int i = 0; i < 7; ++i) {
    t.push_back(0.5 + i);
    y.push_back(3.0 * (0.5 + i));
  }
  fit_9 f;
  f.fit(values(y), design({t, t}));
  ASSERT_EQ(f.x.count(), 2);
  double wmax = std::max(f.w[0], f.w[1]);
  EXPECT_TRUE(f.w[0] == 0.0 || f.w[1] == 0.0) << f.w[0] << " " << f.w[1];
  EXPECT_GT(wmax, 0.0);
  EXPECT_NEAR(f.x[0], 1.5, 1e-12);
  EXPECT_NEAR(f.x[1], 1.5, 1e-12);
}

TEST(Fit, StraightLineThroughNoisyPointsMatchesTheClosedForm) {
  const std::vector<double> d = {1.0, 2.0, 3.0, 4.0, 5.0, 6.0};
  const std::vector<double> y = {2.1, 3.9, 6.2, 7.8, 10.1, 12.0};
  fit_9 f;
  f.fit(values(y), design({std::vector<double>(6, 1.0), d}));
  double sx = 0, sy = 0, sxx = 0, sxy = 0;
  for (std::size_t i = 0; i < 6; ++i) {
    sx += d[i];
    sy += y[i];
    sxx += d[i] * d[i];
    sxy += d[i] * y[i];
  }
  const double slope = (6 * sxy - sx * sy) / (6 * sxx - sx * sx);
  const double intercept = (sy - slope * sx) / 6;
  EXPECT_NEAR(f.x[0], intercept, 1e-12);
  EXPECT_NEAR(f.x[1], slope, 1e-12);
}

TEST(Fit, StepsInCallingOrderAccumulateTheNormalEquations) {
  fit_9 f;
  f.set_size(2);
  EXPECT_EQ(f.A.count(), 2);
  EXPECT_EQ(f.A[1].count(), 2);
  EXPECT_EQ(f.V.count(), 2);
  EXPECT_EQ(f.b.count(), 2);
  EXPECT_EQ(f.w.count(), 2);
  const matrix_double d = design({{1, 2, 3}, {1, 0, -1}});
  f.accumulate(values({1, 1, 1}), d);
  f.accumulate(values({1, 1, 1}), d);  // b adds up, A is assigned
  EXPECT_EQ(f.b[0], 12.0);
  EXPECT_EQ(f.b[1], 0.0);
  EXPECT_EQ(f.A[0][0], 14.0);
  EXPECT_EQ(f.A[0][1], -2.0);
  EXPECT_EQ(f.A[1][0], -2.0);
  EXPECT_EQ(f.A[1][1], 2.0);
  f.solve();
  // Normal equations [[14, -2], [-2, 2]] x = [12, 0]: x = (1, 1).
  EXPECT_NEAR(f.x[0], 1.0, 1e-13);
  EXPECT_NEAR(f.x[1], 1.0, 1e-13);
  EXPECT_EQ(f.x.base(), 0);
  EXPECT_EQ(f.A.base(), 0);
  EXPECT_EQ(f.A[0].base(), 0);
}

TEST(Fit, SizeZeroLeavesXEmpty) {
  fit_9 f;
  f.fit(values({1, 2, 3}), design({}));
  EXPECT_EQ(f.n, 0);
  EXPECT_EQ(f.x.count(), 0);
  f.solve();
  EXPECT_EQ(f.x.count(), 0);
}

TEST(Fit, NonConvergenceEndsTheFitWithTheMessageAndNoSolution) {
  quiet_errors quiet;
  const double nan = std::numeric_limits<double>::quiet_NaN();
  fit_9 f;
  f.set_size(2);
  f.x[0] = 42.0;
  f.accumulate(values({1.0, 2.0}), design({{1.0, nan}, {1.0, 1.0}}));
  EXPECT_THROW(f.solve(), int);
  EXPECT_EQ(f.x[0], 42.0);   // no solution stored
  EXPECT_EQ(f.x.base(), 0);  // the containers are 0-based again
  ASSERT_EQ(quiet.recorder.messages.size(), 1u);
  EXPECT_EQ(quiet.recorder.messages[0].text, svd_no_convergence_message);
}

TEST(Fit, CopyFromCopiesTheWholeState) {
  linear_regression_3 f;
  f.fit(values({1.0, 3.0, 5.0}), design({{1, 1, 1}, {0, 1, 2}}));
  std::unique_ptr<assoc_class> copy = f.clone_empty();
  ASSERT_NE(dynamic_cast<linear_regression_3*>(copy.get()), nullptr);
  copy->copy_from(f);
  auto& g = dynamic_cast<linear_regression_3&>(*copy);
  ASSERT_EQ(g.n, 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(g.x[i], f.x[i]);
    EXPECT_EQ(g.b[i], f.b[i]);
    EXPECT_EQ(g.w[i], f.w[i]);
    for (int j = 0; j < 2; ++j) {
      EXPECT_EQ(g.A[i][j], f.A[i][j]);
      EXPECT_EQ(g.V[i][j], f.V[i][j]);
    }
  }
  EXPECT_NEAR(f.x[0], 1.0, 1e-12);
  EXPECT_NEAR(f.x[1], 2.0, 1e-12);
  EXPECT_STREQ(f.class_name(), "lin_reg");
  fit_9 plain;
  EXPECT_STREQ(plain.class_name(), "fit");
  EXPECT_NE(dynamic_cast<fit_9*>(plain.clone_empty().get()), nullptr);
}
