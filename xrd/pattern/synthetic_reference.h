#pragma once

#include <string>
#include <vector>

struct instrument_function;

// The grid of a sample's window: x1 + i · step for i < count, degrees 2θ.
struct scan_grid {
  double x1 = 0.0;
  double step = 0.0;
  int count = 0;
};

// The line a standard would have given at `two_theta_deg`, from the
// instrument function: the K-alpha1/K-alpha2 pseudo-Voigt doublet with the
// FWHM and η there, of unit area (in degrees 2θ) on a zero background, on
// the sample's grid. It takes the place of a measured reference in the
// Stokes quotient. False with `why` where the instrument function gives no
// line (its FWHM² not above 0 there, or no K-alpha2 reflection) or the grid
// is empty.
bool synthesise_reference(const instrument_function& f, double two_theta_deg, const scan_grid& grid,
                          std::vector<double>& counts, std::string& why);
