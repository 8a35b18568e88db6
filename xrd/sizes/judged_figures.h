#pragma once

#include <string>
#include <vector>

#include "xrd/sizes/coefficient_spread.h"
#include "xrd/sizes/size_strain.h"
#include "xrd/sizes/summary_line.h"

// How the sizes and strains of a Fourier analysis are given to a reader:
// each a figure with its standard uncertainty, a bound where the data do not
// resolve it, or not determined with the reason. The size-strain summary and
// the whole-pattern analysis judge alike through these.

// The two mean column lengths. The area-weighted one is not resolved when
// its initial slope lies within two standard uncertainties of 0, or when the
// fit ends far short of the length it gives (`slope_u` NaN: only then); the
// bound is the largest length the data could resolve. A volume-weighted
// length cut at the limit is a lower bound. Neither is given when the
// area-weighted one exceeds the volume-weighted one: no distribution of
// column lengths gives that, and the reader cannot tell which is wrong.
struct column_lengths {
  summary_value area, volume;
};
column_lengths judged_lengths(const area_length& size, double slope_u, double area_u, const char* no_size,
                              double volume, double volume_u, bool volume_reached_zero);

// The lengths of two orders' A^S(L): as judged_lengths, and neither where
// A^S(L) rises above 1 beyond its noise (or, without a spread, beyond the
// rounding's tolerance) while the size is resolved.
column_lengths judged_pair_lengths(const warren_averbach_result& pair, const pair_spread* spread);
// Whether A^S(L) of the pair reaches 0 in its table: its volume-weighted
// length is cut short where it does not.
bool pair_volume_reached(const warren_averbach_result& pair);

// An rms strain with its uncertainty; not resolved where ⟨ε²⟩ lies within
// two standard uncertainties of 0, the bound then the largest rms strain
// within them.
summary_value judged_strain(double eps_rms, const strain_spread* s, const std::string& why_not);
// Why there is no rms strain at L in the pair's table.
std::string no_strain_at(const std::vector<warren_averbach_row>& rows, double L);

// The rms strain at half the area-weighted length, with its label:
// "RMS strain at L = 100 A", or, where that length is not a figure,
// "RMS strain at half the area-weighted length" and why not.
struct pair_strain {
  std::string label;
  double L = 0.0;  // where it is read; NaN when it is not
  summary_value value;
};
pair_strain judged_strain_at_half(const warren_averbach_result& pair, const pair_spread* spread,
                                  const summary_value& area_length);
