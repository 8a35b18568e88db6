#pragma once

#include <span>
#include <string>

#include "xrd/pattern/kalpha_doublet.h"

// One line of a standard's pattern as its K-alpha doublet: a pseudo-Voigt
// K-alpha1 line and its K-alpha2 companion (kalpha_doublet.h) on a straight
// background, fitted to the counts in a window of the pattern.
//
//   y(x) = doublet(x; two_theta, fwhm, eta, area) + background + slope · (x − middle)
//
// `area` is both lines' together, in counts · degrees; `middle` is the
// window's middle. The u_ fields are standard uncertainties from the fit's
// covariance, scaled by the reduced chi-square where the values are not
// whole counts (a resampled export carries no counting noise of its own).
struct doublet_fit {
  // The solver converged on a line above its noise, every figure finite;
  // nothing below is to be read otherwise.
  bool converged = false;
  std::string why;  // when not converged: why, for a message
  std::string label;  // the caller's name for the line (its hkl)
  kalpha_lines source;
  bool counts = false;  // every value a whole number ≥ 0: counting noise
  int points = 0;
  double from = 0.0, to = 0.0, middle = 0.0;  // the window, degrees 2θ
  double two_theta = 0.0, fwhm = 0.0, eta = 0.0, area = 0.0, background = 0.0, slope = 0.0;
  double u_two_theta = 0.0, u_fwhm = 0.0, u_eta = 0.0, u_area = 0.0, u_background = 0.0, u_slope = 0.0;
  double reduced_chi_square = 0.0;

  double line_at(double x) const;
  double model_at(double x) const;
};

// Where to look for one line: about where it is, and the window to fit.
struct line_window {
  std::string label;
  double two_theta = 0.0;
  double from = 0.0, to = 0.0;
};

// Fits the points of the pattern (x rising) inside the window, weighted by
// their counting noise 1 / sqrt(max(y, 1)), then once more by the fitted
// counts' noise. Not converged, with `why`, when the window holds no line,
// too few points, or the solver does not converge; never throws.
doublet_fit fit_doublet(std::span<const double> x, std::span<const double> y, const line_window& where,
                        const kalpha_lines& source);
