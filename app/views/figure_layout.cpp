#include "app/views/figure_layout.h"

#include <algorithm>
#include <cmath>

using platform_types::text_anchor;

std::string shortened(const platform_types::surface& s, std::string text, int size, int room) {
  if (s.text_width(text, size) <= room) return text;
  while (!text.empty() && s.text_width(text + "...", size) > room) {
    // A whole UTF-8 character at a time.
    while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) text.pop_back();
    if (!text.empty()) text.pop_back();
  }
  return text + "...";
}

int figure_layout::scaled(double v) const { return std::max(1, static_cast<int>(std::lround(v * scale_))); }

figure_layout::figure_layout(const platform_types::surface& s, double scale, bool titled)
    : surface_(s), scale_(scale), width_(s.width()), height_(s.height()) {
  font = scaled(12);
  gap = scaled(6);
  tick = scaled(5);
  pen = scaled(1);
  swatch = scaled(24);
  half_cap = font * 7 / 20;
  descent = font / 5;
  // The y caption above the plot (under the title), the x numbers and
  // caption below it.
  top = gap + font + gap + (titled ? font + gap : 0);
  const int bottom = tick + gap + font + gap + font + gap;
  plot_h = std::max(height_ - top - bottom, 1);
  right_ = gap + font;
  left = gap + gap + tick + pen;
  plot_w = std::max(width_ - left - right_, 1);
}

axis_ticks figure_layout::y_ticks(double lo, double hi) const {
  return axis_ticks::choose(lo, hi, std::min(10, plot_h / (3 * font)));
}

void figure_layout::make_room_left(const axis_ticks& y) {
  int widest = 0;
  for (const std::string& l : y.labels) widest = std::max(widest, surface_.text_width(l, font));
  left = gap + widest + gap + tick + pen;
  plot_w = std::max(width_ - left - right_, 1);
}

void figure_layout::make_room_right(std::vector<std::string>& legend_names) {
  int legend_w = 0;
  if (!legend_names.empty()) {
    // Long names give way to the plot beyond two fifths of the width.
    const int room = std::max(width_ * 2 / 5 - 4 * gap - swatch, font);
    for (std::string& name : legend_names) {
      name = shortened(surface_, name, font, room);
      legend_w = std::max(legend_w, surface_.text_width(name, font));
    }
    legend_w += 4 * gap + swatch;
  }
  right_ = std::max(legend_w, gap + font);
  plot_w = std::max(width_ - left - right_, 1);
}

axis_ticks figure_layout::x_ticks(double lo, double hi) const {
  axis_ticks x;
  for (int most = std::min(10, plot_w / (2 * font)); most >= 2; --most) {
    x = axis_ticks::choose(lo, hi, most);
    int longest = 0;
    for (const std::string& l : x.labels) longest = std::max(longest, surface_.text_width(l, font));
    if (static_cast<int>(x.values.size()) * (longest + font) <= plot_w) break;
  }
  return x;
}

void figure_layout::draw_paper(platform_types::surface& s) const {
  s.set_fill(paper);
  s.fill_rect(0, 0, width_, height_);
}

void figure_layout::draw_axes(platform_types::surface& s, const axis_ticks& x,
                              const std::function<int(double)>& x_pixel, const axis_ticks& y,
                              const std::function<int(double)>& y_pixel, const std::string& x_caption,
                              const std::string& y_caption) const {
  s.set_pen(ink_colour, pen, platform_types::pen_style::solid);
  s.rectangle(left - 1, top - 1, left + plot_w, top + plot_h);
  s.set_text_colour(ink_colour);
  for (std::size_t i = 0; i < x.values.size(); ++i) {
    const int px = x_pixel(x.values[i]);
    s.line(px, top + plot_h, px, top + plot_h + tick);
    s.placed_text(px, top + plot_h + tick + gap + font - descent, x.labels[i], text_anchor::middle, font);
  }
  for (std::size_t i = 0; i < y.values.size(); ++i) {
    const int py = y_pixel(y.values[i]);
    s.line(left - 1 - tick, py, left - 1, py);
    s.placed_text(left - 1 - tick - gap, py + half_cap, y.labels[i], text_anchor::end, font);
  }
  s.placed_text(left + plot_w / 2, height_ - gap - descent, x_caption, text_anchor::middle, font);
  s.placed_text(left - 1, top - gap - descent, y_caption, text_anchor::start, font);
}

void figure_layout::draw_title(platform_types::surface& s, const std::string& title) const {
  s.set_text_colour(ink_colour);
  s.placed_text(width_ / 2, gap + font - descent, shortened(s, title, font, std::max(width_ - 2 * gap, font)),
                text_anchor::middle, font);
}

bool figure_layout::legend_row(int index, int& baseline, int& mark_y) const {
  baseline = top + font + index * (font * 3 / 2);
  mark_y = baseline - half_cap;
  return baseline <= top + plot_h;
}

void figure_layout::draw_legend_name(platform_types::surface& s, int baseline, const std::string& name) const {
  s.set_text_colour(ink_colour);
  s.placed_text(legend_x() + swatch + gap, baseline, name, text_anchor::start, font);
}

int figure_layout::legend_rows(int top_y, int limit_y, int wanted) const {
  int rows = 0;
  while (rows < wanted && top_y + font + rows * legend_row_height() <= limit_y) ++rows;
  return rows;
}

int figure_layout::draw_legend(platform_types::surface& s, int x, int top_y, int limit_y,
                               const std::vector<legend_entry>& entries, const std::vector<std::string>& names,
                               const std::function<platform_types::colour(platform_types::colour)>& colour_of) const {
  const int rows = legend_rows(top_y, limit_y, static_cast<int>(std::min(entries.size(), names.size())));
  for (int i = 0; i < rows; ++i) {
    const legend_entry& e = entries[static_cast<std::size_t>(i)];
    const int baseline = top_y + font + i * legend_row_height();
    const int mark_y = baseline - half_cap;
    // As wide as the curves, so that the pattern shows as it does along them.
    s.set_pen(colour_of(e.colour), pen, e.style);
    s.line(x, mark_y, x + swatch, mark_y);
    s.set_text_colour(ink_colour);
    s.placed_text(x + swatch + gap, baseline, names[static_cast<std::size_t>(i)], text_anchor::start, font);
  }
  return rows;
}

bool clip_segment_to(double x1, double y1, double x2, double y2, double left, double top, double right, double bottom,
                     double& t0, double& t1) {
  const double dx = x2 - x1, dy = y2 - y1;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {x1 - left, right - x1, y1 - top, bottom - y1};
  t0 = 0.0;
  t1 = 1.0;
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0.0) {
      if (q[i] < 0.0) return false;
      continue;
    }
    const double r = q[i] / p[i];
    if (p[i] < 0.0)
      t0 = std::max(t0, r);
    else
      t1 = std::min(t1, r);
  }
  return t0 <= t1;
}
