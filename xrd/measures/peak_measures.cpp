#include "xrd/measures/peak_measures.h"

#include <algorithm>
#include <cmath>

#include "xrd/curves/xy_data_3.h"

namespace {

// Steeper or flatter than this a segment cannot give a crossing.
constexpr double degenerate = 1e-8;

}  // namespace

bool peak_measures::window(xy_data_3& curve, double xl, double xr, int& i1, int& i2, double& lo, double& hi) {
  if (curve.y.count() == 0 || curve.index_range(xl, xr, i1, i2) == 0) return false;
  lo = xy_data_3::no_value;
  hi = -xy_data_3::no_value;
  for (int i = i1; i <= i2; ++i) {
    const double v = curve.y[i];
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
  return true;
}

peak_measures::result peak_measures::integral_breadth(xy_data_3& curve, double xl, double xr) {
  result r = area(curve, xl, xr);
  int i1 = 0, i2 = 0;
  double lo = 0.0, hi = 0.0;
  if (!r.ok || !window(curve, xl, xr, i1, i2, lo, hi) || !(hi > lo)) return result{};
  r.value /= hi - lo;
  r.has_line = false;
  return r;
}

peak_measures::result peak_measures::fwhm(xy_data_3& curve, double xl, double xr) {
  result r;
  int i1 = 0, i2 = 0;
  double lo = 0.0, hi = 0.0;
  if (!window(curve, xl, xr, i1, i2, lo, hi)) return r;
  const double h = (lo + hi) / 2.0;
  double crossing[2] = {0.0, 0.0};
  int found = 0;
  // A sample lying exactly on the level ends one segment and starts the
  // next: it is one crossing, not two (two would measure a width of 0).
  int crossed_at_sample = i1 - 1;
  for (int i = i1; i < i2 && found < 2; ++i) {
    const double a = curve.y[i];
    const double b = curve.y[i + 1];
    if (!(std::min(a, b) <= h && h <= std::max(a, b))) continue;
    if (i == crossed_at_sample && a == h) continue;
    const double xa = curve.x_of(i);
    const double dx = curve.x_of(i + 1) - xa;
    if (std::fabs(dx) < degenerate) break;
    const double m = (b - a) / dx;
    if (std::fabs(m) < degenerate) break;
    const double q = a - m * xa;
    crossing[found++] = (h - q) / m;
    if (b == h) crossed_at_sample = i + 1;
  }
  if (found < 2) return r;
  r.ok = true;
  r.value = crossing[1] - crossing[0];
  r.has_line = true;
  r.x1 = crossing[0];
  r.x2 = crossing[1];
  r.y1 = r.y2 = h;
  return r;
}

peak_measures::result peak_measures::centroid(xy_data_3& curve, double xl, double xr, double bottom, double top) {
  result r;
  int i1 = 0, i2 = 0;
  double lo = 0.0, hi = 0.0;
  if (!window(curve, xl, xr, i1, i2, lo, hi)) return r;
  double s0 = 0.0;
  double s1 = 0.0;
  for (int i = i1; i <= i2; ++i) {
    const double above = curve.y[i] - lo;
    s0 += above;
    s1 += curve.x_of(i) * above;
  }
  if (!(std::fabs(s0) > degenerate)) return r;
  r.ok = true;
  r.value = s1 / s0;
  r.has_line = true;
  r.x1 = r.x2 = r.value;
  r.y1 = bottom;
  r.y2 = top;
  return r;
}

peak_measures::result peak_measures::area(xy_data_3& curve, double xl, double xr) {
  result r;
  int i1 = 0, i2 = 0;
  double lo = 0.0, hi = 0.0;
  if (!window(curve, xl, xr, i1, i2, lo, hi)) return r;
  double sum = 0.0;
  for (int i = i1; i <= i2; ++i) sum += curve.y[i] - lo;
  // A window of one point at the curve's end has no next point: its sum is
  // 0 anyway, and the stepped width stands in.
  const int top = curve.y.base() + curve.y.count() - 1;
  const double step = i1 + 1 <= top ? curve.x_of(i1 + 1) - curve.x_of(i1) : curve.xd;
  r.ok = true;
  r.value = sum * step;
  return r;
}
