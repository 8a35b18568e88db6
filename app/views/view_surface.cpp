#include "app/views/view_surface.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "core/paths.h"

namespace {

platform_types::pen_style pen_of(curve_look::style s) {
  switch (s) {
    case curve_look::style::dash:
      return platform_types::pen_style::dash;
    case curve_look::style::dot:
      return platform_types::pen_style::dot;
    case curve_look::style::solid:
      break;
  }
  return platform_types::pen_style::solid;
}

// Whether a pattern draws at this pixel column: its lengths are counted
// across the columns, so that a dense curve shows its dashes however much it
// climbs inside a column.
bool drawn_at(const std::vector<int>& pattern, int pen_width, int column) {
  int period = 0;
  for (int v : pattern) period += v * pen_width;
  if (period <= 0) return true;
  int at = ((column % period) + period) % period;
  for (std::size_t k = 0; k < pattern.size(); ++k) {
    const int length = pattern[k] * pen_width;
    if (at < length) return k % 2 == 0;
    at -= length;
  }
  return true;
}

constexpr platform_types::colour white{255, 255, 255};

}  // namespace

int pen_box_size() {
  static const int size = [] {
    const char* text = query_value("pen_box_size");
    return text ? static_cast<int>(std::atol(text)) : 2;
  }();
  return size;
}

void view_surface::polyline(const double* x, const double* y, int n) { curve(x, y, n, curve_look{}); }

void view_surface::label(double x, double y, const std::string& text) {
  constexpr int size = 12, gap = 3;
  out_.set_text_colour(colour_);
  out_.placed_text(lims_.x_pixel(x), lims_.y_pixel(y) - gap, text, platform_types::text_anchor::middle, size);
}

void view_surface::segment(double x1, double y1, double x2, double y2) {
  out_.set_pen(white, 1, platform_types::pen_style::solid);
  const int ex = lims_.x_pixel(x2);
  const int ey = lims_.y_pixel(y2);
  out_.line(lims_.x_pixel(x1), lims_.y_pixel(y1), ex, ey);
  out_.pixel(ex, ey, white);
}

namespace {

bool column_drawing = true;

}  // namespace

void view_surface::set_column_drawing(bool on) { column_drawing = on; }

platform_types::pen_style view_surface::style_of(const curve_look& look) const {
  // A curve's own pattern (one being dragged is dotted) comes before its family's.
  return look.line_style == curve_look::style::solid ? family_style_ : pen_of(look.line_style);
}

void view_surface::draw_columns(const curve_look& look) {
  if (points_.size() < 2) return;
  drawn_ = true;
  const std::vector<int>& pattern = platform_types::dash_pattern(style_of(look));
  out_.set_pen(colour_, look.line_width, platform_types::pen_style::solid);
  if (pattern.empty()) {
    if (points_.size() > 2) out_.polyline(points_);
    out_.pixel(points_[points_.size() - 2], points_.back(), colour_);
    return;
  }
  // A pen's own dashes would be spent on the climbs inside the columns:
  // the columns drawn are those the pattern covers, each run of them joined.
  run_.clear();
  auto flush = [this] {
    if (run_.empty()) return;
    // A run ends a pixel to the right at its last height: its last pixel is
    // set, as the end of a curve is, within the one polyline.
    const int x = run_[run_.size() - 2], y = run_.back();
    run_.insert(run_.end(), {x + 1, y});
    out_.polyline(run_);
    run_.clear();
  };
  for (std::size_t i = 0; i + 7 < points_.size(); i += 8) {
    if (drawn_at(pattern, std::max(look.line_width, 1), points_[i]))
      run_.insert(run_.end(), points_.begin() + static_cast<std::ptrdiff_t>(i),
                  points_.begin() + static_cast<std::ptrdiff_t>(i + 8));
    else
      flush();
  }
  flush();
}

