#pragma once

#include <span>
#include <string>

// A pseudo-Voigt on a straight background, fitted to the observed counts of
// a scan to judge what the Fourier chain cannot see in them: how much of the
// line lies beyond the scan's ends and where its background really lies.
//
//   y(x) = area · [η · L(x) + (1 − η) · G(x)] + background + slope · (x − middle)
//
// L and G are a normalised Lorentzian and Gaussian of one full width at half
// maximum, centred on `centre`; `middle` is the middle of the scan. Chosen
// over a Pearson VII because both of its parts have closed tail integrals
// (arctan and erfc), and because the instrument and size parts of a line are
// near Lorentzian and Gaussian themselves.
//
// Every figure is in the scan's own units (degrees 2θ, counts); the u_ fields
// are standard uncertainties from the fit's covariance, scaled by the reduced
// chi-square where the values are not integer counts.
struct profile_fit {
  // The solver converged on a line that stands above its noise, with every
  // parameter and uncertainty finite; nothing below is to be read otherwise.
  bool converged = false;
  std::string why;  // when not converged: why, for a detail line
  bool counts = false;  // every value a whole number ≥ 0: counting noise
  int points = 0;
  double middle = 0.0;
  double centre = 0.0, fwhm = 0.0, eta = 0.0, area = 0.0, background = 0.0, slope = 0.0;
  double u_centre = 0.0, u_fwhm = 0.0, u_eta = 0.0, u_area = 0.0, u_background = 0.0, u_slope = 0.0;
  double reduced_chi_square = 0.0;
  // The scatter of neighbouring weighted residuals, sqrt(Σ(r_i − r_i−1)² / 2(n − 1)):
  // the noise alone, where the reduced chi-square also holds the misfit of a
  // line that is no pseudo-Voigt (a Kα doublet, an asymmetric line). 1 for
  // pure counting noise.
  double residual_scatter = 0.0;

  // The fitted line alone, its background alone, and both.
  double line_at(double x) const;
  double background_at(double x) const;
  double model_at(double x) const { return line_at(x) + background_at(x); }
  // The share of the fitted line's area outside [xl, xr].
  double share_outside(double xl, double xr) const;
  // The window that holds all but `share` of the line and all of [xl, xr]:
  // the scan widened on each side as far as the line needs.
  void window_holding(double share, double xl, double xr, double& from, double& to) const;
};

// Fits the points (x rising, evenly or not) weighted by their counting noise,
// 1 / sqrt(max(y, 1)), then once more by the fitted counts' noise. The starting values are the line's own measures above
// the line through the scan's ends. Not converged, with `why`, when there is
// no line to fit or the solver does not converge; never throws.
profile_fit fit_profile(std::span<const double> x, std::span<const double> y);
