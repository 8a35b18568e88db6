#include "app/views/plot_area_surface.h"

#include <algorithm>
#include <cmath>

#include "app/views/figure_layout.h"

using platform_types::colour;

plot_area_surface::plot_area_surface(platform_types::surface& out, int left, int top, int right, int bottom,
                                     const view_look& look)
    : out_(out),
      left_(left),
      top_(top),
      right_(right),
      bottom_(bottom),
      look_(look),
      run_(out, left, top, right, bottom) {}

void plot_area_surface::set_pen(colour c, int width, platform_types::pen_style style) {
  out_.set_pen(look_.on_background(c), width, style);
}

void plot_area_surface::set_fill(colour c) { out_.set_fill(look_.on_background(c)); }

void plot_area_surface::set_text_colour(colour c) { out_.set_text_colour(look_.on_background(c)); }

void plot_area_surface::fill_rect(int x1, int y1, int x2, int y2) {
  x1 = std::max(x1, left_);
  y1 = std::max(y1, top_);
  x2 = std::min(x2, right_ + 1);
  y2 = std::min(y2, bottom_ + 1);
  if (x1 < x2 && y1 < y2) out_.fill_rect(x1, y1, x2, y2);
}

bool plot_area_surface::all_inside(const std::vector<int>& xy) const {
  for (std::size_t i = 0; i + 1 < xy.size(); i += 2)
    if (!inside(xy[i], xy[i + 1])) return false;
  return true;
}

void plot_area_surface::line(int x1, int y1, int x2, int y2) {
  double t0 = 0.0, t1 = 1.0;
  if (!clip_segment_to(x1, y1, x2, y2, left_, top_, right_, bottom_, t0, t1)) return;
  const double dx = x2 - x1, dy = y2 - y1;
  auto at = [](double a, double d, double t) { return static_cast<int>(std::lround(a + t * d)); };
  out_.line(at(x1, dx, t0), at(y1, dy, t0), at(x1, dx, t1), at(y1, dy, t1));
}

void plot_area_surface::polyline(const std::vector<int>& xy) {
  // Most curves lie inside the plot: they pass as they are.
  if (all_inside(xy)) {
    out_.polyline(xy);
    return;
  }
  run_.polyline(xy);
}

void plot_area_surface::pixel(int x, int y, colour c) {
  if (inside(x, y)) out_.pixel(x, y, look_.on_background(c));
}

void plot_area_surface::rectangle(int x1, int y1, int x2, int y2) {
  // The boxes and handles round points: drawn when their point is in the plot.
  if (inside((x1 + x2) / 2, (y1 + y2) / 2)) out_.rectangle(x1, y1, x2, y2);
}

void plot_area_surface::ellipse(int x1, int y1, int x2, int y2) {
  if (inside((x1 + x2) / 2, (y1 + y2) / 2)) out_.ellipse(x1, y1, x2, y2);
}

void plot_area_surface::text(int x, int y, const std::string& s) {
  if (inside(x, y)) out_.text(x, y, s);
}

void plot_area_surface::placed_text(int x, int y, const std::string& s, platform_types::text_anchor anchor,
                                    int size) {
  if (inside(x, y)) out_.placed_text(x, y, s, anchor, size);
}
