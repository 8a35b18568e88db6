#pragma once

#include <string>

#include "xrd/measures/line_widths.h"

class xy_data_3;

// The width, centroid, area and integral breadth of a curve over the x
// window [xl, xr] of a view, all by one rule (measure_line) above one
// baseline. For an observed profile that is the background line the Fourier
// chain subtracts when the window holds the whole scan (automatic or set by
// aBo_bkg and aB1_bkg), and otherwise the line the chain would place for a
// scan of just the window: through the means of its first and last eight
// points. Any other curve (a deconvoluted profile, a transform) has none
// left to subtract: its baseline is 0.
class peak_measures {
 public:
  struct result {
    bool ok = false;
    double value = 0.0;
    std::string why;  // when not ok: what was missing, for a message
    // The line that shows what was measured (when `has_line`).
    bool has_line = false;
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
  };

  // A straight baseline, level + slope (x − x0).
  struct baseline {
    double x0 = 0.0, level = 0.0, slope = 0.0;
    double at(double x) const { return level + slope * (x - x0); }
  };

  // Everything measured over the window, and the baseline it stood on;
  // `why` names the window and the curve's own range when the window holds
  // none of its points.
  static line_widths measure(xy_data_3& curve, double xl, double xr, baseline* used = nullptr);

  // One of the measured values as a result: not ok, with `w`'s reason, when
  // it is not a finite number.
  static result value_of(const line_widths& w, double value);
  // Full width at half the line's height above the baseline; the line is
  // drawn at that height between the two crossings.
  static result fwhm(xy_data_3& curve, double xl, double xr);
  // Centre of mass above the baseline; the line is vertical from `bottom`
  // to `top`.
  static result centroid(xy_data_3& curve, double xl, double xr, double bottom, double top);
  // Area above the baseline (trapezoids).
  static result area(xy_data_3& curve, double xl, double xr);
  // The area over the line's height above the baseline.
  static result integral_breadth(xy_data_3& curve, double xl, double xr);

 private:
  // The baseline under the points i1 .. i2 of the curve.
  static baseline baseline_of(xy_data_3& curve, int i1, int i2);
};
