#pragma once

class xy_data_3;

// The width, centroid and area of a line profile over the x window [xl, xr]
// of a view. All three measure above the window's lowest ordinate, so that a
// window that takes in more background gives other answers.
class peak_measures {
 public:
  struct result {
    bool ok = false;
    double value = 0.0;
    // The line that shows what was measured (when `has_line`).
    bool has_line = false;
    double x1 = 0.0, y1 = 0.0, x2 = 0.0, y2 = 0.0;
  };

  // Full width at the level half-way between the window's lowest and highest
  // ordinate: the distance between the first two crossings of that level.
  static result fwhm(xy_data_3& curve, double xl, double xr);
  // Centre of mass above the window's minimum; the line is vertical from
  // `bottom` to `top`.
  static result centroid(xy_data_3& curve, double xl, double xr, double bottom, double top);
  // Rectangle sum above the window's minimum, with the step at the window's
  // start.
  static result area(xy_data_3& curve, double xl, double xr);
  // The area above the window's minimum over the line's height above it.
  static result integral_breadth(xy_data_3& curve, double xl, double xr);

 private:
  // The window's index range and lowest and highest ordinates; false when
  // the window holds no point.
  static bool window(xy_data_3& curve, double xl, double xr, int& i1, int& i2, double& lo, double& hi);
};
