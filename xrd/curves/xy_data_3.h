#pragma once

#include <cstdint>
#include <memory>

#include "core/assoc_class.h"
#include "core/cached_ref.h"
#include "core/my_flag.h"
#include "numerics/fft_3.h"
#include "numerics/x1_xd_x2_3.h"

// A curve: a stepped abscissa with one float ordinate per point, or an
// explicit abscissa taken from the node "xPobs". All indices are vector
// indices, the base included.
class xy_data_3 : public x1_xd_x2_3, public assoc_class {
 public:
  static constexpr std::uint32_t explicit_x = 0x1;  // option bit
  static constexpr double no_value = 3.37e38;

  xy_data_3();
  const char* class_name() const override;
  std::unique_ptr<assoc_class> clone_empty() const override;
  void copy_from(assoc_class& source) override;
  // "free" releases the ordinates; other texts do nothing here.
  assoc_class* set_text(const char* text) override;
  // The number of points, as tables of files show it.
  my_string& format_value(my_string& text) override;

  bool has_explicit_x() const { return options.test(explicit_x) != 0; }
  // The explicit abscissa, or null.
  float_vec* explicit_abscissa();

  double x_of(int i);
  // The nearest point to x, clamped to the vector.
  int index_of(double x);
  // Points of [a, b] within the curve; count 0 when they do not overlap.
  int index_range(double a, double b, int& i1, int& i2);
  int index_range_widened(double a, double b, int& i1, int& i2);
  // Refreshes the cached extents; every change of the data ends with it.
  void profile_changed();
  // Keeps only [i1, i2]; refused (false) unless more than `min_points` stay.
  bool crop(int i1, int i2, int min_points);
  bool crop_x(double a, double b, int min_points);
  // Adds zero margins; past 10000 points it throws numeric_abort.
  void extend(int left, int right);
  void set_ends(double first, double last);
  void shift_ends(double d1, double d2);
  // Widens [lo, hi] by the ordinates over [xl, xr]: bit 0x1 the lower bound,
  // 0x2 the upper.
  void y_range(double xl, double xr, int bits, double& lo, double& hi);
  void x_range(int bits, double& lo, double& hi) const;
  // Trapezoid rule over the whole curve.
  double area() const;
  // Whether the point (px, py) lies within the tolerances of the curve.
  bool hit(double px, double py, double tx, double ty);

  float_vec y;
  my_flag options;
  // How the curve is drawn: pen width in pixels, pen style (0 solid, 1
  // dashed, 2 dotted) and the half size of the boxes around its points
  // (1: none).
  int line_width = 1;
  int line_style = 0;
  int box_size = 1;
  double left_x = 0.0;
  double right_x = 0.0;
  double min_y = 0.0;
  double max_y = 0.0;

 protected:
  // Axis, ordinates, options and extents of another curve.
  void copy_data_from(const xy_data_3& other);
  // The explicit abscissa when it is in use and matches the ordinates point
  // for point, else null.
  float_vec* usable_explicit_abscissa();

  cached_ref xobs_{"xPobs"};
};

// The xy object of a data file: the observed profile and every display
// curve. The text "1" marks it dirty, which its plot object sees and redoes.
class xy_data_for_3 : public xy_data_3 {
 public:
  assoc_class* set_text(const char* text) override;
  std::unique_ptr<assoc_class> clone_empty() const override;
  bool dirty = false;
};

// The explicit abscissa of a curve: one x per point, ascending.
class xobs_3 : public assoc_class {
 public:
  const char* class_name() const override { return "xPobs"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return std::make_unique<xobs_3>(); }
  void copy_from(assoc_class& source) override;
  float_vec x;
};
