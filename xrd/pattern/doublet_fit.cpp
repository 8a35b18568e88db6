#include "xrd/pattern/doublet_fit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

#include "xrd/sizes/line_solver.h"

namespace {

// Fewer points than this leave the six parameters no noise to be judged by.
constexpr std::size_t fewest_points = 12;
// Points averaged at each end of the window for the starting background.
constexpr std::size_t end_points = 4;
// A line whose fitted area is within this many standard uncertainties of 0
// is noise, not a line.
constexpr double line_significance = 3.0;

enum parameter {
  two_theta_p = line_position,
  fwhm_p = line_fwhm,
  eta_p = line_eta,
  area_p = line_area,
  background_p = line_background,
  slope_p = line_slope,
  parameter_count = line_parameter_count
};

template <class T>
T model(const T* p, double x, double middle, const kalpha_lines& k) {
  return kalpha::doublet(x, p[two_theta_p], p[fwhm_p], p[eta_p], p[area_p], k) + p[background_p] +
         p[slope_p] * (x - middle);
}

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
  line_parameters p{};
  p[two_theta_p] = wx[top];
  p[fwhm_p] = std::clamp(wx[hi] - wx[lo], step, x2 - x1);
  p[eta_p] = 0.5;
  p[area_p] = sum_above * step;
  p[background_p] = left + start_slope * (f.middle - left_x);
  p[slope_p] = start_slope;

  const double narrowest = 0.5 * step, widest = x2 - x1;
  auto fitted = [middle = f.middle, source](const auto* q, double at) { return model(q, at, middle, source); };
  const line_solution solved = solve_line(wx, wy, p, narrowest, widest, 300, fitted);
  if (!solved.converged) {
    f.why = "the fit did not converge (" + solved.message + ")";
    return f;
  }
  f.two_theta = p[two_theta_p];
  f.fwhm = p[fwhm_p];
  f.eta = p[eta_p];
  f.area = p[area_p];
  f.background = p[background_p];
  f.slope = p[slope_p];
  f.reduced_chi_square = 2.0 * solved.final_cost / static_cast<double>(n - parameter_count);
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

  if (!solved.covariance_found) {
    f.why = "the fit's parameters are not determined by the window";
    return f;
  }
  const auto& c = solved.covariance;
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
