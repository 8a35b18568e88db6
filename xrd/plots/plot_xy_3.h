#pragma once

#include <cstdint>
#include <initializer_list>

#include "core/ptr_class.h"
#include "xrd/plots/plot_3.h"

class x1_xd_x2_3;
class xy_data_for_3;

// A plot object that draws one curve of its data file (its class names it,
// for example "xy_re"). The family recomputes the curve, in a view that shows
// it, only when what the curve is made from has changed (the family's source
// stamp moved) or the curve was marked dirty with the text "1".
//
// The mouse manipulation of a curve is plain arithmetic on it, kept here as
// static functions so that the view only converts pixels.
class plot_xy_3 : public plot_3 {
 public:
  virtual const char* xy_name() const = 0;
  xy_data_for_3* curve();
  xy_data_3* measured_curve() override;

  bool update(plot_view& view) override;
  void draw(plot_view& view, plot_surface& surface) override;
  void x_extent(plot_view& view, double& lo, double& hi) override;
  void y_extent(plot_view& view, double xl, double xr, int bits, double& lo, double& hi) override;
  bool press(plot_view& view, button_pressed_3& pressed) override;
  void drag(plot_view& view, const drag_motion& motion) override;

  // A marker (a vertical line at an option's place) spans whatever y range
  // the view has, so it takes no part in scaling the view.
  virtual bool is_marker() const { return false; }
  // Whether the curve takes part in scaling the view now.
  virtual bool counts_in_extent() { return !is_marker(); }
  // Whether the curve is drawn as a line through its points or as points.
  virtual bool draws_lines() const { return true; }

  // Where a dragged marker puts its option, for the data x of the cursor;
  // false for curves that are not markers.
  virtual bool drag_marker_to(double x);

  // Plain drag in x: both ends move by the data distance dx.
  static void drag_x(xy_data_3& xy, double dx);
  // Plain drag in y: dy (the data distance of the pointer's upward move) is
  // added to every ordinate.
  static void drag_y(xy_data_3& xy, double dy);
  // The factor of a y scaling drag: the ratio of the data heights of the
  // pointer's current and previous positions, each kept at a magnitude of at
  // least 1e-4.
  static double scale_ratio(double height_now, double height_before);
  static void scale_y(xy_data_3& xy, double ratio);
  // How far the ends move when a drag of dx pixels stretches the curve about
  // the data x `anchor` where the drag began.
  static void stretch_ends(double x1, double x2, double anchor, double dx_pixels, double& d1, double& d2);
  static void stretch_x(xy_data_3& xy, double anchor, double dx_pixels);

  // Times the curve was recomputed (tests read it to see the family is lazy).
  int recomputations = 0;

 protected:
  // 1, or the file's count time in a counts-per-second view.
  double display_time(const plot_view& view);
  // A number that changes whenever the curve's data would. Families that
  // derive from the chain run its stages here (they are lazy themselves).
  virtual std::uint64_t source_stamp(plot_view& view) = 0;
  // Computes the curve; false when there is nothing to show (the curve is
  // then left as it was).
  virtual bool recompute(plot_view& view, xy_data_for_3& xy) = 0;

  // A stamp made of the bit patterns of some numbers.
  static std::uint64_t stamp_of(std::initializer_list<double> values);
  // Copies n values (times `scale`) onto the axis.
  static void take(xy_data_3& xy, const x1_xd_x2_3& axis, const float* values, int n, double scale);
  // A vertical line of three points at x from bottom to top (step 1e-9).
  static void vertical_line(xy_data_3& xy, double x, double bottom, double top);

 private:
  ptr_class<assoc_class> curve_;
  std::uint64_t stamp_ = 0;
  bool stamped_ = false;
};
