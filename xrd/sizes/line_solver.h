#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include <ceres/ceres.h>
#include <ceres/covariance.h>

// The least-squares fit of one line on a straight background that the
// profile fit and the doublet fit share: six parameters (the line's
// position, FWHM, Lorentzian share η and area, the background at the
// window's middle and its slope), every point weighted by its counting noise,
// solved by Ceres within bounds that keep the line a line of the window.
enum line_parameter { line_position, line_fwhm, line_eta, line_area, line_background, line_slope, line_parameter_count };
using line_parameters = std::array<double, line_parameter_count>;

struct line_solution {
  bool converged = false;
  std::string message;         // Ceres' account when it did not converge
  double final_cost = 0.0;     // half the weighted sum of squares
  std::vector<double> weight;  // 1/σ of each point, as the last pass took it
  bool covariance_found = false;
  std::array<double, line_parameter_count * line_parameter_count> covariance{};  // unscaled, row by row
};

namespace line_solver_detail {

// Every point's weighted residual; `model(p, x)` gives the fitted counts.
template <class Model>
struct weighted_residuals {
  std::vector<double> x, y, weight;
  Model model;
  template <class T>
  bool operator()(const T* p, T* r) const {
    for (std::size_t i = 0; i < x.size(); ++i) r[i] = weight[i] * (y[i] - model(p, x[i]));
    return true;
  }
};

}  // namespace line_solver_detail

// Fits `p` (the start, then the result) to the points: the position within
// [x.front(), x.back()], the FWHM within [narrowest, widest], η within
// [0, 1], the area at least 0. Weighted first by the observed counts, then,
// once converged, again by the fitted ones: weights from the observed counts
// favour the points that fell low, which pulls a weak line's background down
// by about a count. The covariance comes with a converged fit.
template <class Model>
line_solution solve_line(const std::vector<double>& x, const std::vector<double>& y, line_parameters& p,
                         double narrowest, double widest, int max_iterations, const Model& model) {
  using residuals_type = line_solver_detail::weighted_residuals<Model>;
  line_solution s;
  const std::size_t n = std::min(x.size(), y.size());
  auto residuals = std::make_unique<residuals_type>(residuals_type{x, y, {}, model});
  for (double v : y) residuals->weight.push_back(1.0 / std::sqrt(std::max(v, 1.0)));
  residuals_type& weighted = *residuals;
  // Ceres 2.1 takes its functor as a raw pointer and owns it from then on;
  // the problem borrows the cost function, which this scope keeps.
  auto cost = std::make_unique<ceres::AutoDiffCostFunction<residuals_type, ceres::DYNAMIC, line_parameter_count>>(
      residuals.release(), static_cast<int>(n));
  ceres::Problem::Options problem_options;
  problem_options.cost_function_ownership = ceres::DO_NOT_TAKE_OWNERSHIP;
  ceres::Problem problem(problem_options);
  problem.AddResidualBlock(cost.get(), nullptr, p.data());
  problem.SetParameterLowerBound(p.data(), line_position, x.front());
  problem.SetParameterUpperBound(p.data(), line_position, x[n - 1]);
  problem.SetParameterLowerBound(p.data(), line_fwhm, narrowest);
  problem.SetParameterUpperBound(p.data(), line_fwhm, widest);
  problem.SetParameterLowerBound(p.data(), line_eta, 0.0);
  problem.SetParameterUpperBound(p.data(), line_eta, 1.0);
  problem.SetParameterLowerBound(p.data(), line_area, 0.0);

  ceres::Solver::Options options;
  options.linear_solver_type = ceres::DENSE_QR;
  options.max_num_iterations = max_iterations;
  options.logging_type = ceres::SILENT;
  options.minimizer_progress_to_stdout = false;
  options.num_threads = 1;
  ceres::Solver::Summary summary;
  ceres::Solve(options, &problem, &summary);
  if (summary.termination_type == ceres::CONVERGENCE) {
    for (std::size_t i = 0; i < n; ++i) weighted.weight[i] = 1.0 / std::sqrt(std::max(model(p.data(), x[i]), 1.0));
    ceres::Solve(options, &problem, &summary);
  }
  s.weight = weighted.weight;
  s.final_cost = summary.final_cost;
  s.converged = summary.termination_type == ceres::CONVERGENCE &&
                std::all_of(p.begin(), p.end(), [](double v) { return std::isfinite(v); });
  if (!s.converged) {
    s.message = summary.message;
    return s;
  }
  ceres::Covariance::Options covariance_options;
  covariance_options.algorithm_type = ceres::DENSE_SVD;
  covariance_options.num_threads = 1;
  ceres::Covariance covariance(covariance_options);
  const std::vector<std::pair<const double*, const double*>> blocks{{p.data(), p.data()}};
  s.covariance_found =
      covariance.Compute(blocks, &problem) && covariance.GetCovarianceBlock(p.data(), p.data(), s.covariance.data());
  return s;
}
