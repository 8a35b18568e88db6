// The SVD solver: decomposition, back-substitution, hypotenuse,
// and the report of non-convergence.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "core/error_message.h"
#include "numerics/svd.h"

namespace {

// An m x n matrix indexed 1 .. m, 1 .. n.
matrix_double one_based(const std::vector<std::vector<double>>& rows) {
  const int m = static_cast<int>(rows.size());
  const int n = m > 0 ? static_cast<int>(rows[0].size()) : 0;
  matrix_double a(m, n);
  for (int i = 0; i < m; ++i) {
    a[i].rebase(1);
    for (int j = 0; j < n; ++j) a[i][j + 1] = rows[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)];
  }
  a.rebase(1);
  return a;
}

matrix_double square(int n) { return one_based(std::vector<std::vector<double>>(n, std::vector<double>(n, 0.0))); }

double_vec vec1(int n, double value = 0.0) {
  double_vec v(n);
  v.rebase(1);
  for (int i = 1; i <= n; ++i) v[i] = value;
  return v;
}

// max |U diag(w) V^T - A|.
double reconstruction_error(const matrix_double& u, const double_vec& w, const matrix_double& v,
                            const std::vector<std::vector<double>>& a) {
  double worst = 0.0;
  const int m = static_cast<int>(a.size());
  const int n = static_cast<int>(a[0].size());
  for (int i = 1; i <= m; ++i)
    for (int j = 1; j <= n; ++j) {
      double s = 0.0;
      for (int k = 1; k <= n; ++k) s += u[i][k] * w[k] * v[j][k];
      worst = std::max(worst, std::fabs(s - a[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)]));
    }
  return worst;
}

// max |Q^T Q - I| over the n columns of an r x n matrix Q.
double orthogonality_error(const matrix_double& q, int r, int n) {
  double worst = 0.0;
  for (int a = 1; a <= n; ++a)
    for (int b = 1; b <= n; ++b) {
      double s = 0.0;
      for (int i = 1; i <= r; ++i) s += q[i][a] * q[i][b];
      worst = std::max(worst, std::fabs(s - (a == b ? 1.0 : 0.0)));
    }
  return worst;
}

// Captures what show_error shows.
class capture_errors {
 public:
  capture_errors() { previous_ = set_error_reporter(&recorder_); }
  ~capture_errors() { set_error_reporter(previous_); }
  capture_errors(const capture_errors&) = delete;
  capture_errors& operator=(const capture_errors&) = delete;
  const recording_reporter& recorder() const { return recorder_; }

 private:
  recording_reporter recorder_;
  error_reporter* previous_ = nullptr;
};

}  // namespace

TEST(Hypotenuse, ExactCasesAndNoOverflow) {
  EXPECT_DOUBLE_EQ(hypotenuse(3.0, 4.0), 5.0);
  EXPECT_DOUBLE_EQ(hypotenuse(-4.0, 3.0), 5.0);
  EXPECT_EQ(hypotenuse(0.0, 0.0), 0.0);
  EXPECT_DOUBLE_EQ(hypotenuse(0.0, -2.5), 2.5);
  EXPECT_DOUBLE_EQ(hypotenuse(1e300, 1e300), 1e300 * std::sqrt(2.0));
  EXPECT_DOUBLE_EQ(hypotenuse(1e-300, 0.0), 1e-300);
}

TEST(SvdDecompose, DiagonalMatrixGivesItsAbsoluteDiagonalWithSignsInTheVectors) {
  const std::vector<std::vector<double>> rows = {{3.0, 0.0, 0.0}, {0.0, -5.0, 0.0}, {0.0, 0.0, 0.25}};
  matrix_double a = one_based(rows);
  matrix_double v = square(3);
  double_vec w = vec1(3);
  svd_decompose(a, 3, 3, w, v);
  EXPECT_EQ(w[1], 3.0);
  EXPECT_EQ(w[2], 5.0);
  EXPECT_EQ(w[3], 0.25);
  // No sweep ran: U and V are diagonal with entries of magnitude exactly 1.
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) {
      EXPECT_EQ(std::fabs(a[i][j]), i == j ? 1.0 : 0.0) << i << "," << j;
      EXPECT_EQ(std::fabs(v[i][j]), i == j ? 1.0 : 0.0) << i << "," << j;
    }
  EXPECT_EQ(reconstruction_error(a, w, v, rows), 0.0);
}

TEST(SvdDecompose, ZeroMatrixGivesZeroSingularValuesAndZeroSolution) {
  const std::vector<std::vector<double>> rows(3, std::vector<double>(3, 0.0));
  matrix_double a = one_based(rows);
  matrix_double v = square(3);
  double_vec w = vec1(3, 7.0);
  svd_decompose(a, 3, 3, w, v);
  for (int j = 1; j <= 3; ++j) EXPECT_EQ(w[j], 0.0);
  double_vec b = vec1(3, 1.0);
  double_vec x = vec1(3, 9.0);
  svd_back_substitute(a, w, v, 3, 3, b, x);
  for (int j = 1; j <= 3; ++j) EXPECT_EQ(x[j], 0.0);
}

