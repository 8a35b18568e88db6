// Linear least squares: fit_9 and linear_regression_3.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "core/numeric_abort.h"
#include "numerics/fit_9.h"
#include "numerics/linear_regression_3.h"

namespace {

double_vec values(const std::vector<double>& v) {
  double_vec out(static_cast<int>(v.size()));
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

}  // namespace

TEST(Fit, TwoIdenticalBasisFunctionsShareTheWeightEqually) {
  // A = [[s, s], [s, s]] is singular: one singular value falls below 1e-16 of
  // the other and the minimum-norm solution splits the weight.
  const std::vector<double> t = {0.5, 1.5, 2.5, 3.5, 4.5, 5.5, 6.5}, y = {1.5, 4.5, 7.5, 10.5, 13.5, 16.5, 19.5};
  fit_9 f;
  f.fit(values(y), design({t, t}));
  ASSERT_EQ(f.x.count(), 2);
  EXPECT_TRUE((f.w[0] == 0.0) != (f.w[1] == 0.0)) << f.w[0] << " " << f.w[1];
  EXPECT_NEAR(f.x[0], 1.5, 1e-12);
  EXPECT_NEAR(f.x[1], 1.5, 1e-12);
}

TEST(Fit, StepsInCallingOrderAddUpBAndAssignA) {
  fit_9 f;
  f.set_size(2);
  const matrix_double d = design({{1, 2, 3}, {1, 0, -1}});
  f.accumulate(values({1, 1, 1}), d);
  f.accumulate(values({1, 1, 1}), d);
  EXPECT_EQ(std::pair(f.b[0], f.b[1]), std::pair(12.0, 0.0)) << "b adds up";
  EXPECT_EQ(std::tuple(f.A[0][0], f.A[0][1], f.A[1][0], f.A[1][1]), std::tuple(14.0, -2.0, -2.0, 2.0))
      << "A is assigned";
  f.solve();  // [[14, -2], [-2, 2]] x = [12, 0]: x = (1, 1)
  EXPECT_TRUE(std::fabs(f.x[0] - 1.0) < 1e-13 && std::fabs(f.x[1] - 1.0) < 1e-13) << f.x[0] << " " << f.x[1];
  EXPECT_TRUE(f.x.base() == 0 && f.A.base() == 0 && f.A[0].base() == 0) << "0-based again after the solver";

  fit_9 none;
  none.fit(values({1, 2, 3}), design({}));
  EXPECT_EQ(none.x.count(), 0) << "no basis function, no solution";
  fit_9 mean;
  mean.fit(values({2.0, 4.0, 9.0, -1.0, 6.0}), design({{1, 1, 1, 1, 1}}));
  ASSERT_EQ(mean.x.count(), 1);
  EXPECT_NEAR(mean.x[0], 4.0, 1e-14) << "one constant basis function gives the mean";
}

TEST(Fit, NonConvergenceEndsTheFitWithTheMessageAndNoSolution) {
  fit_9 f;
  f.set_size(2);
  f.x[0] = 42.0;
  f.accumulate(values({1.0, 2.0}), design({{1.0, std::numeric_limits<double>::quiet_NaN()}, {1.0, 1.0}}));
  std::string message;
  try {
    f.solve();
  } catch (const numeric_abort& abort) {
    message = abort.what();
  }
  EXPECT_EQ(message, svd_no_convergence_message);
  EXPECT_EQ(f.x[0], 42.0) << "no solution stored";
  EXPECT_EQ(f.x.base(), 0) << "the containers are 0-based again";
}

TEST(Fit, AStraightLineThroughNoisyPointsMatchesTheClosedFormAndCopiesWithItsWholeState) {
  const std::vector<double> d = {1, 2, 3, 4, 5, 6}, y = {2.1, 3.9, 6.2, 7.8, 10.1, 12.0};
  linear_regression_3 f;
  f.fit(values(y), design({std::vector<double>(6, 1.0), d}));
  double sx = 0, sy = 0, sxx = 0, sxy = 0;
  for (std::size_t i = 0; i < 6; ++i) sx += d[i], sy += y[i], sxx += d[i] * d[i], sxy += d[i] * y[i];
  const double slope = (6 * sxy - sx * sy) / (6 * sxx - sx * sx);
  EXPECT_NEAR(f.x[0], (sy - slope * sx) / 6, 1e-12);
  EXPECT_NEAR(f.x[1], slope, 1e-12);
  std::unique_ptr<assoc_class> copy = f.clone_empty();
  copy->copy_from(f);
  auto& g = dynamic_cast<linear_regression_3&>(*copy);
  EXPECT_STREQ(g.class_name(), "lin_reg") << "the name the tail fit is registered by";
  ASSERT_EQ(g.n, 2);
  for (int i = 0; i < 2; ++i) {
    EXPECT_TRUE(g.x[i] == f.x[i] && g.b[i] == f.b[i] && g.w[i] == f.w[i]) << i;
    for (int j = 0; j < 2; ++j) EXPECT_TRUE(g.A[i][j] == f.A[i][j] && g.V[i][j] == f.V[i][j]) << i << "," << j;
  }
}
