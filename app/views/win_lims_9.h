#pragma once

// The mapping of a graph view between world units (the data's x and y) and
// the pixels of its plot: x1 maps to the plot's left edge, x2 to its right
// one, y1 to its bottom and y2 to its top. Without axes the plot is the
// whole client area; with them it is the area inside their margins.
class win_lims_9 {
 public:
  // Below this a range is widened, so that the scales never divide by 0.
  static constexpr double smallest_range = 0.0001;

  win_lims_9() { recompute_scale(); }

  // The plot is the whole client area of width x height pixels: left = top
  // = 0, right = width - 1, bottom = height - 1.
  void set_pixels(int width, int height);
  // The plot is the pixels [left, right] x [top, bottom] of the client area
  // (at least one pixel each way).
  void set_plot_area(int left, int top, int right, int bottom);
  // Widens a degenerate range (x2 := x1 + 0.0001, likewise y), then derives
  // the ranges, their tenths and the scales from the limits.
  void recompute_scale();

  // World to pixel, rounded half away from zero. Inline: a dense curve maps
  // millions of points per paint.
  int x_pixel(double x) const { return left + rounded_pixel((x - x1) * x_scale); }
  int y_pixel(double y) const { return rounded_pixel(y_offset - y * y_scale); }
  // Half away from zero; far outside any window a pixel no longer matters,
  // but converting a huge double to int would be undefined, so the value is
  // kept within what a window could use first.
  static int rounded_pixel(double v) {
    if (!(v == v)) return 0;  // NaN
    v = v < -pixel_limit ? -pixel_limit : v > pixel_limit ? pixel_limit : v;
    // For a magnitude, the truncation of |v| + 0.5 is its floor.
    return v < 0.0 ? -static_cast<int>(-v + 0.5) : static_cast<int>(v + 0.5);
  }
  static constexpr double pixel_limit = 1.0e8;
  double x_world(double px) const;
  double y_world(double py) const;
  // The world distance of a distance in pixels.
  double x_distance(double pixels) const;
  double y_distance(double pixels) const;

  int left = 0;
  int right = 99;
  int top = 0;
  int bottom = 99;
  double x1 = 0.0;
  double x2 = 100.0;
  double y1 = 0.0;
  double y2 = 100.0;
  double x_tenth = 10.0;
  double y_tenth = 10.0;
  double x_range = 100.0;
  double y_range = 100.0;
  double x_scale = 0.99;
  double y_scale = 0.99;
  double y_offset = 99.0;
};
