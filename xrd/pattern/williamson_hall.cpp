#include "xrd/pattern/williamson_hall.h"

#include <algorithm>
#include <cmath>
#include <functional>

#include "core/text_helpers.h"

namespace {

constexpr double pi = 3.14159265358979323846;
// Fewer points than this leave a straight line nothing to be judged by.
constexpr std::size_t fewest_lines = 3;
// The lower end of the search for q; the upper end is where 1 − qH² would
// reach 0 for one of the lines.
constexpr double lowest_q = -5.0;

bool usable(double y, double u) { return std::isfinite(y) && std::isfinite(u) && u > 0.0; }

// The points of one plot: x(line) against the value and uncertainty
// `value(line)` gives, for the lines that have both.
williamson_hall_plot points_of(const std::vector<line_breadths>& lines,
                               const std::function<double(const line_breadths&)>& x,
                               const std::function<std::array<double, 2>(const line_breadths&)>& value,
                               const char* what) {
  williamson_hall_plot plot;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto [y, u] = value(lines[i]);
    const double xi = lines[i].d_A > 0.0 ? x(lines[i]) : std::numeric_limits<double>::quiet_NaN();
    if (!usable(y, u) || !std::isfinite(xi)) continue;
    plot.lines.push_back(i);
    plot.x.push_back(xi);
    plot.y.push_back(y);
    plot.sigma.push_back(u);
  }
  if (plot.lines.size() < fewest_lines)
    plot.refused = std::string("fewer than 3 lines with ") + what + " and its uncertainty";
  return plot;
}

void fit_line(williamson_hall_plot& plot) {
  if (!plot.refused.empty()) return;
  plot.fit = weighted_straight_line(plot.x, plot.y, plot.sigma);
  if (!plot.fit.solved) plot.refused = "the lines' d* do not spread enough for a straight line";
}

// ⟨L⟩vol = 1/intercept; an intercept within 2u of 0 says only that the size
// is above 1/(intercept + 2u).
uncertain_value length_from_intercept(double a, double u) {
  if (!std::isfinite(a) || !std::isfinite(u)) return uncertain_value::none("no fit");
  if (a > 2.0 * u) return uncertain_value::figure(1.0 / a, u / (a * a));
  if (a + 2.0 * u > 0.0) return uncertain_value::bounded('>', 1.0 / (a + 2.0 * u));
  return uncertain_value::none("intercept below 0 by more than twice its uncertainty");
}

// A strain from a slope m through `strain(m)`, rising with m; within 2u of
// 0 the strain is below strain(m + 2u).
uncertain_value strain_from_slope(double m, double u, const std::function<double(double)>& strain) {
  if (!std::isfinite(m) || !std::isfinite(u)) return uncertain_value::none("no fit");
  if (m > 2.0 * u) {
    const double h = 1e-6 * m;
    const double derivative = (strain(m + h) - strain(m - h)) / (2.0 * h);
    return uncertain_value::figure(strain(m), derivative * u);
  }
  if (m + 2.0 * u > 0.0) return uncertain_value::bounded('<', strain(m + 2.0 * u));
  return uncertain_value::none("slope below 0 by more than twice its uncertainty");
}

// β* = 2e d* (Stokes & Wilson 1944): e = slope / 2.
double apparent_strain_of(double slope) { return slope / 2.0; }
// β_G*² = 2π ε_rms² d*²: ε_rms = √(slope / 2π).
double rms_strain_of(double slope) { return std::sqrt(slope / (2.0 * pi)); }

std::array<double, 2> integral_of(const line_breadths& l) { return {l.integral_per_A, l.integral_u}; }
std::array<double, 2> lorentz_of(const line_breadths& l) { return {l.lorentz_per_A, l.lorentz_u}; }
std::array<double, 2> gauss_squared_of(const line_breadths& l) { return {l.gauss_squared_per_A2, l.gauss_squared_u}; }
double d_star(const line_breadths& l) { return reciprocal_spacing_per_A(l.d_A); }
double d_star_squared(const line_breadths& l) { return d_star(l) * d_star(l); }