template <class At>
void view_surface::draw_points(int n, const curve_look& look, At at) {
  if (n <= 0) return;
  drawn_ = true;
  out_.set_pen(colour_, look.line_width, style_of(look));
  int px = 0, py = 0;
  if (look.dots) {
    for (int i = 0; i < n; ++i) {
      at(i, px, py);
      out_.pixel(px, py, colour_);
    }
  } else {
    points_.clear();
    int first_x = 0, last_x = 0, dummy = 0;
    at(0, first_x, dummy);
    at(n - 1, last_x, dummy);
    const int columns = std::abs(last_x - first_x) + 1;
    if (column_drawing && n > 2 * columns) {
      // One column at a time: where the line enters it, its lowest and
      // highest point, and where it leaves.
      int column = 0, enter = 0, low = 0, high = 0, leave = 0;
      for (int i = 0; i < n; ++i) {
        at(i, px, py);
        if (i == 0 || px != column) {
          if (i > 0) points_.insert(points_.end(), {column, enter, column, low, column, high, column, leave});
          column = px;
          enter = low = high = leave = py;
        } else {
          low = std::min(low, py);
          high = std::max(high, py);
          leave = py;
        }
      }
      points_.insert(points_.end(), {column, enter, column, low, column, high, column, leave});
      draw_columns(look);
    } else {
      points_.reserve(static_cast<std::size_t>(n) * 2);
      for (int i = 0; i < n; ++i) {
        at(i, px, py);
        points_.push_back(px);
        points_.push_back(py);
      }
      if (points_.size() > 2) out_.polyline(points_);
      out_.pixel(points_[points_.size() - 2], points_.back(), colour_);
    }
  }
  const int size = look.selected ? handle_size_ : look.box_size;
  if (!look.selected && size == 1) return;
  // The boxes keep the curve's own pen, whatever the family's pattern.
  if (look.selected)
    out_.set_pen(colour_, 1, platform_types::pen_style::solid);
  else
    out_.set_pen(colour_, look.line_width, pen_of(look.line_style));
  // Handles along a curve being dragged (every step-th point and the last);
  // otherwise a box around every point.
  const int last = n - 1;
  const int step = look.selected ? std::max(last / 20, 1) : 1;
  for (int i = 0;; i += step) {
    if (i > last) i = last;
    at(i, px, py);
    if (look.selected)
      out_.ellipse(px - size, py - size, px + size, py + size);
    else
      out_.rectangle(px - size, py - size, px + size, py + size);
    if (i == last) break;
  }
}

void view_surface::curve(const double* x, const double* y, int n, const curve_look& look) {
  draw_points(n, look, [&](int i, int& px, int& py) {
    px = lims_.x_pixel(x[i]);
    py = lims_.y_pixel(y[i]);
  });
}

void view_surface::stepped_curve(double x1, double dx, int first, const float* y, int n, double divisor,
                                 const curve_look& look) {
  if (n <= 0) return;
  const double left = lims_.x1, x_scale = lims_.x_scale;
  const double offset = lims_.y_offset, y_scale = lims_.y_scale;
  const int plot_left = lims_.left;
  // The same arithmetic as x_pixel and y_pixel.
  auto px = [&](int i) { return plot_left + win_lims_9::rounded_pixel(((first + i) * dx + x1 - left) * x_scale); };
  auto py = [&](float v) { return win_lims_9::rounded_pixel(offset - (divisor == 1.0 ? v : v / divisor) * y_scale); };
  const int columns = std::abs(px(n - 1) - px(0)) + 1;
  if (!column_drawing || look.dots || look.selected || look.box_size != 1 || n <= 2 * columns || !(dx > 0.0) ||
      !(x_scale > 0.0) || !(y_scale > 0.0)) {
    draw_points(n, look, [&](int i, int& x, int& yp) {
      x = px(i);
      yp = py(y[i]);
    });
    return;
  }
  // Dense: the points of a column are found from where the column begins
  // (the x pixel only grows along the curve), and only the column's first,
  // lowest, highest and last ordinates are mapped. A larger ordinate is a
  // smaller (or equal) pixel, so the column's pixel span is that of its
  // extreme values.
  points_.clear();
  int i = 0;
  while (i < n) {
    const int column = px(i);
    // The first point of the next column: a guess from the scale, then
    // moved until it is the first point whose pixel is beyond this column.
    const double edge = (column - plot_left + 0.5) / x_scale + left;
    int j = static_cast<int>(std::clamp((edge - x1) / dx - first, static_cast<double>(i + 1), static_cast<double>(n)));
    while (j > i + 1 && px(j - 1) > column) --j;
    while (j < n && px(j) <= column) ++j;
    float low = y[i], high = y[i];
    bool gap = false;
    for (int k = i + 1; k < j; ++k) {
      const float v = y[k];
      gap |= v != v;
      low = v < low ? v : low;
      high = v > high ? v : high;
    }
    int enter = py(y[i]), leave = py(y[j - 1]);
    int top = py(high), bottom = py(low);
    if (gap) {
      // A missing ordinate stands at pixel 0, as a point alone would.
      top = std::min(top, 0);
      bottom = std::max(bottom, 0);
    }
    points_.insert(points_.end(), {column, enter, column, top, column, bottom, column, leave});
    i = j;
  }
  draw_columns(look);
}
