#pragma once

#include <vector>

// The two lines of a K-alpha doublet: where the K-alpha2 line of a
// reflection lies, and the profile with the K-alpha2 lines taken away.

struct ka_doublet {
  double lambda1_A = 1.5406;   // K-alpha1 wavelength (Cu)
  double lambda2_A = 1.54439;  // K-alpha2 wavelength (Cu)
  double ratio = 0.5;          // integrated intensity I(K-alpha2) / I(K-alpha1)
};

// The 2θ (degrees) of the K-alpha2 line of the reflection whose K-alpha1 line
// is at `ka1_deg`; NaN where the K-alpha2 line would lie beyond 180°.
double ka2_position_deg(double ka1_deg, const ka_doublet& doublet);
// The 2θ of the K-alpha1 line whose K-alpha2 line lies at `ka2_deg`.
double ka1_position_deg(double ka2_deg, const ka_doublet& doublet);

// The K-alpha1 profile of the profile y on the rising, evenly stepped angles
// x (degrees 2θ), by Rachinger's method: walking up in angle, each point
// loses `ratio` times the K-alpha1 profile already found where its K-alpha2
// line comes from. Give it the pattern less its background: a background
// left in is taken for lines too, and a flat one comes out 1 / (1 + ratio)
// as high. Points whose K-alpha1 source lies before the first angle are
// kept as they are.
std::vector<double> strip_ka2(const std::vector<double>& x, const std::vector<double>& y, const ka_doublet& doublet);