TEST(SvdDecompose, RankDeficientSystemGivesTheMinimumNormSolution) {
  const std::vector<std::vector<double>> rows = {{1.0, 2.0, 3.0}, {4.0, 5.0, 6.0}, {7.0, 8.0, 9.0}};
  matrix_double a = one_based(rows);
  matrix_double v = square(3);
  double_vec w = vec1(3);
  svd_decompose(a, 3, 3, w, v);
  EXPECT_LT(reconstruction_error(a, w, v, rows), 1e-13);
  EXPECT_LT(orthogonality_error(a, 3, 3), 1e-14);
  EXPECT_LT(orthogonality_error(v, 3, 3), 1e-14);
  double wmax = 0.0;
  int smallest = 1;
  for (int j = 1; j <= 3; ++j) {
    EXPECT_GE(w[j], 0.0);
    wmax = std::max(wmax, w[j]);
    if (w[j] < w[smallest]) smallest = j;
  }
  EXPECT_LT(w[smallest], 1e-14 * wmax);
  w[smallest] = 0.0;
  // b = A (1, 0, 0): the solutions are (1, 0, 0) + t (1, -2, 1); the shortest
  // is (5/6, 1/3, -1/6).
  double_vec b = vec1(3);
  b[1] = 1.0;
  b[2] = 4.0;
  b[3] = 7.0;
  double_vec x = vec1(3);
  svd_back_substitute(a, w, v, 3, 3, b, x);
  EXPECT_NEAR(x[1], 5.0 / 6.0, 1e-12);
  EXPECT_NEAR(x[2], 1.0 / 3.0, 1e-12);
  EXPECT_NEAR(x[3], -1.0 / 6.0, 1e-12);
}

TEST(SvdDecompose, OneByOneMinusTwo) {
  const std::vector<std::vector<double>> rows = {{-2.0}};
  matrix_double a = one_based(rows);
  matrix_double v = square(1);
  double_vec w = vec1(1);
  svd_decompose(a, 1, 1, w, v);
  EXPECT_EQ(w[1], 2.0);
  // The algorithm puts the sign into U: the Householder step gives
  // w = +2 directly, so the convergence step has nothing to negate and V stays
  // [1].
  EXPECT_EQ(a[1][1], -1.0);
  EXPECT_EQ(v[1][1], 1.0);
  EXPECT_EQ(a[1][1] * w[1] * v[1][1], -2.0);
  double_vec b = vec1(1, 6.0);
  double_vec x = vec1(1);
  svd_back_substitute(a, w, v, 1, 1, b, x);
  EXPECT_DOUBLE_EQ(x[1], -3.0);
}

TEST(SvdDecompose, GeneralMatricesAreReconstructedWithOrthonormalVectors) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (auto [m, n] : {std::pair{5, 3}, std::pair{4, 4}, std::pair{8, 2}, std::pair{6, 6}}) {
    std::vector<std::vector<double>> rows(static_cast<std::size_t>(m),
                                          std::vector<double>(static_cast<std::size_t>(n)));
    for (auto& r : rows)
      for (double& x : r) x = u(rng);
    matrix_double a = one_based(rows);
    matrix_double v = square(n);
    double_vec w = vec1(n);
    svd_decompose(a, m, n, w, v);
    for (int j = 1; j <= n; ++j) EXPECT_GE(w[j], 0.0);
    EXPECT_LT(reconstruction_error(a, w, v, rows), 1e-13) << m << "x" << n;
    EXPECT_LT(orthogonality_error(a, m, n), 1e-13) << m << "x" << n;
    EXPECT_LT(orthogonality_error(v, n, n), 1e-13) << m << "x" << n;
    // Least squares: A x = b for b in the column space.
    double_vec b = vec1(m);
    for (int i = 1; i <= m; ++i) {
      double s = 0.0;
      for (int j = 1; j <= n; ++j) s += rows[static_cast<std::size_t>(i - 1)][static_cast<std::size_t>(j - 1)] * j;
      b[i] = s;
    }
    double_vec x = vec1(n);
    svd_back_substitute(a, w, v, m, n, b, x);
    for (int j = 1; j <= n; ++j) EXPECT_NEAR(x[j], j, 1e-10) << m << "x" << n;
  }
}

TEST(SvdDecompose, NoConvergenceShowsTheMessageAndThrowsTheIntegerOne) {
  // A matrix holding NaN can never pass the convergence test: the thirtieth
  // pass reports and aborts.
  const double nan = std::numeric_limits<double>::quiet_NaN();
  matrix_double a = one_based({{1.0, nan}, {2.0, 3.0}});
  matrix_double v = square(2);
  double_vec w = vec1(2);
  capture_errors capture;
  global_error_message().assign("");
  int thrown = 0;
  try {
    svd_decompose(a, 2, 2, w, v);
  } catch (int e) {
    thrown = e;
  }
  EXPECT_EQ(thrown, 1);
  ASSERT_EQ(capture.recorder().messages.size(), 1u);
  EXPECT_EQ(capture.recorder().messages[0].text,
            "No convergence in 30 Singular Value Decomposition iterations\nleading to an unstable refinement");
  EXPECT_TRUE(global_error_message().is_empty());  // shown, then emptied
}

TEST(SvdDecompose, NoConvergenceMessageFollowsWhatWasAlreadyInTheGlobalMessage) {
  const double inf = std::numeric_limits<double>::infinity();
  matrix_double a = one_based({{inf, 1.0, 0.0}, {1.0, 2.0, 1.0}, {0.0, 1.0, 1.0}});
  matrix_double v = square(3);
  double_vec w = vec1(3);
  capture_errors capture;
  global_error_message().assign("earlier text; ");
  EXPECT_THROW(svd_decompose(a, 3, 3, w, v), int);
  ASSERT_EQ(capture.recorder().messages.size(), 1u);
  EXPECT_EQ(capture.recorder().messages[0].text,
            std::string("earlier text; ") + svd_no_convergence_message);
}
