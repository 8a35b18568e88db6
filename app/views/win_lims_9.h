#pragma once

// The mapping of a graph view between world units (the data's x and y) and
// the pixels of its client area. The whole client area is the plot: x1 maps
// to the left edge, x2 to the right one, y1 to the bottom and y2 to the top.
class win_lims_9 {
 public:
  // Below this a range is widened, so that the scales never divide by 0.
  static constexpr double smallest_range = 0.0001;

  win_lims_9() { recompute_scale(); }

  // The client area is width x height pixels: right = width - 1, bottom =
  // height - 1.
  void set_pixels(int width, int height);
  // Widens a degenerate range (x2 := x1 + 0.0001, likewise y), then derives
  // the ranges, their tenths and the scales from the limits.
  void recompute_scale();

  // World to pixel, rounded half away from zero.
  int x_pixel(double x) const;
  int y_pixel(double y) const;
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
