#include "xrd/plots/plot_xy_3.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <vector>

#include "core/paths.h"
#include "core/text_helpers.h"
#include "numerics/x1_xd_x2_3.h"
#include "xrd/plots/button_pressed_3.h"
#include "xrd/plots/plot_view.h"
#include "xrd/curves/xy_data_3.h"

namespace {

// Heights nearer 0 than this would make a scaling drag blow up.
constexpr double smallest_height = 1e-4;
// The abscissa step of a vertical marker line.
constexpr double marker_step = 1e-9;

}  // namespace

xy_data_for_3* plot_xy_3::curve() { return dynamic_cast<xy_data_for_3*>(file_member(curve_, xy_name())); }

xy_data_3* plot_xy_3::measured_curve() { return curve(); }

bool plot_xy_3::drag_marker_to(double) { return false; }

bool plot_xy_3::update(plot_view& view) {
  plot_3::update(view);
  if (!shown_in(view)) return false;
  xy_data_for_3* xy = curve();
  if (!xy) return false;
  // A numerical stage that gives up (numeric_abort) ends the paint or the
  // action that asked; the curve stays as it was and the next change tries
  // again.
  const std::uint64_t stamp = source_stamp(view);
  if (stamped_ && stamp == stamp_ && !xy->dirty) return false;
  if (!recompute(view, *xy)) return false;
  stamp_ = stamp;
  stamped_ = true;
  xy->dirty = false;
  xy->profile_changed();
  ++recomputations;
  view.redraw();
  return true;
}

void plot_xy_3::draw(plot_view& view, plot_surface& surface) {
  if (shown_in(view)) {
    xy_data_for_3* xy = curve();
    int i1 = 0, i2 = 0;
    if (xy && xy->y.count() > 0 && xy->index_range(view.x_left(), view.x_right(), i1, i2) > 0) {
      const double t = display_time(view);
      curve_look look;
      look.line_width = xy->line_width;
      look.line_style = static_cast<curve_look::style>(std::clamp(xy->line_style, 0, 2));
      look.box_size = xy->box_size;
      look.dots = !draws_lines();
      look.selected = selected_curve() == xy;
      const int n = i2 - i1 + 1;
      if (xy->has_explicit_x()) {
        std::vector<double> xs, ys;
        xs.reserve(static_cast<std::size_t>(n));
        ys.reserve(static_cast<std::size_t>(n));
        for (int i = i1; i <= i2; ++i) {
          xs.push_back(xy->x_of(i));
          ys.push_back(xy->y[i] / t);
        }
        surface.curve(xs.data(), ys.data(), n, look);
      } else {
        // The ordinates as they are stored: a dense curve is drawn without
        // making a copy of its points.
        const int first = i1 - xy->y.base();
        surface.stepped_curve(xy->x1, xy->xd, first, xy->y.data() + first, n, t, look);
      }
    }
  }
  plot_3::draw(view, surface);
}

double plot_xy_3::display_time(const plot_view& view) {
  return (view.show_bits() & show_bits::counts_per_second) ? count_time() : 1.0;
}

void plot_xy_3::x_extent(plot_view& view, double& lo, double& hi) {
  if (!shown_in(view) || !counts_in_extent()) return;
  xy_data_for_3* xy = curve();
  if (!xy || xy->y.count() == 0) return;
  xy->x_range(0x3, lo, hi);
}

void plot_xy_3::y_extent(plot_view& view, double xl, double xr, int bits, double& lo, double& hi) {
  if (!shown_in(view) || !counts_in_extent()) return;
  xy_data_for_3* xy = curve();
  if (!xy || xy->y.count() == 0) return;
  // The curve's own units: a counts-per-second view divides by the time.
  const double t = display_time(view);
  double l = lo * t, h = hi * t;
  xy->y_range(xl, xr, bits, l, h);
  lo = l / t;
  hi = h / t;
}

