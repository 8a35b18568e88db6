#pragma once

#include <string>
#include <vector>

#include "xrd/pattern/uncertain_value.h"
#include "xrd/pattern/weighted_least_squares.h"

// The Lorentzian and Gaussian integral breadths of a sample's line, in
// reciprocal units (1/Å, β* = β cosθ / λ with β in radians 2θ), read from its
// Fourier coefficients. For a Voigt line A(L) is the product of the
// Lorentzian's exp(−2β_L L) and the Gaussian's exp(−π β_G² L²), so ln A is a
// parabola in L:
//   ln A(L) = c0 + c1 L + c2 L²,  β_L = −c1 / 2,  β_G² = −c2 / π.
// c0 is fitted too: it carries A(L) back to L = 0 past the hook, whose bend
// no window avoids (see area_weighted_length); an undisturbed A(L) gives 0.
// The points fitted run from the first L ≥ L_from on while A stays above
// `resolved_sigmas` · σ_A (beyond that ln A is noise), each weighted by
// the σ of ln A, σ_A / A. Points whose σ_A is 0 (A(0) = 1 by normalisation)
// carry no weight and are left out.
struct voigt_breadths {
  std::string refused;  // why there is no fit; empty when there is
  double L_from_A = 0.0, L_to_A = 0.0;  // the points fitted
  int points = 0;
  weighted_fit fit;  // ln A against 1, L, L²

  // β_L*: a figure when above 0 by more than 2u, else a bound ("<").
  uncertain_value lorentz_per_A;
  // β_G*, from β_G*² the same way (u(β_G) = u(β_G²) / 2β_G); a β_G*² not
  // above 0 by 2u gives the bound √(β_G*² + 2u), not a number.
  uncertain_value gauss_per_A;
  // β_G*² itself with its uncertainty, resolved or not: the Williamson–Hall
  // strain fit takes it as it comes, a size-only line's near-0 included.
  double gauss_squared_per_A2 = 0.0, gauss_squared_u = 0.0;
  // β_L* and its uncertainty the same way, for the size fit.
  double lorentz_value_per_A = 0.0, lorentz_u = 0.0;
  // The Voigt's integral breadth from β_L* and β_G* (each taken as 0 where
  // its best estimate is below), its uncertainty carried from the fit's
  // covariance.
  uncertain_value integral_per_A;
};

voigt_breadths voigt_breadths_from(const std::vector<double>& L_A, const std::vector<double>& A,
                                   const std::vector<double>& sigma_A, double L_from_A,
                                   double resolved_sigmas = 3.0);

// Widens the uncertainties of β_L* and β_G*² by others independent of the
// fit (the instrument function's own, say), in the same units, and judges
// the figures and bounds again from them.
void widen_breadth_uncertainties(voigt_breadths& v, double lorentz_extra_u, double gauss_squared_extra_u);

// The integral breadth of the convolution of a Lorentzian and a Gaussian of
// integral breadths β_L and β_G (any one unit; both 0 or above).
double voigt_integral_breadth(double lorentz, double gauss);
