#include "app/views/paper_surface.h"

#include <algorithm>
#include <cmath>

#include "app/views/figure_layout.h"

namespace {

using platform_types::colour;

double linear(std::uint8_t v) {
  const double c = v / 255.0;
  return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

// The relative luminance of sRGB (WCAG 2).
double luminance(colour c) { return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b); }

// Contrast 3:1 with white: (1 + 0.05) / (L + 0.05) >= 3.
constexpr double darkest_allowed = 0.30;

colour scaled(colour c, double k) {
  auto s = [k](std::uint8_t v) { return static_cast<std::uint8_t>(std::lround(v * k)); };
  return {s(c.r), s(c.g), s(c.b)};
}

}  // namespace

colour readable_on_white(colour c) {
  if (luminance(c) <= darkest_allowed) return c;
  // The luminance grows with the scale: the largest scale that is dark enough.
  double low = 0.0, high = 1.0;
  for (int i = 0; i < 24; ++i) {
    const double mid = (low + high) / 2;
    (luminance(scaled(c, mid)) <= darkest_allowed ? low : high) = mid;
  }
  return scaled(c, low);
}

paper_surface::paper_surface(platform_types::surface& out, int left, int top, int width, int height, double scale)
    : out_(out),
      left_(left),
      top_(top),
      width_(std::max(width, 1)),
      height_(std::max(height, 1)),
      scale_(scale),
      run_(out, 0.0, 0.0, width_ - 1, height_ - 1, left, top) {}

void paper_surface::set_pen(colour c, int width, platform_types::pen_style style) {
  out_.set_pen(readable_on_white(c), std::max(1, static_cast<int>(std::lround(width * scale_))), style);
}

void paper_surface::set_fill(colour c) { out_.set_fill(readable_on_white(c)); }

void paper_surface::set_text_colour(colour c) { out_.set_text_colour(readable_on_white(c)); }

void paper_surface::fill_rect(int x1, int y1, int x2, int y2) {
  x1 = std::max(x1, 0);
  y1 = std::max(y1, 0);
  x2 = std::min(x2, width_);
  y2 = std::min(y2, height_);
  if (x1 < x2 && y1 < y2) out_.fill_rect(x1 + left_, y1 + top_, x2 + left_, y2 + top_);
}

void paper_surface::line(int x1, int y1, int x2, int y2) {
  // A line is drawn with both its ends, as one polyline segment.
  run_.polyline({x1, y1, x2, y2});
}

void paper_surface::polyline(const std::vector<int>& xy) { run_.polyline(xy); }

void paper_surface::pixel(int x, int y, colour c) {
  if (!inside(x, y)) return;
  const colour ink = readable_on_white(c);
  const int size = static_cast<int>(std::lround(scale_));
  if (size <= 1) {
    out_.pixel(x + left_, y + top_, ink);
    return;
  }
  // A pixel of the screen is a dot the size of the figure's pens.
  out_.set_fill(ink);
  const int x0 = x + left_ - size / 2, y0 = y + top_ - size / 2;
  out_.fill_rect(x0, y0, x0 + size, y0 + size);
}

void paper_surface::rectangle(int x1, int y1, int x2, int y2) {
  // The boxes around points: drawn when their point is in the plot.
  if (inside((x1 + x2) / 2, (y1 + y2) / 2)) out_.rectangle(x1 + left_, y1 + top_, x2 + left_, y2 + top_);
}

void paper_surface::ellipse(int x1, int y1, int x2, int y2) {
  if (inside((x1 + x2) / 2, (y1 + y2) / 2)) out_.ellipse(x1 + left_, y1 + top_, x2 + left_, y2 + top_);
}

void paper_surface::text(int x, int y, const std::string& s) {
  if (inside(x, y)) out_.text(x + left_, y + top_, s);
}

void paper_surface::placed_text(int x, int y, const std::string& s, platform_types::text_anchor anchor, int size) {
  if (inside(x, y)) out_.placed_text(x + left_, y + top_, s, anchor, size);
}