// The modified plot: y = a + m · x · (1 − qH²)^power.
modified_williamson_hall modified_of(const std::vector<line_breadths>& lines, std::optional<double> given_q,
                                     const std::function<double(const line_breadths&)>& x,
                                     const std::function<std::array<double, 2>(const line_breadths&)>& value,
                                     double power, const char* what) {
  modified_williamson_hall r;
  // A line without Miller indices has no contrast factor.
  auto x_with_contrast = [&](const line_breadths& l) {
    return std::isfinite(orientation_factor(l.hkl)) ? x(l) : std::numeric_limits<double>::quiet_NaN();
  };
  const williamson_hall_plot base = points_of(lines, x_with_contrast, value, what);
  std::vector<double> H2;
  for (std::size_t i : base.lines) H2.push_back(orientation_factor(lines[i].hkl));
  auto plot_at = [&](double q) {
    williamson_hall_plot p = base;
    for (std::size_t i = 0; i < p.x.size(); ++i) p.x[i] *= std::pow(1.0 - q * H2[i], power);
    fit_line(p);
    return p;
  };
  auto chi_square_at = [&](double q) {
    const williamson_hall_plot p = plot_at(q);
    return p.refused.empty() ? p.fit.chi_square : std::numeric_limits<double>::infinity();
  };
  if (!base.refused.empty()) {
    r.plot = base;
    return r;
  }

  double q = 0.0;
  if (given_q) {
    q = *given_q;
    for (double h : H2)
      if (!(1.0 - q * h > 0.0)) {
        r.plot = base;
        r.plot.refused = "q = " + format_number("%.3g", q) + " gives a contrast factor of 0 or below";
        return r;
      }
  } else {
    if (base.lines.size() < fewest_lines + 1) {
      r.plot = base;
      r.plot.refused = std::string("fewer than 4 lines with ") + what + " to fit q with the size and strain";
      return r;
    }
    const double highest_H2 = *std::max_element(H2.begin(), H2.end());
    const double highest_q = highest_H2 > 0.0 ? 0.999 / highest_H2 : 3.0;
    // A grid finds the valley (χ² in q need not have one minimum), then a
    // golden-section search narrows it within its neighbouring grid steps.
    constexpr int steps = 400;
    const double step = (highest_q - lowest_q) / steps;
    int best = 0;
    double best_chi = std::numeric_limits<double>::infinity();
    for (int i = 0; i <= steps; ++i) {
      const double c = chi_square_at(lowest_q + i * step);
      if (c < best_chi) best_chi = c, best = i;
    }
    if (!std::isfinite(best_chi)) {
      r.plot = plot_at(0.0);
      if (r.plot.refused.empty()) r.plot.refused = "no q gives a fit";
      return r;
    }
    double lo = lowest_q + std::max(best - 1, 0) * step, hi = lowest_q + std::min(best + 1, steps) * step;
    const double golden = (std::sqrt(5.0) - 1.0) / 2.0;
    double a = hi - golden * (hi - lo), b = lo + golden * (hi - lo);
    double fa = chi_square_at(a), fb = chi_square_at(b);
    for (int i = 0; i < 100 && hi - lo > 1e-12; ++i) {
      if (fa < fb) {
        hi = b, b = a, fb = fa;
        a = hi - golden * (hi - lo), fa = chi_square_at(a);
      } else {
        lo = a, a = b, fa = fb;
        b = lo + golden * (hi - lo), fb = chi_square_at(b);
      }
    }
    q = 0.5 * (lo + hi);
    if (best == 0 || best == steps) {
      r.plot = plot_at(q);
      r.plot.refused = "the fit is best at the end of the search for q (" + format_number("%.3g", q) + "): these lines do not fix it";
      return r;
    }
  }

  r.plot = plot_at(q);
  if (!r.plot.refused.empty()) return r;
  const double a = r.plot.fit.coefficients[0], m = r.plot.fit.coefficients[1];
  if (given_q) {
    r.q = uncertain_value::figure(q, 0.0);
    r.covariance = r.plot.fit.covariance;
    for (auto& row : r.covariance) row.push_back(0.0);
    r.covariance.push_back({0.0, 0.0, 0.0});
  } else {
    r.q_fitted = true;
    // Jacobian of a + m·x·(1 − qH²)^p in (a, m, q); the linearised fit of
    // the residuals on it gives (Jᵀ W J)⁻¹, scaled as every fit here is.
    std::vector<std::vector<double>> J(3, std::vector<double>(base.x.size()));
    for (std::size_t i = 0; i < base.x.size(); ++i) {
      const double c = 1.0 - q * H2[i];
      J[0][i] = 1.0;
      J[1][i] = base.x[i] * std::pow(c, power);
      J[2][i] = -m * base.x[i] * power * H2[i] * std::pow(c, power - 1.0);
    }
    const weighted_fit linearised = weighted_least_squares(J, r.plot.fit.residuals, base.sigma);
    if (!linearised.solved) {
      r.plot.refused = "q cannot be told apart from the strain on these lines (too few orientations, or no strain)";
      return r;
    }
    r.covariance = linearised.covariance;
    r.q = uncertain_value::figure(q, std::sqrt(r.covariance[2][2]));
    r.plot.fit.covariance = {{r.covariance[0][0], r.covariance[0][1]}, {r.covariance[1][0], r.covariance[1][1]}};
  }
  const double a_u = std::sqrt(r.covariance[0][0]), m_u = std::sqrt(r.covariance[1][1]);
  const bool linear_form = power < 1.0;
  if (linear_form) {
    r.volume_length_A = length_from_intercept(a, a_u);
    r.strain_h00 = strain_from_slope(m, m_u, apparent_strain_of);
  } else {
    r.volume_length_A = uncertain_value::none("the squared form gives the strain only");
    r.strain_h00 = strain_from_slope(m, m_u, rms_strain_of);
  }
  return r;
}

}  // namespace