bool plot_xy_3::press(plot_view& view, button_pressed_3& pressed) {
  set_view(&view);
  if (!shown_in(view)) return false;
  xy_data_for_3* xy = curve();
  if (!xy || xy->y.count() < 2) return false;
  const double t = display_time(view);
  if (!xy->hit(pressed.world_x, pressed.world_y * t, pressed.tolerance_x, pressed.tolerance_y * t)) return false;
  switch (choose_drag_mode()) {
    case drag_mode::capture:
      // The capture object makes a new data file of the curve.
      if (assoc_class* capture = find(*this, "capture")) capture->execute_with(xy);
      return true;
    case drag_mode::x:
    case drag_mode::y:
      pressed.add_candidate(*this, *xy);
      return false;
    case drag_mode::none:
      break;
  }
  return false;
}

void plot_xy_3::drag(plot_view& view, const drag_motion& motion) {
  set_view(&view);
  xy_data_3* xy = selected_curve();
  if (!xy) return;
  const double t = display_time(view);
  if (motion.mode == drag_mode::x) {
    // A marker moves its option; a curve moves (or stretches) its abscissa.
    if (!drag_marker_to(motion.world_x)) {
      if (motion.scale)
        stretch_x(*xy, motion.anchor_x, motion.dx_pixels);
      else
        drag_x(*xy, motion.dx);
    }
  } else if (motion.mode == drag_mode::y) {
    if (motion.scale)
      scale_y(*xy, scale_ratio(motion.world_y * t, motion.previous_world_y * t));
    else
      drag_y(*xy, motion.dy * t);
  } else {
    return;
  }
  // The observed profile's chain must start again from the edited curve.
  if (auto* own = dynamic_cast<xy_data_for_3*>(xy)) own->dirty = true;
  mark_edited();
  curve_changed();
}

void plot_xy_3::drag_x(xy_data_3& xy, double dx) { xy.shift_ends(dx, dx); }

void plot_xy_3::drag_y(xy_data_3& xy, double dy) {
  float* y = xy.y.data();
  for (int i = 0; i < xy.y.count(); ++i) y[i] = static_cast<float>(y[i] + dy);
  xy.profile_changed();
}

double plot_xy_3::scale_ratio(double height_now, double height_before) {
  return at_least_magnitude(height_now, smallest_height) / at_least_magnitude(height_before, smallest_height);
}

void plot_xy_3::scale_y(xy_data_3& xy, double ratio) {
  float* y = xy.y.data();
  for (int i = 0; i < xy.y.count(); ++i) y[i] = static_cast<float>(y[i] * ratio);
  xy.profile_changed();
}

void plot_xy_3::stretch_ends(double x1, double x2, double anchor, double dx_pixels, double& d1, double& d2) {
  const double f = 1.0 - (0.01 * dx_pixels + 1.0);
  d1 = (anchor - x1) * f;
  d2 = (anchor - x2) * f;
}

void plot_xy_3::stretch_x(xy_data_3& xy, double anchor, double dx_pixels) {
  double d1 = 0.0, d2 = 0.0;
  stretch_ends(xy.x1, xy.x2, anchor, dx_pixels, d1, d2);
  xy.shift_ends(d1, d2);
}

std::uint64_t plot_xy_3::stamp_of(std::initializer_list<double> values) {
  // FNV-1a over the bit patterns.
  std::uint64_t h = 1469598103934665603ull;
  for (double v : values) {
    std::uint64_t bits = std::bit_cast<std::uint64_t>(v);
    for (int k = 0; k < 8; ++k) {
      h ^= bits & 0xff;
      h *= 1099511628211ull;
      bits >>= 8;
    }
  }
  return h;
}

void plot_xy_3::take(xy_data_3& xy, const x1_xd_x2_3& axis, const float* values, int n, double scale) {
  if (n < 0) n = 0;
  xy.y.allocate(n);
  xy.y.rebase(0);
  for (int i = 0; i < n; ++i) xy.y[i] = static_cast<float>(values[i] * scale);
  xy.set_first_step_count(axis.x1, axis.xd, n);
}

void plot_xy_3::vertical_line(xy_data_3& xy, double x, double bottom, double top) {
  const float line[3] = {static_cast<float>(bottom), static_cast<float>((bottom + top) / 2.0), static_cast<float>(top)};
  take(xy, x1_xd_x2_3(x, marker_step, 3), line, 3, 1.0);
}
