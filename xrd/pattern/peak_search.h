#pragma once

#include <limits>
#include <string>
#include <vector>

#include "xrd/pattern/ka2_strip.h"
#include "xrd/pattern/kalpha_doublet.h"

// The lines of a whole pattern, found above its background by how far they
// stand out of the counting noise.

struct found_line {
  // The K-alpha1 line's top (degrees 2θ): the vertex of a parabola fitted
  // by least squares, weighted by the counting noise, to the points above
  // half the line's height (at least the top three).
  double position_x = 0.0, position_u = 0.0;
  // Its height above the background, counts: the vertex of the parabola
  // through the points above 3/4 of it (under 1% low for a pseudo-Voigt).
  double height = 0.0, height_u = 0.0;
  // The full width at half height, its crossings read linearly between
  // points; a side that meets a neighbour before half height is taken as
  // wide as the other. NaN when neither side reaches half height.
  double fwhm_x = 0.0, fwhm_u = 0.0;
  double half_left_x = 0.0, half_right_x = 0.0;  // NaN where not reached
  double sigmas = 0.0;       // the height in standard deviations of the counts at the top
  bool overlapping = false;  // half-height ranges meet, or closer than the sum of the FWHMs
  // The K-alpha2 top taken as this line's own (not a line): NaN when none
  // stood out of the noise.
  double ka2_x = std::numeric_limits<double>::quiet_NaN();
};

struct peak_search_options {
  double least_sigmas = 5.0;      // a line's top, and its rise from the lower side, in σ of the counts there
  double least_fwhm_steps = 2.0;  // narrower is a spike, not a line
  ka_doublet doublet;             // ratio 0: the radiation is taken as one wavelength
  // Positions, heights and widths read on the K-alpha1 profile (Rachinger);
  // kept, they are those of the doublet.
  bool strip_ka2 = true;
};

struct peak_search {
  std::vector<found_line> lines;  // by rising angle
  std::string why;                // empty when the pattern could be searched
  bool ok() const { return why.empty(); }
};

// The lines of the pattern y (counts) on the rising, evenly stepped angles x
// (degrees 2θ), above `background` (one value per point, e.g. from
// background_of). Each point's σ is that of its counts (noise_of).
peak_search find_lines(const std::vector<double>& x, const std::vector<double>& y,
                       const std::vector<double>& background, const peak_search_options& options = {});

// The highest angle a line's doublet reaches (degrees 2θ): its K-alpha2 top
// when the search found one, else where Bragg's law puts it for `source`.
double doublet_end_deg(const found_line& line, const kalpha_lines& source);
