#include "xrd/pattern/doublet_fit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <memory>
#include <vector>

#include <ceres/ceres.h>
#include <ceres/covariance.h>

namespace {

// Fewer points than this leave the six parameters no noise to be judged by.
constexpr std::size_t fewest_points = 12;
// Points averaged at each end of the window for the starting background.
constexpr std::size_t end_points = 4;
// A line whose fitted area is within this many standard uncertainties of 0
// is noise, not a line.
constexpr double line_significance = 3.0;

enum parameter { two_theta_p, fwhm_p, eta_p, area_p, background_p, slope_p, parameter_count };

template <class T>
T model(const T* p, double x, double middle, const kalpha_lines& k) {
  return kalpha::doublet(x, p[two_theta_p], p[fwhm_p], p[eta_p], p[area_p], k) + p[background_p] +
         p[slope_p] * (x - middle);
}

struct window_residuals {
  std::vector<double> x, y, weight;
  double middle = 0.0;
  kalpha_lines source;
  template <class T>
  bool operator()(const T* p, T* r) const {
    for (std::size_t i = 0; i < x.size(); ++i) r[i] = weight[i] * (y[i] - model(p, x[i], middle, source));
    return true;
  }
};

bool whole_counts(const std::vector<double>& y) {
  return std::all_of(y.begin(), y.end(), [](double v) { return v >= 0.0 && v == std::floor(v) && v < 1e15; });
}

bool finite(std::span<const double> v) {
  return std::all_of(v.begin(), v.end(), [](double a) { return std::isfinite(a); });
}

}  // namespace

double doublet_fit::line_at(double x) const { return kalpha::doublet(x, two_theta, fwhm, eta, area, source); }

double doublet_fit::model_at(double x) const { return line_at(x) + background + slope * (x - middle); }

