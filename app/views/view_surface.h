#pragma once

#include <string>
#include <utility>
#include <vector>

#include "app/platform/platform.h"
#include "app/views/win_lims_9.h"
#include "xrd/plots/plot_view.h"

// The surface the plots of a graph view draw on: it maps their world
// coordinates through the view's limits onto the pixels of the view's
// off-screen picture, in the colour of the file being drawn.
class view_surface : public plot_surface {
 public:
  view_surface(const win_lims_9& lims, platform_types::surface& out, int handle_size)
      : lims_(lims), out_(out), handle_size_(handle_size) {}

  void set_colour(platform_types::colour c) { colour_ = c; }
  // The pattern of the family being drawn: the lines of a curve whose look
  // asks for none (solid) take it.
  void set_family_style(platform_types::pen_style s) { family_style_ = s; }
  platform_types::pen_style style_of(const curve_look& look) const;
  // Whether a curve has been drawn since the last call: a legend lists
  // only the curves that are.
  bool take_drawn() { return std::exchange(drawn_, false); }

  void polyline(const double* x, const double* y, int n) override;
  // The measuring line: white, one pixel wide, its end pixel set.
  void segment(double x1, double y1, double x2, double y2) override;
  // The curve in the file's colour with its pen, then boxes around its
  // points, or handles along it while it is being dragged.
  void curve(const double* x, const double* y, int n, const curve_look& look) override;
  // A curve denser than the pixels (more than two points per pixel column)
  // is drawn column by column: in each column the span between its lowest
  // and highest point, joined to the next column from its last point. The
  // pixels are those of the full line, without a segment per point.
  void stepped_curve(double x1, double dx, int first, const float* y, int n, double divisor,
                     const curve_look& look) override;
  // A short text in the file's colour, centred with its baseline a few
  // pixels over the point (a line's hkl over its mark).
  void label(double x, double y, const std::string& text);

  // Whether dense curves are drawn column by column (on by default; the
  // full drawing is kept to compare with).
  static void set_column_drawing(bool on);

 private:
  // The columns gathered in points_ (four points each: enter, low, high,
  // leave), in the curve's pattern counted across the columns.
  void draw_columns(const curve_look& look);
  // The pixels of points 0 .. n-1, as `at(i, px, py)` gives them.
  template <class At>
  void draw_points(int n, const curve_look& look, At at);

  // Kept between curves: no allocation per curve.
  std::vector<int> points_;
  std::vector<int> run_;

  const win_lims_9& lims_;
  platform_types::surface& out_;
  int handle_size_;
  platform_types::colour colour_{255, 255, 255};
  platform_types::pen_style family_style_ = platform_types::pen_style::solid;
  bool drawn_ = false;
};

// The half size of a drag handle in pixels: the outside record
// "pen_box_size", read once.
int pen_box_size();
