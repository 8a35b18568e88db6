#pragma once

#include <array>
#include <span>
#include <string>
#include <vector>

#include "xrd/pattern/kalpha_doublet.h"

struct doublet_fit;

// One line of the standard as the instrument function sees it: its fitted
// width and shape, and how far the fitted curves pass from them.
struct instrument_line {
  std::string label;
  double two_theta = 0.0;  // K-alpha1, degrees
  double fwhm = 0.0, u_fwhm = 0.0;  // degrees 2θ
  double eta = 0.0, u_eta = 0.0;
  double fwhm_residual = 0.0;  // measured − fitted FWHM, degrees 2θ
  double eta_residual = 0.0;   // measured − fitted η
};

// The instrument's line at any angle, from the doublet fits of a standard's
// lines: the width by Caglioti's law and the pseudo-Voigt mixing as a
// straight line in 2θ, each fitted by weighted linear least squares with the
// fits' uncertainties. The covariances are scaled by the reduced chi-square
// where it exceeds 1: lines that scatter more than their uncertainties say
// widen the result's.
struct instrument_function {
  bool fitted = false;
  std::string why;  // when not fitted
  std::string standard;
  kalpha_lines source;
  double U = 0.0, V = 0.0, W = 0.0;  // deg²
  double u_U = 0.0, u_V = 0.0, u_W = 0.0;
  std::array<double, 9> uvw_covariance{};  // U, V, W row by row, deg⁴
  double eta0 = 0.0, eta1 = 0.0;  // η0, and η1 per degree 2θ
  double u_eta0 = 0.0, u_eta1 = 0.0;
  double eta_covariance = 0.0;  // cov(η0, η1)
  double fwhm_chi_square = 0.0, eta_chi_square = 0.0;  // reduced
  std::vector<instrument_line> lines;

  // The instrument's FWHM (degrees 2θ) and its standard uncertainty at 2θ;
  // NaN where the fitted FWHM² is not above 0.
  double fwhm_at(double two_theta_deg) const;
  double u_fwhm_at(double two_theta_deg) const;
  // η at 2θ, held within [0, 1], and its standard uncertainty.
  double eta_at(double two_theta_deg) const;
  double u_eta_at(double two_theta_deg) const;
};

// The instrument function from the fits of several lines of one source.
// Refused, with `why`, with fewer than three converged lines, lines of
// different sources, or lines that do not determine the fit.
instrument_function fit_instrument(std::span<const doublet_fit> fits, const std::string& standard);