doublet_fit fit_doublet(std::span<const double> x, std::span<const double> y, const line_window& where,
                        const kalpha_lines& source) {
  doublet_fit f;
  f.label = where.label;
  f.source = source;
  f.from = where.from;
  f.to = where.to;
  if (!(source.lambda1_A > 0.0) || !(source.lambda2_A > 0.0) || !(source.ratio >= 0.0) ||
      !std::isfinite(source.ratio)) {
    f.why = "the K-alpha wavelengths or their ratio are not usable";
    return f;
  }
  if (!(where.to > where.from)) {
    f.why = "the window is empty";
    return f;
  }
  std::vector<double> wx, wy;
  const std::size_t n_all = std::min(x.size(), y.size());
  for (std::size_t i = 0; i < n_all; ++i) {
    if (x[i] < where.from || x[i] > where.to) continue;
    wx.push_back(x[i]);
    wy.push_back(y[i]);
  }
  const std::size_t n = wx.size();
  f.points = static_cast<int>(n);
  if (n < fewest_points) {
    f.why = "the window holds too few points";
    return f;
  }
  if (!finite(wx) || !finite(wy)) {
    f.why = "the window holds values that are not numbers";
    return f;
  }
  const double x1 = wx.front(), x2 = wx.back();
  if (!std::is_sorted(wx.begin(), wx.end()) || !(x2 > x1)) {
    f.why = "the pattern's 2theta does not rise";
    return f;
  }
  if (!std::isfinite(kalpha::second_two_theta_deg(x2, source))) {
    f.why = "K-alpha2 has no reflection at this angle";
    return f;
  }
  f.counts = whole_counts(wy);
  f.middle = 0.5 * (x1 + x2);

  // Start from the highest point above the line through the window's ends,
  // its width at half height, and a half-Lorentzian shape.
  const std::size_t w = std::min(end_points, n / 4);
  double left = 0.0, right = 0.0, left_x = 0.0, right_x = 0.0;
  for (std::size_t i = 0; i < w; ++i) {
    left += wy[i] / w;
    left_x += wx[i] / w;
    right += wy[n - w + i] / w;
    right_x += wx[n - w + i] / w;
  }
  const double start_slope = (right - left) / (right_x - left_x);
  std::vector<double> above(n);
  double sum_above = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    above[i] = wy[i] - (left + start_slope * (wx[i] - left_x));
    sum_above += above[i];
  }
  const std::size_t top = static_cast<std::size_t>(std::max_element(above.begin(), above.end()) - above.begin());
  if (!(above[top] > 0.0) || !(sum_above > 0.0)) {
    f.why = "no line stands above the window's ends";
    return f;
  }
  std::size_t lo = top, hi = top;
  while (lo > 0 && above[lo] > 0.5 * above[top]) --lo;
  while (hi + 1 < n && above[hi] > 0.5 * above[top]) ++hi;
  const double step = (x2 - x1) / static_cast<double>(n - 1);
  std::array<double, parameter_count> p{};
  p[two_theta_p] = wx[top];
  p[fwhm_p] = std::clamp(wx[hi] - wx[lo], step, x2 - x1);
  p[eta_p] = 0.5;
  p[area_p] = sum_above * step;
  p[background_p] = left + start_slope * (f.middle - left_x);
  p[slope_p] = start_slope;

  auto residuals = std::make_unique<window_residuals>();
  residuals->x = wx;
  residuals->y = wy;
  for (double v : wy) residuals->weight.push_back(1.0 / std::sqrt(std::max(v, 1.0)));
  residuals->middle = f.middle;
  residuals->source = source;
  window_residuals& weighted = *residuals;
  // Ceres 2.1 takes its functor as a raw pointer and owns it from then on;
  // the problem borrows the cost function, which this scope keeps.
  auto cost = std::make_unique<ceres::AutoDiffCostFunction<window_residuals, ceres::DYNAMIC, parameter_count>>(
      residuals.release(), static_cast<int>(n));
  ceres::Problem::Options problem_options;
  problem_options.cost_function_ownership = ceres::DO_NOT_TAKE_OWNERSHIP;
  ceres::Problem problem(problem_options);
  problem.AddResidualBlock(cost.get(), nullptr, p.data());
  problem.SetParameterLowerBound(p.data(), two_theta_p, x1);
  problem.SetParameterUpperBound(p.data(), two_theta_p, x2);
  const double narrowest = 0.5 * step, widest = x2 - x1;
  problem.SetParameterLowerBound(p.data(), fwhm_p, narrowest);
  problem.SetParameterUpperBound(p.data(), fwhm_p, widest);
  problem.SetParameterLowerBound(p.data(), eta_p, 0.0);
  problem.SetParameterUpperBound(p.data(), eta_p, 1.0);
  problem.SetParameterLowerBound(p.data(), area_p, 0.0);

  ceres::Solver::Options options;
  options.linear_solver_type = ceres::DENSE_QR;
  options.max_num_iterations = 300;
  options.logging_type = ceres::SILENT;
  options.minimizer_progress_to_stdout = false;
  options.num_threads = 1;
  ceres::Solver::Summary summary;
  ceres::Solve(options, &problem, &summary);
  // Weights from the observed counts favour the points that fell low; weighted
  // again by the fitted counts, the fit keeps its noise and loses that pull.
  if (summary.termination_type == ceres::CONVERGENCE) {
    for (std::size_t i = 0; i < n; ++i)
      weighted.weight[i] = 1.0 / std::sqrt(std::max(model(p.data(), wx[i], f.middle, source), 1.0));
    ceres::Solve(options, &problem, &summary);
  }
  if (summary.termination_type != ceres::CONVERGENCE || !finite(p)) {
    f.why = "the fit did not converge (" + summary.message + ")";
    return f;
  }
  f.two_theta = p[two_theta_p];
  f.fwhm = p[fwhm_p];
  f.eta = p[eta_p];
  f.area = p[area_p];
  f.background = p[background_p];
  f.slope = p[slope_p];
  f.reduced_chi_square = 2.0 * summary.final_cost / static_cast<double>(n - parameter_count);
  if (f.fwhm >= 0.999 * widest) {
    f.why = "the fitted line is as wide as the window";
    return f;
  }
  if (f.fwhm <= 1.001 * narrowest) {
    f.why = "the fitted line is narrower than the pattern's step";
    return f;
  }
  const double edge = 0.001 * widest;
  if (f.two_theta <= x1 + edge || f.two_theta >= x2 - edge) {
    f.why = "the fitted line lies at the window's end";
    return f;
  }

  ceres::Covariance::Options covariance_options;
  covariance_options.algorithm_type = ceres::DENSE_SVD;
  covariance_options.num_threads = 1;
  ceres::Covariance covariance(covariance_options);
  const std::vector<std::pair<const double*, const double*>> blocks{{p.data(), p.data()}};
  std::array<double, parameter_count * parameter_count> c{};
  if (!covariance.Compute(blocks, &problem) || !covariance.GetCovarianceBlock(p.data(), p.data(), c.data())) {
    f.why = "the fit's parameters are not determined by the window";
    return f;
  }
  const double scale = f.counts ? 1.0 : std::sqrt(f.reduced_chi_square);
  std::array<double, parameter_count> u{};
  for (int k = 0; k < parameter_count; ++k) u[k] = scale * std::sqrt(std::max(c[k * parameter_count + k], 0.0));
  if (!finite(u)) {
    f.why = "the fit's parameters are not determined by the window";
    return f;
  }
  f.u_two_theta = u[two_theta_p];
  f.u_fwhm = u[fwhm_p];
  f.u_eta = u[eta_p];
  f.u_area = u[area_p];
  f.u_background = u[background_p];
  f.u_slope = u[slope_p];
  if (!(f.area > line_significance * f.u_area)) {
    f.why = "the fitted line does not stand above the noise";
    return f;
  }
  f.converged = true;
  return f;
}
