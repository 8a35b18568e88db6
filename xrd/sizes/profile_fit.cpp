#include "xrd/sizes/profile_fit.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <vector>

#include "xrd/measures/line_widths.h"
#include "xrd/sizes/line_solver.h"

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double ln2 = 0.69314718055994530942;
// Points averaged at each end of the scan for the starting background, as
// the chain's automatic background does.
constexpr std::size_t end_points = 8;
// Fewer points than this leave the six parameters no noise to be judged by.
constexpr std::size_t fewest_points = 12;
// A line whose fitted area is within this many standard uncertainties of 0
// is noise, not a line.
constexpr double line_significance = 3.0;
// The shape factor (FWHM over integral breadth) of a Lorentzian and of a
// Gaussian, for the starting share of each.
const double lorentz_shape = 2.0 / pi;
const double gauss_shape = 2.0 * std::sqrt(ln2 / pi);

enum parameter {
  centre_p = line_position,
  fwhm_p = line_fwhm,
  eta_p = line_eta,
  area_p = line_area,
  background_p = line_background,
  slope_p = line_slope,
  parameter_count = line_parameter_count
};

// area · [η L(u) + (1 − η) G(u)] + background + slope (x − middle), with L
// and G normalised and of one FWHM.
template <class T>
T pseudo_voigt(const T* p, double x, double middle) {
  using std::exp;
  const T u = x - p[centre_p];
  const T half = 0.5 * p[fwhm_p];
  const T lorentz = half / (pi * (u * u + half * half));
  const T gauss = std::sqrt(4.0 * ln2 / pi) / p[fwhm_p] * exp(-4.0 * ln2 * u * u / (p[fwhm_p] * p[fwhm_p]));
  return p[area_p] * (p[eta_p] * lorentz + (1.0 - p[eta_p]) * gauss) + p[background_p] +
         p[slope_p] * (x - middle);
}

bool whole_counts(std::span<const double> y) {
  return std::all_of(y.begin(), y.end(), [](double v) { return v >= 0.0 && v == std::floor(v) && v < 1e15; });
}

}  // namespace

double profile_fit::line_at(double x) const {
  const std::array<double, parameter_count> p{centre, fwhm, eta, area, 0.0, 0.0};
  return pseudo_voigt(p.data(), x, middle);
}

double profile_fit::background_at(double x) const { return background + slope * (x - middle); }

double profile_fit::share_outside(double xl, double xr) const {
  const double half = 0.5 * fwhm;
  const double lorentz_inside = (std::atan((xr - centre) / half) - std::atan((xl - centre) / half)) / pi;
  const double s = fwhm / (2.0 * std::sqrt(2.0 * ln2)) * std::sqrt(2.0);
  const double gauss_inside = 0.5 * (std::erf((xr - centre) / s) - std::erf((xl - centre) / s));
  return std::clamp(1.0 - (eta * lorentz_inside + (1.0 - eta) * gauss_inside), 0.0, 1.0);
}

void profile_fit::window_holding(double share, double xl, double xr, double& from, double& to) const {
  from = xl;
  to = xr;
  if (!(fwhm > 0.0) || share_outside(xl, xr) <= share) return;
  auto outside_at = [&](double h) { return share_outside(std::min(xl, centre - h), std::max(xr, centre + h)); };
  // Widen until the line fits, then halve the gap: the share falls steadily
  // with the half width.
  double low = 0.0, high = fwhm;
  for (int k = 0; k < 80 && outside_at(high) > share; ++k) {
    low = high;
    high *= 2.0;
  }
  for (int k = 0; k < 60; ++k) {
    const double mid = 0.5 * (low + high);
    (outside_at(mid) > share ? low : high) = mid;
  }
  from = std::min(xl, centre - high);
  to = std::max(xr, centre + high);
}

