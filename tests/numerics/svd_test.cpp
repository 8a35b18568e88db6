// The SVD solver: decomposition, back-substitution, hypotenuse and the report of non-convergence.
#include "numerics/svd.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/error_message.h"
#include "core/numeric_abort.h"

namespace {

using rows_t = std::vector<std::vector<double>>;

double_vec vec1(const std::vector<double>& values) {  // indexed from 1
  double_vec v(static_cast<int>(values.size()));
  v.rebase(1);
  for (std::size_t i = 0; i < values.size(); ++i) v.data()[i] = values[i];
  return v;
}

// The decomposition of an m x n matrix A = U diag(w) V^T, everything indexed from 1.
struct decomposed {
  explicit decomposed(const rows_t& a)
      : a(a), m(int(a.size())), n(int(a[0].size())), w(vec1(rows_t::value_type(n, 7))) {
    u.allocate(m);
    v.allocate(n);
    for (int i = 0; i < m; ++i) u[i] = vec1(a[i]);
    for (int i = 0; i < n; ++i) v[i] = vec1(std::vector<double>(n));
    u.rebase(1);
    v.rebase(1);
    svd_decompose(u, m, n, w, v);
  }
  std::vector<double> solve(const std::vector<double>& b) {
    double_vec x = vec1(std::vector<double>(n, 9.0));
    svd_back_substitute(u, w, v, m, n, vec1(b), x);
    return std::vector<double>(x.data(), x.data() + n);
  }
  // max |U diag(w) V^T - A|, and max |Q^T Q - I| over the n columns of U and of V.
  double reconstruction_error() {
    double worst = 0.0;
    for (int i = 1; i <= m; ++i)
      for (int j = 1; j <= n; ++j) {
        double s = 0.0;
        for (int k = 1; k <= n; ++k) s += u[i][k] * w[k] * v[j][k];
        worst = std::max(worst, std::fabs(s - a[i - 1][j - 1]));
      }
    return worst;
  }
  double orthogonality_error() {
    double worst = 0.0;
    for (auto [q, r] : {std::pair{&u, m}, std::pair{&v, n}})
      for (int c = 1; c <= n; ++c)
        for (int d = 1; d <= n; ++d) {
          double s = 0.0;
          for (int i = 1; i <= r; ++i) s += (*q)[i][c] * (*q)[i][d];
          worst = std::max(worst, std::fabs(s - (c == d ? 1.0 : 0.0)));
        }
    return worst;
  }
  rows_t a;
  int m, n;
  matrix_double u, v;
  double_vec w;
};

}  // namespace

TEST(Hypotenuse, ExactCasesAndNoOverflow) {
  const double rows[][3] = {
      {3, 4, 5}, {-4, 3, 5}, {0, 0, 0}, {0, -2.5, 2.5}, {1e300, 1e300, 1e300 * std::sqrt(2.0)}, {1e-300, 0, 1e-300}};
  for (auto r : rows) EXPECT_DOUBLE_EQ(hypotenuse(r[0], r[1]), r[2]) << r[0] << ", " << r[1];
}

