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

void view_surface::segment(double x1, double y1, double x2, double y2) {
  out_.set_pen(white, 1, platform_types::pen_style::solid);
  const int ex = lims_.x_pixel(x2);
  const int ey = lims_.y_pixel(y2);
  out_.line(lims_.x_pixel(x1), lims_.y_pixel(y1), ex, ey);
  out_.pixel(ex, ey, white);
}

void view_surface::curve(const double* x, const double* y, int n, const curve_look& look) {
  if (n <= 0) return;
  out_.set_pen(colour_, look.line_width, pen_of(look.line_style));
  if (look.dots) {
    for (int i = 0; i < n; ++i) out_.pixel(lims_.x_pixel(x[i]), lims_.y_pixel(y[i]), colour_);
  } else {
    std::vector<int> points;
    points.reserve(static_cast<std::size_t>(n) * 2);
    for (int i = 0; i < n; ++i) {
      points.push_back(lims_.x_pixel(x[i]));
      points.push_back(lims_.y_pixel(y[i]));
    }
    if (n > 1) out_.polyline(points);
    out_.pixel(points[points.size() - 2], points.back(), colour_);
  }
  if (look.selected)
    handles(x, y, n);
  else if (look.box_size != 1)
    boxes(x, y, n, look.box_size);
}

void view_surface::boxes(const double* x, const double* y, int n, int size) {
  for (int i = 0; i < n; ++i) {
    const int px = lims_.x_pixel(x[i]);
    const int py = lims_.y_pixel(y[i]);
    out_.rectangle(px - size, py - size, px + size, py + size);
  }
}

void view_surface::handles(const double* x, const double* y, int n) {
  out_.set_pen(colour_, 1, platform_types::pen_style::solid);
  const int last = n - 1;
  const int step = std::max(last / 20, 1);
  // Every step-th point, and the last one whatever the step.
  for (int i = 0;; i += step) {
    if (i > last) i = last;
    const int px = lims_.x_pixel(x[i]);
    const int py = lims_.y_pixel(y[i]);
    out_.ellipse(px - handle_size_, py - handle_size_, px + handle_size_, py + handle_size_);
    if (i == last) break;
  }
}
