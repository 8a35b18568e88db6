#pragma once

#include <cstdint>
#include <vector>

#include "xrd/chain/show_bits.h"

// What the curves need to know of the graph view that shows them: which
// families it shows and the world window it maps. The graph view of the
// application implements it; tests record it.
class plot_view {
 public:
  virtual ~plot_view() = default;
  virtual std::uint32_t show_bits() const = 0;
  virtual double x_left() const = 0;
  virtual double x_right() const = 0;
  virtual double y_bottom() const = 0;
  virtual double y_top() const = 0;
  virtual void redraw() = 0;
};

// How a curve is drawn: the pen's width in pixels and its style, the half
// size of the box drawn around each point (1: no boxes), whether only the
// points are set, and whether the curve is being dragged (it then shows
// handles instead of boxes).
struct curve_look {
  enum class style { solid = 0, dash = 1, dot = 2 };
  int line_width = 1;
  style line_style = style::solid;
  int box_size = 1;
  bool dots = false;
  bool selected = false;
};

// Where a curve is drawn, in world coordinates; the view maps them to pixels
// and chooses the colour (that of the curve's data file).
class plot_surface {
 public:
  virtual ~plot_surface() = default;
  virtual void polyline(const double* x, const double* y, int n) = 0;
  // The measuring line of a peak measure.
  virtual void segment(double x1, double y1, double x2, double y2) = 0;
  // A curve with its look; surfaces that draw only the shape take the line.
  virtual void curve(const double* x, const double* y, int n, const curve_look&) { polyline(x, y, n); }
  // A curve on a stepped abscissa: point i at x = (first + i) * dx + x1,
  // as the curve computes it, with the ordinate y[i] / divisor. Surfaces
  // that can draw it without the points' x (the views, which draw dense
  // curves column by column) say so here.
  virtual void stepped_curve(double x1, double dx, int first, const float* y, int n, double divisor,
                             const curve_look& look) {
    std::vector<double> xs(static_cast<std::size_t>(n > 0 ? n : 0));
    std::vector<double> ys(xs.size());
    for (int i = 0; i < n; ++i) {
      xs[static_cast<std::size_t>(i)] = (first + i) * dx + x1;
      ys[static_cast<std::size_t>(i)] = y[i] / divisor;
    }
    curve(xs.data(), ys.data(), n, look);
  }
};
