#include "app/views/series_plot.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <limits>
#include <utility>

#include "app/views/axis_ticks.h"
#include "app/views/figure_layout.h"
#include "app/views/view_look.h"

namespace {

bool is_uncertainty(const std::string& column) {
  return column.size() > 2 && column.compare(column.size() - 2, 2, "_u") == 0;
}

// The rows a hint names one by one; beyond them it counts.
constexpr std::size_t named_rows = 5;

// A value range with room round it, so that no point sits on the frame.
void widen(double& lo, double& hi) {
  if (!(hi > lo)) {
    const double half = lo == 0.0 ? 1.0 : std::abs(lo) * 0.1;
    lo -= half;
    hi += half;
    return;
  }
  // Half spans throughout: a whole one may overflow where the values do not.
  const double pad = (hi / 2 - lo / 2) * 0.1;
  if (std::isfinite(lo - pad)) lo -= pad;
  if (std::isfinite(hi + pad)) hi += pad;
}

// The pixel of `v` on an axis from `lo` (at pixel `from`) to `hi` (at `to`),
// kept within reach of the surface whatever the values.
int pixel_of(double v, double lo, double hi, int from, int to) {
  const double share = (v / 2 - lo / 2) / (hi / 2 - lo / 2);
  const double p = from + share * (to - from);
  if (!(p > -1e6)) return -1000000;
  if (!(p < 1e6)) return 1000000;
  return static_cast<int>(std::lround(p));
}

}  // namespace

series_plot::series_plot(std::string path, series_table table) : path_(std::move(path)), table_(std::move(table)) {
  const std::vector<std::string> drawable = table_.drawable_columns();
  for (const std::string& c : drawable)
    if (!is_uncertainty(c)) {
      column_ = c;
      break;
    }
  if (column_.empty() && !drawable.empty()) column_ = drawable.front();
}

std::string series_plot::table_name() const { return std::filesystem::path(path_).filename().string(); }

bool series_plot::choose_column(const std::string& column) {
  const int c = table_.column_of(column);
  if (c < 0 || !table_.numeric[static_cast<std::size_t>(c)]) return false;
  column_ = column;
  return true;
}

bool series_plot::choose_temperature(bool against_temperature) {
  if (against_temperature && !table_.has_temperatures()) return false;
  against_temperature_ = against_temperature;
  return true;
}

int series_plot::uncertainty_column() const {
  if (is_uncertainty(column_)) return -1;
  const int u = table_.column_of(column_ + "_u");
  return u >= 0 && table_.numeric[static_cast<std::size_t>(u)] ? u : -1;
}

std::vector<std::vector<series_plot::point>> series_plot::runs() const {
  std::vector<std::vector<point>> out;
  const int c = table_.column_of(column_);
  if (c < 0) return out;
  const int u = uncertainty_column();
  bool broken = true;
  for (std::size_t i = 0; i < table_.rows.size(); ++i) {
    const series_table::row& r = table_.rows[i];
    const double y = r.values[static_cast<std::size_t>(c)];
    const double x = against_temperature_ ? r.temperature_C : static_cast<double>(r.index);
    if (!std::isfinite(x) || !std::isfinite(y)) {
      broken = true;
      continue;
    }
    if (broken) out.emplace_back();
    broken = false;
    point p{x, y, series_table::none, static_cast<int>(i)};
    if (u >= 0) {
      const double bar = r.values[static_cast<std::size_t>(u)];
      if (std::isfinite(bar)) p.u = std::abs(bar);
    }
    out.back().push_back(p);
  }
  return out;
}

std::vector<series_plot::left_out> series_plot::rows_left_out() const {
  std::vector<left_out> out;
  const int c = table_.column_of(column_);
  for (const series_table::row& r : table_.rows) {
    const double y = c < 0 ? series_table::none : r.values[static_cast<std::size_t>(c)];
    std::string why;
    if (!std::isfinite(y))
      why = r.warning.empty() ? "no " + column_ : r.warning;
    else if (against_temperature_ && !std::isfinite(r.temperature_C))
      why = "no temperature";
    else
      continue;
    out.push_back({r.index, why});
  }
  return out;
}

std::string series_plot::x_caption() const {
  return against_temperature_ ? series_column_caption("temperature_C") : "scan index";
}

std::string series_plot::y_caption() const { return series_column_caption(column_); }

legend_entry series_plot::legend() const {
  return {table_name() + ": " + column_, colour, platform_types::pen_style::solid};
}

std::string series_plot::hint() const {
  std::string text = table_name() + ": " + column_ + " against ";
  text += against_temperature_ ? "temperature" : "scan index";
  const std::vector<left_out> out = rows_left_out();
  const std::size_t drawn = table_.rows.size() - out.size();
  text += ", " + std::to_string(drawn) + " of " + std::to_string(table_.rows.size()) + " rows drawn";
  if (out.empty()) return text;
  text += "; left out:";
  for (std::size_t i = 0; i < out.size() && i < named_rows; ++i)
    text += std::string(i ? "," : "") + " row " + std::to_string(out[i].index) + " (" + out[i].why + ")";
  if (out.size() > named_rows) text += " and " + std::to_string(out.size() - named_rows) + " more";
  return text;
}

