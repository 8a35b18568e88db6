#pragma once

#include <span>
#include <string>

// The widths of one line profile, measured above its baseline: the single
// rule behind the workbench's keys, `measure` and `size-strain`.
//
// x is the curve's abscissa (degrees 2θ for a profile), rising; y is the
// ordinate less the baseline at that x, so that the line stands on 0. A
// value that could not be found is a NaN, and `why` says what was missing
// (the first thing, when several were).
struct line_widths {
  std::string why;               // empty when every value below was found
  double height = 0.0;           // the largest y, in the curve's unit
  double peak_x = 0.0;           // where it lies
  double half_left_x = 0.0;      // where y crosses height / 2 on each side
  double half_right_x = 0.0;     // of the peak, read linearly between points
  double fwhm_x = 0.0;           // half_right_x - half_left_x
  double area_xy = 0.0;          // ∫ y dx over the points (trapezoids)
  double integral_breadth_x = 0.0;  // area_xy / height
  double shape_factor = 0.0;     // fwhm_x / integral_breadth_x
  double centroid_x = 0.0;       // ∫ x y dx / ∫ y dx
  bool ok() const { return why.empty(); }
};

line_widths measure_line(std::span<const double> x, std::span<const double> y);
