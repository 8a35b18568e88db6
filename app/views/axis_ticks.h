#pragma once

#include <string>
#include <vector>

// The tick marks of an axis of an exported figure: a step of 1, 2 or 5
// times a power of ten, the ticks at its multiples inside the axis's range,
// and their labels written as compactly as the step allows ("0.25" needs
// two decimals, "40" none; beyond a million or below a thousandth the
// exponent form: "1.5e6", "2e-5").
struct axis_ticks {
  double step = 0.0;
  std::vector<double> values;  // ascending, all within [lo, hi]
  std::vector<std::string> labels;

  // The finest such step that puts at most `most` ticks (at least 2) in
  // [lo, hi]; none for an empty or non-finite range (or one wider than the largest double).
  static axis_ticks choose(double lo, double hi, int most);
};