void series_plot::draw(platform_types::surface& s, const view_look& look) const {
  using platform_types::pen_style;
  s.set_fill(look.background());
  s.fill_rect(0, 0, s.width(), s.height());

  const std::vector<std::vector<point>> drawn = runs();
  double x_lo = std::numeric_limits<double>::infinity(), x_hi = -x_lo, y_lo = x_lo, y_hi = -x_lo;
  for (const auto& run : drawn)
    for (const point& p : run) {
      const double bar = std::isnan(p.u) ? 0.0 : p.u;
      x_lo = std::min(x_lo, p.x);
      x_hi = std::max(x_hi, p.x);
      // A bar past the largest double reaches no further than its point.
      y_lo = std::min(y_lo, std::isfinite(p.y - bar) ? p.y - bar : p.y);
      y_hi = std::max(y_hi, std::isfinite(p.y + bar) ? p.y + bar : p.y);
    }
  const bool empty = drawn.empty();
  if (!empty) {
    widen(x_lo, x_hi);
    widen(y_lo, y_hi);
  }

  figure_layout layout(s, 1.0, false);
  layout.ink_colour = look.ink();
  // Headroom for the legend, so that it hides no point: a series often
  // rises to its end, which is where the legend stands.
  const double legend_share = static_cast<double>(layout.font + 3 * layout.gap) / std::max(layout.plot_h, 1);
  if (const double room = (y_hi / 2 - y_lo / 2) * 2 * legend_share / (1.0 - legend_share);
      !empty && legend_share < 0.5 && std::isfinite(y_hi + room))
    y_hi += room;
  const axis_ticks y_ticks = empty ? axis_ticks{} : layout.y_ticks(y_lo, y_hi);
  layout.make_room_left(y_ticks);
  std::vector<std::string> no_legend;  // the legend stands inside the plot, as on the graph views
  layout.make_room_right(no_legend);
  axis_ticks x_ticks = empty ? axis_ticks{} : layout.x_ticks(x_lo, x_hi);
  // Scans are counted: no tick between two of them.
  if (!against_temperature_ && x_ticks.step < 1.0) {
    axis_ticks whole;
    whole.step = 1.0;
    for (std::size_t i = 0; i < x_ticks.values.size(); ++i)
      if (x_ticks.values[i] == std::round(x_ticks.values[i])) {
        whole.values.push_back(x_ticks.values[i]);
        char label[32];
        std::snprintf(label, sizeof label, "%.0f", x_ticks.values[i]);
        whole.labels.emplace_back(label);
      }
    x_ticks = std::move(whole);
  }

  const int left = layout.left, top = layout.top;
  const int right = left + layout.plot_w - 1, bottom = top + layout.plot_h - 1;
  const auto x_pixel = [&](double x) { return pixel_of(x, x_lo, x_hi, left, right); };
  const auto y_pixel = [&](double y) { return pixel_of(y, y_lo, y_hi, bottom, top); };

  layout.draw_axes(s, x_ticks, x_pixel, y_ticks, y_pixel, x_caption(), y_caption());
  if (empty) {
    s.set_text_colour(look.ink());
    s.placed_text(left + layout.plot_w / 2, top + layout.plot_h / 2 + layout.half_cap, "no " + column_ + " to plot",
                  platform_types::text_anchor::middle, layout.font);
    return;
  }

  const platform_types::colour ink = look.on_background(colour);
  const int cap = layout.scaled(3), box = layout.scaled(2);
  s.set_pen(ink, layout.pen, pen_style::solid);
  for (const auto& run : drawn) {
    std::vector<int> xy;
    for (const point& p : run) {
      xy.push_back(x_pixel(p.x));
      xy.push_back(y_pixel(p.y));
    }
    if (run.size() > 1) s.polyline(xy);
    for (const point& p : run) {
      const int x = x_pixel(p.x), y = y_pixel(p.y);
      s.rectangle(x - box, y - box, x + box, y + box);
      if (std::isnan(p.u)) continue;
      const int low = y_pixel(p.y - p.u), high = y_pixel(p.y + p.u);
      s.line(x, low, x, high);
      s.line(x - cap, low, x + cap, low);
      s.line(x - cap, high, x + cap, high);
    }
  }
  draw_legend(s, look, layout);
}

void series_plot::draw_legend(platform_types::surface& s, const view_look& look, const figure_layout& layout) const {
  // In the plot's top right corner, on a box of the background, its name
  // shortened only beyond three fifths of the plot.
  const legend_entry entry = legend();
  const int room = std::max(layout.plot_w * 3 / 5 - 4 * layout.gap - layout.swatch, layout.font);
  const std::vector<std::string> names{shortened(s, entry.name, layout.font, room)};
  const int box_w = layout.gap + layout.swatch + layout.gap + s.text_width(names.front(), layout.font) + layout.gap;
  const int right = layout.left + layout.plot_w - 1;
  const int box_left = right - layout.gap - box_w, box_top = layout.top + layout.gap;
  const int box_bottom = box_top + layout.font + layout.gap;
  if (box_left <= layout.left || box_bottom >= layout.top + layout.plot_h) return;
  s.set_fill(look.background());
  s.fill_rect(box_left, box_top - layout.gap / 2, box_left + box_w, box_bottom);
  s.set_pen(look.ink(), 1, platform_types::pen_style::solid);
  s.rectangle(box_left, box_top - layout.gap / 2, box_left + box_w, box_bottom);
  layout.draw_legend(s, box_left + layout.gap, box_top, box_bottom, {entry}, names,
                     [&look](platform_types::colour c) { return look.on_background(c); });
}
