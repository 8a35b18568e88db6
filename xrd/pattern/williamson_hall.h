#pragma once

#include <array>
#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "xrd/pattern/uncertain_value.h"
#include "xrd/pattern/weighted_least_squares.h"

// Williamson–Hall analyses of the lines of one pattern, in reciprocal units:
// d* = 1/d and a breadth β* = β cosθ / λ, both in 1/Å, β the integral
// breadth in radians 2θ. Each is a weighted straight-line fit, each line
// weighted by its breadth's uncertainty, with its covariance and residuals;
// an intercept or slope not above 0 by twice its uncertainty gives a bound.

// d* = 1/d (Bragg: d* = 2 sinθ / λ).
double reciprocal_spacing_per_A(double d_A);
// β* = β cosθ / λ, β in radians 2θ.
double reciprocal_breadth_per_A(double breadth_rad, double two_theta_deg, double wavelength_A);

// What one line brings; NaN where a breadth is missing (that line then stays
// out of the fits that need it).
struct line_breadths {
  std::array<int, 3> hkl{0, 0, 0};
  double d_A = 0.0;
  double integral_per_A = std::numeric_limits<double>::quiet_NaN(), integral_u = std::numeric_limits<double>::quiet_NaN();
  double lorentz_per_A = std::numeric_limits<double>::quiet_NaN(), lorentz_u = std::numeric_limits<double>::quiet_NaN();
  // β_G*² and its uncertainty as the Voigt fit gives them (near 0, or below,
  // for a line with no Gaussian part): the strain fit needs the squares.
  double gauss_squared_per_A2 = std::numeric_limits<double>::quiet_NaN(),
         gauss_squared_u = std::numeric_limits<double>::quiet_NaN();
};

// One plot's points and its straight line y = intercept + slope · x.
struct williamson_hall_plot {
  std::string refused;              // why there is no fit; empty when there is
  std::vector<std::size_t> lines;   // indices into the lines given, one per point
  std::vector<double> x, y, sigma;  // the points (1/Å or 1/Å², as the plot has them)
  weighted_fit fit;                 // coefficients {intercept, slope}; residuals per point
};

// Classical: β* = 1/⟨L⟩vol + 2e·d*, e the apparent (integral-breadth) strain
// (Stokes & Wilson 1944: strain broadening β = 4e tanθ; size β* = 1/⟨L⟩vol).
// Sizes and strains add as Lorentzians do here; the Voigt separation below
// does not assume it.
struct classical_williamson_hall {
  williamson_hall_plot plot;  // β* against d*
  uncertain_value volume_length_A;
  uncertain_value apparent_strain;
};
classical_williamson_hall classical_williamson_hall_of(const std::vector<line_breadths>& lines);

// The Voigt separation (Langford 1992, de Keijser et al. 1982): the
// Lorentzian breadths carry the size, β_L* = 1/⟨L⟩vol (at d* = 0, plus any
// Lorentzian strain in the slope); the Gaussian ones the strain,
// β_G* = √(2π) ε_rms d* for a Gaussian distribution of strain, so
// β_G*² = β_G,size*² + 2π ε_rms² d*².
struct voigt_williamson_hall {
  williamson_hall_plot size_plot;    // β_L* against d*
  williamson_hall_plot strain_plot;  // β_G*² against d*²
  uncertain_value volume_length_A;
  uncertain_value rms_strain;
};
voigt_williamson_hall voigt_williamson_hall_of(const std::vector<line_breadths>& lines);

// H² = (h²k² + k²l² + l²h²) / (h² + k² + l²)², the cubic orientation factor.
double orientation_factor(const std::array<int, 3>& hkl);
// C / C_h00 = 1 − q H², the average dislocation contrast factor of a cubic
// reflection relative to h00's (Ungár et al. 1999, J. Appl. Cryst. 32, 992).
double relative_contrast(const std::array<int, 3>& hkl, double q);

// Modified Williamson–Hall (Ungár & Borbély 1996), with the contrast factor
// C = C_h00 (1 − q H²) scaling each line's strain broadening. C_h00 itself is
// not separable from the strain, so the strain found is that along h00:
//   linear form:  β* = 1/⟨L⟩vol + 2e_h00 · d*√(1 − qH²)     (apparent strain e_h00)
//   squared form: β_G*² = β_G,size*² + 2π ε_h00² · d*²(1 − qH²)   (rms strain ε_h00)
// q is given, or found where χ² is least on q ∈ [−5, 1/H²max) by a grid
// and a golden-section search; its uncertainty, and its covariance with the
// size and strain, come from the fit's Jacobian in all three at that q.
struct modified_williamson_hall {
  williamson_hall_plot plot;  // x = d*√(C/C_h00) or d*²(C/C_h00) at the q found
  bool q_fitted = false;
  uncertain_value q;  // given: its value with u = 0
  std::vector<std::vector<double>> covariance;  // {intercept, slope, q} (q's row 0 when given)
  uncertain_value volume_length_A;  // linear form only
  uncertain_value strain_h00;       // e_h00 (linear form) or ε_h00 rms (squared form)
};
modified_williamson_hall modified_williamson_hall_of(const std::vector<line_breadths>& lines,
                                                     std::optional<double> given_q = std::nullopt);
modified_williamson_hall modified_gauss_williamson_hall_of(const std::vector<line_breadths>& lines,
                                                           std::optional<double> given_q = std::nullopt);

// The batch tool's summary: "Williamson-Hall volume-weighted size = %.1f ± %.1f A"
// and "Williamson-Hall rms strain = %.2e ± %.1e", each a bound where not
// resolved.
std::string williamson_hall_summary(const uncertain_value& volume_length_A, const uncertain_value& rms_strain);
