#include "xrd/measures/peak_measures.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/text_helpers.h"
#include "xrd/chain/xy_yobs_3.h"
#include "xrd/curves/xy_data_3.h"

namespace {

std::string degrees(double x) { return format_number("%g", x); }

}  // namespace

peak_measures::result peak_measures::value_of(const line_widths& w, double v) {
  result r;
  r.ok = std::isfinite(v);
  r.value = r.ok ? v : 0.0;
  if (!r.ok) r.why = w.why.empty() ? "no value could be formed" : w.why;
  return r;
}

peak_measures::baseline peak_measures::baseline_of(xy_data_3& curve, int i1, int i2) {
  baseline b;
  auto* chain = dynamic_cast<xy_yobs_3*>(&curve);
  if (!chain) return b;
  const int first = curve.y.base(), last = first + curve.y.count() - 1;
  if (i1 <= first && i2 >= last) {
    // The whole scan: the background the chain subtracts, automatic or set.
    chain->ensure_origin();
    b.x0 = chain->centre_x();
    b.level = chain->background_level();
    b.slope = chain->background_slope();
    return b;
  }
  // Part of it: the line the chain would place for a scan of just this part.
  std::vector<double> y;
  for (int i = i1; i <= i2; ++i) y.push_back(curve.y[i]);
  const xy_yobs_3::end_line line = xy_yobs_3::line_through_ends(y);
  b.x0 = curve.x_of(i1);
  b.level = line.intercept;
  b.slope = curve.xd != 0.0 ? line.slope / curve.xd : 0.0;
  return b;
}

line_widths peak_measures::measure(xy_data_3& curve, double xl, double xr, baseline* used) {
  int i1 = 0, i2 = 0;
  if (curve.y.count() == 0 || curve.index_range(std::min(xl, xr), std::max(xl, xr), i1, i2) == 0) {
    line_widths none = measure_line({}, {});
    none.why = "the range " + degrees(std::min(xl, xr)) + " to " + degrees(std::max(xl, xr)) + " holds no point";
    if (curve.y.count() > 0) {
      const int last = curve.y.base() + curve.y.count() - 1;
      none.why += " of the scan, which runs from " + degrees(curve.x_of(curve.y.base())) + " to " +
                  degrees(curve.x_of(last));
    }
    return none;
  }
  const baseline b = baseline_of(curve, i1, i2);
  if (used) *used = b;
  std::vector<double> x, y;
  for (int i = i1; i <= i2; ++i) {
    const double xi = curve.x_of(i);
    x.push_back(xi);
    y.push_back(curve.y[i] - b.at(xi));
  }
  return measure_line(x, y);
}

peak_measures::result peak_measures::fwhm(xy_data_3& curve, double xl, double xr) {
  baseline b;
  const line_widths w = measure(curve, xl, xr, &b);
  result r = value_of(w, w.fwhm_x);
  if (!r.ok) return r;
  r.has_line = true;
  r.x1 = w.half_left_x;
  r.x2 = w.half_right_x;
  r.y1 = b.at(r.x1) + w.height / 2.0;
  r.y2 = b.at(r.x2) + w.height / 2.0;
  return r;
}

peak_measures::result peak_measures::centroid(xy_data_3& curve, double xl, double xr, double bottom, double top) {
  const line_widths w = measure(curve, xl, xr);
  result r = value_of(w, w.centroid_x);
  if (!r.ok) return r;
  r.has_line = true;
  r.x1 = r.x2 = r.value;
  r.y1 = bottom;
  r.y2 = top;
  return r;
}

peak_measures::result peak_measures::area(xy_data_3& curve, double xl, double xr) {
  const line_widths w = measure(curve, xl, xr);
  return value_of(w, w.area_xy);
}

peak_measures::result peak_measures::integral_breadth(xy_data_3& curve, double xl, double xr) {
  const line_widths w = measure(curve, xl, xr);
  return value_of(w, w.integral_breadth_x);
}
