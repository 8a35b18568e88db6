#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/platform/platform.h"
#include "app/views/axis_ticks.h"
#include "app/views/curve_family.h"

// The frame every figure for a document shares: white paper, a plot framed
// by axes with ticks and numbers, the y caption above the plot, the x
// caption below it, a legend right of it, and optionally a title over all.
// Texts, pens and margins grow with `scale` (1 as on a 96 dpi screen).
// A graph view draws its axes on the screen with the same layout, in the
// colours of its background, its legend inside the plot.
//
// The margins depend on the numbers (the y numbers' width) and the legend,
// and the x numbers on the plot's width, so a figure is laid out in steps:
// construct (the heights), choose the y ticks, leave room for them and for
// the legend (the widths), then choose the x ticks.
class figure_layout {
 public:
  static constexpr platform_types::colour paper{255, 255, 255};
  static constexpr platform_types::colour ink{0, 0, 0};

  figure_layout(const platform_types::surface& s, double scale, bool titled);

  // At least 1 pixel, as every size here.
  int scaled(double v) const;

  // As many y numbers as fit the plot's height with room between them.
  axis_ticks y_ticks(double lo, double hi) const;
  // Widens the left margin for these numbers.
  void make_room_left(const axis_ticks& y);
  // Shortens the names that would take more than two fifths of the figure's
  // width, and widens the right margin for them.
  void make_room_right(std::vector<std::string>& legend_names);
  // As many x numbers as fit side by side with room between them; after the
  // margins are set.
  axis_ticks x_ticks(double lo, double hi) const;

  // Paints the whole surface white.
  void draw_paper(platform_types::surface& s) const;
  // The frame just outside the plot's pixels (so that it hides nothing
  // drawn in them), the ticks where `x_pixel` and `y_pixel` put their
  // values (pixels of the surface), and the captions.
  void draw_axes(platform_types::surface& s, const axis_ticks& x, const std::function<int(double)>& x_pixel,
                 const axis_ticks& y, const std::function<int(double)>& y_pixel, const std::string& x_caption,
                 const std::string& y_caption) const;
  // Centred over the figure, shortened to its width.
  void draw_title(platform_types::surface& s, const std::string& title) const;
  // Legend rows from the top of the plot down, as many as its height holds:
  // false for a row below it. `baseline` is the row's text baseline, `mark_y`
  // the middle of its capitals (where a swatch is drawn).
  bool legend_row(int index, int& baseline, int& mark_y) const;
  // The name of a legend row, right of its swatch.
  void draw_legend_name(platform_types::surface& s, int baseline, const std::string& name) const;

  // Draws legend rows from `top_y` down, as many as fit above `limit_y`: a
  // swatch in each entry's colour (through `colour_of`) and pattern from
  // `x`, and the entry's name (from `names`, shortened as need be) right
  // of it. Returns the rows drawn.
  int draw_legend(platform_types::surface& s, int x, int top_y, int limit_y, const std::vector<legend_entry>& entries,
                  const std::vector<std::string>& names,
                  const std::function<platform_types::colour(platform_types::colour)>& colour_of) const;
  // How many legend rows fit from `top_y` to `limit_y`, and the height they take.
  int legend_rows(int top_y, int limit_y, int wanted) const;
  int legend_row_height() const { return font * 3 / 2; }

  // Frames, ticks and texts: black on paper, the screen's own on a view.
  platform_types::colour ink_colour = ink;

  // Sizes at the figure's scale.
  int font, gap, tick, pen, swatch;
  int half_cap;  // a text's baseline sits this far below its capitals' middle
  int descent;
  // The plot: its pixels are [left, left + plot_w) × [top, top + plot_h).
  int left = 0, top = 0, plot_w = 1, plot_h = 1;
  // Where a legend row's swatch begins.
  int legend_x() const { return left + plot_w + 2 * gap; }

 private:
  const platform_types::surface& surface_;
  double scale_;
  int width_, height_;
  int right_;
};

// Drops characters from the end until the text with "..." fits `room`.
std::string shortened(const platform_types::surface& s, std::string text, int size, int room);

// The part of the segment from (x1, y1) to (x2, y2) inside the rectangle
// [left, right] × [top, bottom], as the parameters t0 ≤ t1 of
// (x1, y1) + t (x2 − x1, y2 − y1) on [0, 1] (Liang and Barsky); false when
// no part is inside.
bool clip_segment_to(double x1, double y1, double x2, double y2, double left, double top, double right, double bottom,
                     double& t0, double& t1);
