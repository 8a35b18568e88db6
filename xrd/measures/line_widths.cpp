#include "xrd/measures/line_widths.h"

#include <cmath>
#include <algorithm>
#include <cstddef>
#include <limits>

namespace {

constexpr double not_found = std::numeric_limits<double>::quiet_NaN();

// Linear interpolation for the x where the segment (xa, ya)-(xb, yb) takes
// the value level, ya != yb.
double crossing(double xa, double ya, double xb, double yb, double level) {
  return xa + (level - ya) / (yb - ya) * (xb - xa);
}

void say(line_widths& w, const char* why) {
  if (w.why.empty()) w.why = why;
}

}  // namespace

line_widths measure_line(std::span<const double> x, std::span<const double> y) {
  line_widths w;
  w.height = w.peak_x = w.half_left_x = w.half_right_x = w.fwhm_x = w.area_xy = w.integral_breadth_x =
      w.shape_factor = w.centroid_x = not_found;
  const std::size_t n = std::min(x.size(), y.size());
  if (n == 0) {
    say(w, "the range holds no point");
    return w;
  }
  for (std::size_t i = 0; i < n; ++i)
    if (!std::isfinite(x[i]) || !std::isfinite(y[i])) {
      say(w, "the profile holds a value that is not a finite number");
      return w;
    }
  // Trapezoidal rule (Press et al., Numerical Recipes, 3rd ed., eq. 4.1.11),
  // which takes an uneven step as it comes.
  double area = 0.0, moment = 0.0;
  for (std::size_t i = 0; i + 1 < n; ++i) {
    const double dx = x[i + 1] - x[i];
    area += (y[i] + y[i + 1]) / 2.0 * dx;
    moment += (x[i] * y[i] + x[i + 1] * y[i + 1]) / 2.0 * dx;
  }
  if (!std::isfinite(area) || !std::isfinite(moment)) {
    say(w, "the profile's area is beyond the range of numbers");
    return w;
  }
  w.area_xy = area;

  std::size_t p = 0;
  for (std::size_t i = 1; i < n; ++i)
    if (y[i] > y[p]) p = i;
  if (!(y[p] > 0.0) || !(area > 0.0)) {
    say(w, "the profile does not rise above its background in the range (it is flat or below it)");
    return w;
  }
  w.height = y[p];
  w.peak_x = x[p];
  // Integral breadth β = area / peak height (Klug & Alexander, X-ray
  // diffraction procedures, 2nd ed., 1974, §9-1).
  w.integral_breadth_x = area / w.height;
  // Centre of mass of the line above its background.
  w.centroid_x = moment / area;

  // Full width at half maximum: the first crossings of height / 2 walking
  // out from the maximum on each side.
  const double half = w.height / 2.0;
  for (std::size_t i = p; i > 0; --i)
    if (y[i - 1] <= half) {
      w.half_left_x = crossing(x[i - 1], y[i - 1], x[i], y[i], half);
      break;
    }
  for (std::size_t i = p; i + 1 < n; ++i)
    if (y[i + 1] <= half) {
      w.half_right_x = crossing(x[i], y[i], x[i + 1], y[i + 1], half);
      break;
    }
  if (std::isnan(w.half_left_x))
    say(w, "the line does not fall to half its height on its left within the range");
  else if (std::isnan(w.half_right_x))
    say(w, "the line does not fall to half its height on its right within the range");
  else
    w.fwhm_x = w.half_right_x - w.half_left_x;
  // Shape factor φ = FWHM / β (Langford, J. Appl. Cryst. 11, 1978, 10-14).
  if (!std::isnan(w.fwhm_x)) w.shape_factor = w.fwhm_x / w.integral_breadth_x;
  return w;
}
