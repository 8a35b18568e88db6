#include "app/views/williamson_hall_figure.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "app/platform/svg_surface.h"
#include "app/views/figure_layout.h"
#include "app/views/paper_surface.h"

namespace {

using platform_types::colour;
using platform_types::pen_style;
using platform_types::text_anchor;

// The series take the files' first screen colours, darkened for white
// paper as every figure's curves are.
constexpr std::array<colour, 6> screen_colours{
    {{255, 255, 0}, {0, 255, 255}, {255, 0, 255}, {0, 255, 0}, {255, 128, 0}, {128, 160, 255}}};

enum class marker { circle, square, triangle_up, diamond, triangle_down, cross };
constexpr std::array<marker, 6> markers{marker::circle,  marker::square,        marker::triangle_up,
                                        marker::diamond, marker::triangle_down, marker::cross};

// A finite share of the value range on each side; beyond it the pixel no
// longer matters, but converting a huge double to int would be undefined.
constexpr double farthest_share = 2.0;

struct point {
  double x, y;
  double sigma;  // NaN: no bar
  std::string label;
};

struct drawn_series {
  std::string name;
  colour ink;
  marker mark;
  std::vector<point> points;
  bool line = false;
  double intercept = 0.0, slope = 0.0;
};

// The points that can be drawn, each series in its colour and marker.
std::vector<drawn_series> drawable(const williamson_hall_figure_data& d) {
  std::vector<drawn_series> out;
  for (std::size_t k = 0; k < d.series.size(); ++k) {
    const williamson_hall_series& in = d.series[k];
    drawn_series s;
    s.name = in.name;
    s.ink = readable_on_white(screen_colours[k % screen_colours.size()]);
    s.mark = markers[k % markers.size()];
    const std::size_t n = std::min(in.x.size(), in.y.size());
    for (std::size_t i = 0; i < n; ++i) {
      if (!std::isfinite(in.x[i]) || !std::isfinite(in.y[i])) continue;
      const double sigma = i < in.sigma.size() && std::isfinite(in.sigma[i]) && in.sigma[i] > 0.0
                               ? in.sigma[i]
                               : std::numeric_limits<double>::quiet_NaN();
      s.points.push_back({in.x[i], in.y[i], sigma, i < in.labels.size() ? in.labels[i] : std::string()});
    }
    if (s.points.empty()) continue;
    s.line = in.has_line && std::isfinite(in.intercept) && std::isfinite(in.slope);
    s.intercept = in.intercept;
    s.slope = in.slope;
    out.push_back(std::move(s));
  }
  return out;
}

// A value range laid onto pixels: lo at p_lo, hi at p_hi (either way round).
struct axis_map {
  double lo = 0.0, hi = 1.0;
  int p_lo = 0, p_hi = 1;
  int pixel(double v) const {
    // Halves, so that a range as wide as the doubles allow does not
    // overflow to infinity.
    double t = (v / 2 - lo / 2) / (hi / 2 - lo / 2);
    if (std::isnan(t)) t = 0.0;
    t = std::clamp(t, -farthest_share, 1.0 + farthest_share);
    return static_cast<int>(std::lround(p_lo + t * (p_hi - p_lo)));
  }
};

// The largest finite double on each side.
double within_doubles(double v) {
  constexpr double most = std::numeric_limits<double>::max();
  return std::clamp(v, -most, most);
}

struct box {
  int x1, y1, x2, y2;  // inclusive
  bool meets(const box& o) const { return x1 <= o.x2 && o.x1 <= x2 && y1 <= o.y2 && o.y1 <= y2; }
  bool within(const box& o) const { return x1 >= o.x1 && x2 <= o.x2 && y1 >= o.y1 && y2 <= o.y2; }
};

// Whether the segment crosses the box (Liang and Barsky).
bool crosses(const box& b, double x1, double y1, double x2, double y2) {
  double t0 = 0.0, t1 = 1.0;
  return clip_segment_to(x1, y1, x2, y2, b.x1, b.y1, b.x2, b.y2, t0, t1);
}

struct segment {
  int x1, y1, x2, y2;
};

// What a label had better not sit on, worst first.
struct obstacles {
  std::vector<box> labels, marks, bars;
  std::vector<segment> lines;
};

// The first of the places that stands inside the plot and meets the fewest
// obstacles, one of a worse kind outweighing a hundred of the next.
std::size_t best_place(const std::vector<box>& places, const box& plot, const obstacles& o) {
  double best_cost = std::numeric_limits<double>::infinity();
  std::size_t best = 0;
  for (std::size_t c = 0; c < places.size(); ++c) {
    const box& b = places[c];
    auto met = [&b](const std::vector<box>& boxes) {
      return static_cast<double>(std::count_if(boxes.begin(), boxes.end(), [&b](const box& o) { return b.meets(o); }));
    };
    double crossed = 0.0;
    for (const segment& l : o.lines) crossed += crosses(b, l.x1, l.y1, l.x2, l.y2) ? 1.0 : 0.0;
    const double cost = (b.within(plot) ? 0.0 : 1e8) + 1e6 * met(o.labels) + 1e4 * met(o.marks) +
                        1e2 * met(o.bars) + crossed;
    if (cost < best_cost) {
      best_cost = cost;
      best = c;
    }
  }
  return best;
}

void draw_marker(platform_types::surface& s, marker m, int x, int y, int r) {
  const int q = r * 17 / 20;  // a square as wide as a circle looks larger
  switch (m) {
    case marker::circle: s.ellipse(x - r, y - r, x + r, y + r); break;
    case marker::square: s.rectangle(x - q, y - q, x + q, y + q); break;
    case marker::triangle_up: s.polyline({x, y - r, x + r, y + q, x - r, y + q, x, y - r}); break;
    case marker::triangle_down: s.polyline({x, y + r, x + r, y - q, x - r, y - q, x, y + r}); break;
    case marker::diamond: s.polyline({x, y - r, x + r, y, x, y + r, x - r, y, x, y - r}); break;
    case marker::cross:
      s.line(x - q, y - q, x + q, y + q);
      s.line(x - q, y + q, x + q, y - q);
      break;
  }
}

struct placed_label {
  int x, y;
  text_anchor anchor;
  const std::string* text;
};

}  // namespace

