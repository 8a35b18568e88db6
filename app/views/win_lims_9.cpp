#include "app/views/win_lims_9.h"

#include <algorithm>
#include <cmath>

namespace {

// Far outside the window a pixel no longer matters, but converting a huge
// double to int would be undefined: keep it within what any window could use.
constexpr double pixel_limit = 1.0e8;

int rounded_pixel(double v) {
  if (!(v == v)) return 0;  // NaN
  v = std::clamp(v, -pixel_limit, pixel_limit);
  const double r = v < 0.0 ? -std::floor(-v + 0.5) : std::floor(v + 0.5);
  return static_cast<int>(r);
}

}  // namespace

void win_lims_9::set_pixels(int width, int height) {
  left = 0;
  top = 0;
  right = std::max(width, 1) - 1;
  bottom = std::max(height, 1) - 1;
}

void win_lims_9::recompute_scale() {
  if (!(x2 - x1 >= smallest_range)) x2 = x1 + smallest_range;
  if (!(y2 - y1 >= smallest_range)) y2 = y1 + smallest_range;
  x_range = x2 - x1;
  y_range = y2 - y1;
  x_tenth = x_range / 10.0;
  y_tenth = y_range / 10.0;
  x_scale = right / x_range;
  y_scale = bottom / y_range;
  y_offset = y1 * y_scale + bottom;
}

int win_lims_9::x_pixel(double x) const { return rounded_pixel((x - x1) * x_scale); }

int win_lims_9::y_pixel(double y) const { return rounded_pixel(y_offset - y * y_scale); }

double win_lims_9::x_world(double px) const { return x_scale != 0.0 ? px / x_scale + x1 : x1; }

double win_lims_9::y_world(double py) const { return y_scale != 0.0 ? (bottom - py) / y_scale + y1 : y1; }

double win_lims_9::x_distance(double pixels) const {
  return right > left ? pixels * x_range / (right - left) : 0.0;
}

double win_lims_9::y_distance(double pixels) const {
  return bottom > top ? pixels * y_range / (bottom - top) : 0.0;
}
