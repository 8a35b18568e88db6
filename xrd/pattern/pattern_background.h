#pragma once

#include <vector>

// The background under the lines of a whole pattern, by peak clipping: a
// smooth curve that follows the counts between the lines and passes under
// each line, given at every point so that it can be shown and taken off.
struct pattern_background {
  std::vector<double> y;  // the background at each point, in counts
  double window_x = 0.0;  // the clipping window's half-width, in degrees 2θ
};

// The half-width (degrees) that clips the lines of the pattern (x rising on
// an even step, y counts): a few times the FWHM of its tallest line, which
// is among its narrowest, and at least a few steps.
double clipping_window_x(const std::vector<double>& x, const std::vector<double>& y);

// The background of the pattern, clipped with windows growing to
// `window_x` (degrees 2θ each side; 0: clipping_window_x of the pattern).
// A line broader than twice the window is taken partly for background.
pattern_background background_of(const std::vector<double>& x, const std::vector<double>& y, double window_x = 0.0);