profile_fit fit_profile(std::span<const double> x, std::span<const double> y) {
  profile_fit f;
  const std::size_t n = std::min(x.size(), y.size());
  f.points = static_cast<int>(n);
  if (n < fewest_points) {
    f.why = "the scan has too few points";
    return f;
  }
  x = x.first(n);
  y = y.first(n);
  if (!std::all_of(x.begin(), x.end(), [](double v) { return std::isfinite(v); }) ||
      !std::all_of(y.begin(), y.end(), [](double v) { return std::isfinite(v); })) {
    f.why = "the scan holds values that are not numbers";
    return f;
  }
  const double x1 = x.front(), x2 = x.back();
  if (!(x2 > x1)) {
    f.why = "the scan's 2theta does not rise";
    return f;
  }
  f.counts = whole_counts(y);
  f.middle = 0.5 * (x1 + x2);

  // Start from the line's own measures above the line through the ends.
  const std::size_t w = std::min(end_points, n / 2);
  double left = 0.0, right = 0.0, left_x = 0.0, right_x = 0.0;
  for (std::size_t i = 0; i < w; ++i) {
    left += y[i] / w;
    left_x += x[i] / w;
    right += y[n - w + i] / w;
    right_x += x[n - w + i] / w;
  }
  const double start_slope = (right - left) / (right_x - left_x);
  std::vector<double> above(n);
  for (std::size_t i = 0; i < n; ++i) above[i] = y[i] - (left + start_slope * (x[i] - left_x));
  const line_widths m = measure_line(x, above);
  if (!m.ok() || !(m.fwhm_x > 0.0) || !(m.area_xy > 0.0)) {
    f.why = "no line stands above the scan's ends" + (m.why.empty() ? std::string() : " (" + m.why + ")");
    return f;
  }
  const double step = (x2 - x1) / static_cast<double>(n - 1);
  line_parameters p{};
  p[centre_p] = m.peak_x;
  p[fwhm_p] = std::clamp(m.fwhm_x, step, x2 - x1);
  p[eta_p] = std::clamp((gauss_shape - m.shape_factor) / (gauss_shape - lorentz_shape), 0.1, 0.9);
  p[area_p] = m.area_xy;
  p[background_p] = left + start_slope * (f.middle - left_x);
  p[slope_p] = start_slope;

  // A line narrower than half a step or wider than the scan is not one the
  // scan can show.
  const double narrowest = 0.5 * step, widest = x2 - x1;
  const std::vector<double> xs(x.begin(), x.end()), ys(y.begin(), y.end());
  auto fitted = [middle = f.middle](const auto* q, double at) { return pseudo_voigt(q, at, middle); };
  const line_solution solved = solve_line(xs, ys, p, narrowest, widest, 200, fitted);
  if (!solved.converged) {
    f.why = "the fit did not converge";
    return f;
  }
  f.centre = p[centre_p];
  f.fwhm = p[fwhm_p];
  f.eta = p[eta_p];
  f.area = p[area_p];
  f.background = p[background_p];
  f.slope = p[slope_p];
  f.reduced_chi_square = 2.0 * solved.final_cost / static_cast<double>(n - parameter_count);
  double scatter = 0.0, last = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    const double r = solved.weight[i] * (y[i] - pseudo_voigt(p.data(), x[i], f.middle));
    if (i > 0) scatter += (r - last) * (r - last);
    last = r;
  }
  f.residual_scatter = std::sqrt(scatter / (2.0 * static_cast<double>(n - 1)));
  if (f.fwhm >= 0.999 * widest) {
    f.why = "the fitted line is as wide as the scan";
    return f;
  }
  if (f.fwhm <= 1.001 * narrowest) {
    f.why = "the fitted line is narrower than the scan's step";
    return f;
  }

  if (!solved.covariance_found) {
    f.why = "the fit's parameters are not determined by the scan";
    return f;
  }
  const auto& c = solved.covariance;
  // Counts carry their own noise; other values (scaled or averaged exports)
  // only the scatter the fit leaves.
  const double scale = f.counts ? 1.0 : std::sqrt(f.reduced_chi_square);
  std::array<double, parameter_count> u{};
  for (int k = 0; k < parameter_count; ++k) u[k] = scale * std::sqrt(std::max(c[k * parameter_count + k], 0.0));
  if (!std::all_of(u.begin(), u.end(), [](double v) { return std::isfinite(v); })) {
    f.why = "the fit's parameters are not determined by the scan";
    return f;
  }
  f.u_centre = u[centre_p];
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