double reciprocal_spacing_per_A(double d_A) { return 1.0 / d_A; }

double reciprocal_breadth_per_A(double breadth_rad, double two_theta_deg, double wavelength_A) {
  return breadth_rad * std::cos(two_theta_deg * pi / 360.0) / wavelength_A;
}

classical_williamson_hall classical_williamson_hall_of(const std::vector<line_breadths>& lines) {
  classical_williamson_hall r;
  r.plot = points_of(lines, d_star, integral_of, "an integral breadth");
  fit_line(r.plot);
  if (!r.plot.refused.empty()) {
    r.volume_length_A = r.apparent_strain = uncertain_value::none(r.plot.refused);
    return r;
  }
  r.volume_length_A = length_from_intercept(r.plot.fit.coefficients[0], r.plot.fit.u(0));
  r.apparent_strain = strain_from_slope(r.plot.fit.coefficients[1], r.plot.fit.u(1), apparent_strain_of);
  return r;
}

voigt_williamson_hall voigt_williamson_hall_of(const std::vector<line_breadths>& lines) {
  voigt_williamson_hall r;
  r.size_plot = points_of(lines, d_star, lorentz_of, "a Lorentzian breadth");
  fit_line(r.size_plot);
  r.volume_length_A = r.size_plot.refused.empty()
                          ? length_from_intercept(r.size_plot.fit.coefficients[0], r.size_plot.fit.u(0))
                          : uncertain_value::none(r.size_plot.refused);
  r.strain_plot = points_of(lines, d_star_squared, gauss_squared_of, "a squared Gaussian breadth");
  fit_line(r.strain_plot);
  r.rms_strain = r.strain_plot.refused.empty()
                     ? strain_from_slope(r.strain_plot.fit.coefficients[1], r.strain_plot.fit.u(1), rms_strain_of)
                     : uncertain_value::none(r.strain_plot.refused);
  return r;
}

double orientation_factor(const std::array<int, 3>& hkl) {
  const double h2 = hkl[0] * hkl[0], k2 = hkl[1] * hkl[1], l2 = hkl[2] * hkl[2];
  const double sum = h2 + k2 + l2;
  return sum > 0.0 ? (h2 * k2 + k2 * l2 + l2 * h2) / (sum * sum) : std::numeric_limits<double>::quiet_NaN();
}

double relative_contrast(const std::array<int, 3>& hkl, double q) { return 1.0 - q * orientation_factor(hkl); }

modified_williamson_hall modified_williamson_hall_of(const std::vector<line_breadths>& lines,
                                                     std::optional<double> given_q) {
  modified_williamson_hall r = modified_of(lines, given_q, d_star, integral_of, 0.5, "an integral breadth");
  if (!r.plot.refused.empty()) r.volume_length_A = r.strain_h00 = uncertain_value::none(r.plot.refused);
  return r;
}

modified_williamson_hall modified_gauss_williamson_hall_of(const std::vector<line_breadths>& lines,
                                                           std::optional<double> given_q) {
  modified_williamson_hall r =
      modified_of(lines, given_q, d_star_squared, gauss_squared_of, 1.0, "a squared Gaussian breadth");
  if (!r.plot.refused.empty()) r.volume_length_A = r.strain_h00 = uncertain_value::none(r.plot.refused);
  return r;
}

std::string williamson_hall_summary(const uncertain_value& volume_length_A, const uncertain_value& rms_strain) {
  return summary_line("Williamson-Hall volume-weighted size", summary_of(volume_length_A, "%.1f", "%.1f"), "A") +
         summary_line("Williamson-Hall rms strain", summary_of(rms_strain, "%.2e", "%.1e"));
}