// Singular values come unsorted and non-negative; no sweep runs for a diagonal
// matrix, whose U and V are diagonal with entries of magnitude exactly 1.
TEST(SvdDecompose, DiagonalZeroAndOneByOneMatricesAreExact) {
  const struct {
    const char* name;
    rows_t a;
    std::vector<double> w, b, x;
  } rows[] = {{"diagonal", {{3, 0, 0}, {0, -5, 0}, {0, 0, 0.25}}, {3, 5, 0.25}, {3, 5, 1}, {1, -1, 4}},
              {"zero", {{0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, {0, 0, 0}, {1, 1, 1}, {0, 0, 0}},
              {"1x1 minus two", {{-2}}, {2}, {6}, {-3}}};
  for (const auto& c : rows) {
    decomposed d(c.a);
    EXPECT_EQ(std::vector<double>(d.w.data(), d.w.data() + d.n), c.w) << c.name;
    EXPECT_EQ(d.reconstruction_error(), 0.0) << c.name;
    EXPECT_EQ(d.solve(c.b), c.x) << c.name;
    if (c.w[0] == 0) continue;
    for (int i = 1; i <= d.n; ++i)
      for (int j = 1; j <= d.n; ++j)
        EXPECT_TRUE(std::fabs(d.u[i][j]) == (i == j) && std::fabs(d.v[i][j]) == (i == j)) << c.name << i << j;
  }
}

TEST(SvdDecompose, RankDeficientSystemGivesTheMinimumNormSolution) {
  decomposed d({{1.0, 2.0, 3.0}, {4.0, 5.0, 6.0}, {7.0, 8.0, 9.0}});
  EXPECT_LT(d.reconstruction_error(), 1e-13);
  EXPECT_LT(d.orthogonality_error(), 1e-14);
  int smallest = 1;
  for (int j = 1; j <= 3; ++j) {
    EXPECT_GE(d.w[j], 0.0);
    if (d.w[j] < d.w[smallest]) smallest = j;
  }
  EXPECT_LT(d.w[smallest], 1e-14 * std::max({d.w[1], d.w[2], d.w[3]}));
  d.w[smallest] = 0.0;
  // b = A (1, 0, 0): the solutions are (1, 0, 0) + t (1, -2, 1); the shortest is (5/6, 1/3, -1/6).
  const std::vector<double> x = d.solve({1.0, 4.0, 7.0});
  EXPECT_NEAR(x[0], 5.0 / 6.0, 1e-12);
  EXPECT_NEAR(x[1], 1.0 / 3.0, 1e-12);
  EXPECT_NEAR(x[2], -1.0 / 6.0, 1e-12);
}

TEST(SvdDecompose, GeneralMatricesAreReconstructedWithOrthonormalVectorsAndSolved) {
  std::mt19937 rng(11);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  for (auto [m, n] : {std::pair{5, 3}, std::pair{4, 4}, std::pair{8, 2}, std::pair{6, 6}}) {
    rows_t a(m, std::vector<double>(n));
    std::vector<double> b(m, 0.0);  // A (1, 2, .., n)
    for (int i = 0; i < m; ++i)
      for (int j = 0; j < n; ++j) b[i] += (a[i][j] = u(rng)) * (j + 1);
    decomposed d(a);
    for (int j = 1; j <= n; ++j) EXPECT_GE(d.w[j], 0.0);
    EXPECT_LT(d.reconstruction_error(), 1e-13) << m << "x" << n;
    EXPECT_LT(d.orthogonality_error(), 1e-13) << m << "x" << n;
    const std::vector<double> x = d.solve(b);
    for (int j = 0; j < n; ++j) EXPECT_NEAR(x[j], j + 1, 1e-10) << m << "x" << n;
  }
}

// A matrix holding NaN or an infinity never passes the convergence test: the
// thirtieth pass throws the abort with the message, and shows nothing itself
// (the action it ends does), so an earlier text stays where it was.
TEST(SvdDecompose, NoConvergenceThrowsTheAbortWithTheMessage) {
  const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
  const rows_t cases[] = {{{1.0, nan}, {2.0, 3.0}}, {{inf, 1.0, 0.0}, {1.0, 2.0, 1.0}, {0.0, 1.0, 1.0}}};
  for (const rows_t& a : cases) {
    recording_reporter shown;
    error_reporter* previous = set_error_reporter(&shown);
    global_error_message().assign("earlier; ");
    std::string message;
    try {
      decomposed d(a);
    } catch (const numeric_abort& abort) {
      message = abort.what();
    }
    set_error_reporter(previous);
    EXPECT_EQ(message,
              "No convergence in 30 Singular Value Decomposition iterations\nleading to an unstable refinement");
    EXPECT_TRUE(shown.messages.empty());
    EXPECT_STREQ(global_error_message().c_str(), "earlier; ");
    global_error_message().assign("");
  }
}
