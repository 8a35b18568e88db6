#include "xrd/pattern/weighted_least_squares.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <Eigen/Dense>

double weighted_fit::u(std::size_t j) const {
  if (!solved || j >= covariance.size()) return std::numeric_limits<double>::quiet_NaN();
  return std::sqrt(covariance[j][j]);
}

weighted_fit weighted_least_squares(const std::vector<std::vector<double>>& columns, const std::vector<double>& y,
                                    const std::vector<double>& sigma) {
  weighted_fit fit;
  const auto n = static_cast<Eigen::Index>(y.size());
  const auto m = static_cast<Eigen::Index>(columns.size());
  if (m == 0 || n < m || sigma.size() != y.size()) return fit;
  for (const auto& column : columns)
    if (column.size() != y.size()) return fit;
  if (!std::all_of(sigma.begin(), sigma.end(), [](double s) { return std::isfinite(s) && s > 0.0; })) return fit;

  // Rows scaled by 1/σ: the ordinary least squares of the scaled system is
  // the weighted one, and its normal matrix is Xᵀ W X.
  Eigen::MatrixXd X(n, m);
  Eigen::VectorXd b(n);
  for (Eigen::Index i = 0; i < n; ++i) {
    const double w = 1.0 / sigma[static_cast<std::size_t>(i)];
    b(i) = w * y[static_cast<std::size_t>(i)];
    for (Eigen::Index j = 0; j < m; ++j) X(i, j) = w * columns[static_cast<std::size_t>(j)][static_cast<std::size_t>(i)];
  }
  const Eigen::MatrixXd normal = X.transpose() * X;
  const Eigen::FullPivLU<Eigen::MatrixXd> lu(normal);
  if (!lu.isInvertible()) return fit;
  const Eigen::VectorXd c = lu.solve(X.transpose() * b);
  Eigen::MatrixXd covariance = lu.inverse();
  if (!c.allFinite() || !covariance.allFinite()) return fit;

  fit.coefficients.assign(c.data(), c.data() + m);
  fit.residuals.resize(y.size());
  for (std::size_t i = 0; i < y.size(); ++i) {
    double model = 0.0;
    for (std::size_t j = 0; j < columns.size(); ++j) model += fit.coefficients[j] * columns[j][i];
    fit.residuals[i] = y[i] - model;
    fit.chi_square += (fit.residuals[i] / sigma[i]) * (fit.residuals[i] / sigma[i]);
  }
  fit.degrees_of_freedom = static_cast<int>(n - m);
  if (fit.degrees_of_freedom > 0) fit.covariance_scale = std::max(1.0, fit.chi_square / fit.degrees_of_freedom);
  covariance *= fit.covariance_scale;
  fit.covariance.assign(static_cast<std::size_t>(m), std::vector<double>(static_cast<std::size_t>(m)));
  for (Eigen::Index i = 0; i < m; ++i)
    for (Eigen::Index j = 0; j < m; ++j)
      fit.covariance[static_cast<std::size_t>(i)][static_cast<std::size_t>(j)] = covariance(i, j);
  fit.solved = true;
  return fit;
}

weighted_fit weighted_straight_line(const std::vector<double>& x, const std::vector<double>& y,
                                    const std::vector<double>& sigma) {
  return weighted_least_squares({std::vector<double>(x.size(), 1.0), x}, y, sigma);
}