void draw_williamson_hall(platform_types::surface& s, const williamson_hall_figure_data& d, double scale) {
  const std::vector<drawn_series> series = drawable(d);
  figure_layout layout(s, scale, !d.title.empty());
  const int radius = layout.scaled(4), mark_pen = layout.scaled(1.5);
  // Markers stay this far inside the frame.
  const int inset = radius + mark_pen + 1;

  // x from 0, where the intercept is read, to a little past the last point.
  double x_lo = 0.0, x_max = 0.0;
  for (const drawn_series& ds : series)
    for (const point& p : ds.points) {
      x_lo = std::min(x_lo, p.x);
      x_max = std::max(x_max, p.x);
    }
  // Half spans throughout: a whole one may overflow where the values do not.
  const double x_half = x_max / 2 - x_lo / 2;
  const double x_hi = x_half > 0.0 ? within_doubles(x_max + 0.1 * x_half) : 1.0;

  // y from 0 (or a little below the lowest bar or line end, if that is
  // below 0) to a little above the highest; lower still if a marker would
  // cross the frame.
  double y_lo = 0.0, y_top = 0.0, lowest_mark = std::numeric_limits<double>::infinity();
  for (const drawn_series& ds : series) {
    for (const point& p : ds.points) {
      const double bar = std::isnan(p.sigma) ? 0.0 : p.sigma;
      y_lo = std::min(y_lo, within_doubles(p.y - bar));
      y_top = std::max(y_top, within_doubles(p.y + bar));
      lowest_mark = std::min(lowest_mark, p.y);
    }
    if (ds.line)
      for (double x : {x_lo, x_hi}) {
        const double y = within_doubles(ds.intercept + ds.slope * x);
        y_lo = std::min(y_lo, y);
        y_top = std::max(y_top, y);
      }
  }
  double y_half = y_top / 2 - y_lo / 2;
  if (y_half <= 0.0) y_half = 0.5;
  // What the inset's pixels are worth on the plot's height.
  const double inset_value = within_doubles(y_half * (2.0 * inset / std::max(layout.plot_h - 1 - 2 * inset, 1)));
  const double y_hi = within_doubles(y_top + std::max(0.1 * y_half, inset_value));
  // Below 0, room under the lowest bar as over the highest.
  if (y_lo < 0.0) y_lo = within_doubles(y_lo - 0.1 * y_half);
  if (lowest_mark - y_lo < inset_value) y_lo = within_doubles(y_lo - inset_value);

  const axis_ticks y_ticks = series.empty() ? axis_ticks{} : layout.y_ticks(y_lo, y_hi);
  layout.make_room_left(y_ticks);
  std::vector<std::string> names;
  for (const drawn_series& ds : series) names.push_back(ds.name);
  layout.make_room_right(names);
  const axis_ticks x_ticks = series.empty() ? axis_ticks{} : layout.x_ticks(x_lo, x_hi);

  const int left = layout.left, top = layout.top;
  const int right = left + layout.plot_w - 1, bottom = top + layout.plot_h - 1;
  const axis_map xs{x_lo, x_hi, left, right}, ys{y_lo, y_hi, bottom, top};

  layout.draw_paper(s);
  const int bar_pen = layout.pen, cap = layout.scaled(3);

  // The fitted lines behind the points, the bars behind the markers.
  obstacles in_the_way;
  std::vector<segment>& fitted = in_the_way.lines;
  for (const drawn_series& ds : series) {
    if (!ds.line) continue;
    const segment l{left, ys.pixel(ds.intercept + ds.slope * x_lo), right, ys.pixel(ds.intercept + ds.slope * x_hi)};
    s.set_pen(ds.ink, layout.pen, pen_style::solid);
    s.line(l.x1, l.y1, l.x2, l.y2);
    fitted.push_back(l);
  }
  std::vector<box>& bars = in_the_way.bars;
  std::vector<box>& marks = in_the_way.marks;
  for (const drawn_series& ds : series) {
    s.set_pen(ds.ink, bar_pen, pen_style::solid);
    for (const point& p : ds.points) {
      if (std::isnan(p.sigma)) continue;
      const int x = xs.pixel(p.x), low = ys.pixel(p.y - p.sigma), high = ys.pixel(p.y + p.sigma);
      s.line(x, low, x, high);
      s.line(x - cap, low, x + cap, low);
      s.line(x - cap, high, x + cap, high);
      bars.push_back({x - cap, high, x + cap, low});
    }
  }
  for (const drawn_series& ds : series) {
    s.set_pen(ds.ink, mark_pen, pen_style::solid);
    for (const point& p : ds.points) {
      const int x = xs.pixel(p.x), y = ys.pixel(p.y);
      draw_marker(s, ds.mark, x, y, radius);
      marks.push_back({x - radius, y - radius, x + radius, y + radius});
    }
  }

  // Each label beside its point, clear of what is drawn where it can be.
  const int font = layout.font, ascent = font - layout.descent, reach = radius + layout.scaled(3);
  const box plot_box{left, top, right, bottom};
  std::vector<placed_label> labels;
  for (const drawn_series& ds : series)
    for (const point& p : ds.points) {
      if (p.label.empty()) continue;
      const int x = xs.pixel(p.x), y = ys.pixel(p.y), w = s.text_width(p.label, font);
      const int middle = y + layout.half_cap, above = y - reach - layout.descent, below = y + reach + ascent;
      // Right of the point first, then left, then its corners, then over and under it (on its bar).
      const placed_label candidates[] = {
          {x + reach, middle, text_anchor::start, &p.label}, {x - reach, middle, text_anchor::end, &p.label},
          {x + reach, above, text_anchor::start, &p.label},  {x + reach, below, text_anchor::start, &p.label},
          {x - reach, above, text_anchor::end, &p.label},    {x - reach, below, text_anchor::end, &p.label},
          {x, above, text_anchor::middle, &p.label},         {x, below, text_anchor::middle, &p.label},
      };
      std::vector<box> places;
      for (const placed_label& l : candidates) {
        const int x1 = l.anchor == text_anchor::start ? l.x : l.anchor == text_anchor::middle ? l.x - w / 2 : l.x - w;
        places.push_back({x1, l.y - ascent, x1 + w, l.y + layout.descent});
      }
      const std::size_t best = best_place(places, plot_box, in_the_way);
      labels.push_back(candidates[best]);
      in_the_way.labels.push_back(places[best]);
    }
  s.set_text_colour(figure_layout::ink);
  for (const placed_label& l : labels) s.placed_text(l.x, l.y, *l.text, l.anchor, font);

  layout.draw_axes(
      s, x_ticks, [&](double v) { return xs.pixel(v); }, y_ticks, [&](double v) { return ys.pixel(v); },
      d.x_caption, d.y_caption);
  if (!d.title.empty()) layout.draw_title(s, d.title);
  if (series.empty()) {
    s.set_text_colour(figure_layout::ink);
    s.placed_text(left + layout.plot_w / 2, top + layout.plot_h / 2 + layout.half_cap, "no lines to plot",
                  text_anchor::middle, font);
    return;
  }

  // The legend: each series' marker on a stroke of its line, and its name.
  const int lx = layout.legend_x();
  for (std::size_t i = 0; i < series.size(); ++i) {
    int baseline = 0, mark_y = 0;
    if (!layout.legend_row(static_cast<int>(i), baseline, mark_y)) break;
    const drawn_series& ds = series[i];
    if (ds.line) {
      s.set_pen(ds.ink, layout.pen, pen_style::solid);
      s.line(lx, mark_y, lx + layout.swatch, mark_y);
    }
    s.set_pen(ds.ink, mark_pen, pen_style::solid);
    draw_marker(s, ds.mark, lx + layout.swatch / 2, mark_y, radius);
    layout.draw_legend_name(s, baseline, names[i]);
  }
}

std::string williamson_hall_svg(const williamson_hall_figure_data& d, int width, int height) {
  svg_surface s(std::max(width, 1), std::max(height, 1));
  draw_williamson_hall(s, d, 1.0);
  return s.document();
}
