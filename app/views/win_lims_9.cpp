#include "app/views/win_lims_9.h"

#include <algorithm>
#include <cmath>


void win_lims_9::set_pixels(int width, int height) {
  left = 0;
  top = 0;
  right = std::max(width, 1) - 1;
  bottom = std::max(height, 1) - 1;
}

void win_lims_9::set_plot_area(int l, int t, int r, int b) {
  left = l;
  top = t;
  right = std::max(r, l + 1);
  bottom = std::max(b, t + 1);
}

void win_lims_9::recompute_scale() {
  if (!(x2 - x1 >= smallest_range)) x2 = x1 + smallest_range;
  if (!(y2 - y1 >= smallest_range)) y2 = y1 + smallest_range;
  x_range = x2 - x1;
  y_range = y2 - y1;
  x_tenth = x_range / 10.0;
  y_tenth = y_range / 10.0;
  x_scale = (right - left) / x_range;
  y_scale = (bottom - top) / y_range;
  y_offset = y1 * y_scale + bottom;
}

double win_lims_9::x_world(double px) const { return x_scale != 0.0 ? (px - left) / x_scale + x1 : x1; }

double win_lims_9::y_world(double py) const { return y_scale != 0.0 ? (bottom - py) / y_scale + y1 : y1; }

double win_lims_9::x_distance(double pixels) const {
  return right > left ? pixels * x_range / (right - left) : 0.0;
}

double win_lims_9::y_distance(double pixels) const {
  return bottom > top ? pixels * y_range / (bottom - top) : 0.0;
}
