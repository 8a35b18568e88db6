#pragma once

#include <limits>
#include <string>
#include <vector>

// The sample's Fourier coefficients of one line on the axis of column
// lengths: the quotient of the observed transform by the reference's, its
// real part A(L) normalised to 1 at L = 0 and its imaginary part B(L) beside
// it (small when the origin sits on the line's centre).
struct fourier_coefficients {
  std::vector<double> L;  // column lengths, in the unit of the wavelength (Å)
  std::vector<double> A;
  std::vector<double> B;
  double wavelength = 0.0;  // Å
  double two_theta = 0.0;   // the origin, degrees 2θ
  // The column length of one frequency step of the transformed window before
  // any doubling: how far from L = 0 the window's edges bend A(L).
  double hook_L = 0.0;

  // λ / (2 sin θ), 0 without a wavelength.
  double d_spacing() const;
};

// The area-weighted mean column length from the initial slope of A(L).
// Near L = 0 A(L) carries a "hook" from the line's tails beyond the window
// and from a background taken inside it, which moves with the transform
// length; so the fit starts 1.5 window steps (hook_L) out and is carried
// back to L = 0. ln A(L), weighted by A², is fitted by a second-order
// polynomial while A stays above 0.1 (a straight line on fewer than four
// points): a Lorentzian size gives a straight ln A, a Gaussian strain its
// square term. The fit's value at L = 0, `intercept`, renormalises A(L), and
// ⟨L⟩area = −A(0) / A'(0) of the renormalised curve, −1 / slope of ln A.
struct area_length {
  bool found = false;  // false when A(L) does not fall (no size broadening)
  double length = 0.0;
  double intercept = 1.0;  // the fitted A(L) carried back to L = 0
  double L_from = 0.0, L_to = 0.0;  // the points fitted
  int points = 0;
  // The fit's initial slope of ln A (per Å): −1 / length when found, and
  // kept when it does not fall, to tell how far from falling it is. NaN
  // without a fit.
  double slope = std::numeric_limits<double>::quiet_NaN();
};
area_length area_weighted_length(const std::vector<double>& L, const std::vector<double>& A, double hook_L = 0.0);

// 2 ∫ A(L) dL from 0 up to the first zero of A (the last piece up to the
// zero linearly interpolated); `reached_zero` false when A never falls to 0
// on the axis, so that the integral is cut short.
double volume_weighted_length(const std::vector<double>& L, const std::vector<double>& A, bool& reached_zero);

// The Warren–Averbach separation of two orders of one reflection. With
// s = 1/d of each order, ln A_n(L) = ln A^S(L) − 2π² L² ⟨ε²(L)⟩ s_n², so
//   ln A^S = (s2² ln A1 − s1² ln A2) / (s2² − s1²),
//   ⟨ε²⟩  = (ln A1 − ln A2) / (2π² L² (s2² − s1²)).
// Each order's A(L) is divided by its own fit's intercept first (see
// area_weighted_length). Both A(L) are taken on the coarser of the two axes (the finer one read by
// a spline); the table stops before the first L where either is 0 or less.
// A mean squared strain of 0 or below gives no rms strain: eps_rms is NaN
// there (and at L = 0), never 0, and ⟨ε²⟩ itself is kept to say why.
struct warren_averbach_row {
  double L, A1, A2, AS, eps_rms;
  double mean_square_strain;  // ⟨ε²(L)⟩, NaN at L = 0
};
struct warren_averbach_result {
  std::string refused;  // why the pair cannot be analysed; empty when it can
  std::vector<warren_averbach_row> rows;
  area_length size;       // from A^S(L)
  double intercept1 = 1.0, intercept2 = 1.0;  // each order's A(L) was divided by these
  double half_L = 0.0;    // ⟨L⟩area / 2
  double strain_at_half = 0.0;  // ε_rms there (NaN when outside the table)
  double strain_at_50 = 0.0;    // ε_rms at L = 50 Å (NaN when outside)
  // The first L where A^S(L) rises above 1, which no size broadening gives
  // (see size_coefficient_above_one); NaN when it never does.
  double AS_above_one_at = 0.0;
};
warren_averbach_result warren_averbach(const fourier_coefficients& first, const fourier_coefficients& second);

// How far A^S(L) may lie above 1 before it counts as above: the rounding of
// the quotients and a little noise, not yet an uncertainty of A^S itself.
constexpr double size_coefficient_tolerance = 1e-3;
bool size_coefficient_above_one(double AS);
// The first L > 0 of the table at which A^S(L) lies above 1; NaN when none.
double size_coefficients_above_one_from(const std::vector<warren_averbach_row>& rows);

// ε_rms at L, interpolated linearly in the table; NaN outside it and next to
// a row without an rms strain (⟨ε²⟩ of 0 or below).
double strain_at(const std::vector<warren_averbach_row>& rows, double L);

// Σ|obs − reconv| / Σ|obs| over the points both cover: how far the
// deconvoluted profile convolved back with the reference is from what was
// measured (both above their backgrounds).
double reconvolution_r(const std::vector<double>& observed, const std::vector<double>& reconvolved);
