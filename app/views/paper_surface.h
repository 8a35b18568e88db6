#pragma once

#include <string>
#include <vector>

#include "app/platform/platform.h"
#include "app/views/clipped_run.h"

// The colour a curve takes on white paper: one whose contrast with white is
// below 3:1 (the screen's bright yellows and cyans) is darkened until it
// reaches it, all its components scaled alike so that its hue stays; a
// darker colour is kept.
platform_types::colour readable_on_white(platform_types::colour c);

// The plot of an exported figure, seen as a surface of its own: the curves
// draw on it as on a view's picture, and it passes their drawing on to the
// figure's surface moved to the plot's place, clipped to the plot, in
// colours readable on white, and with pens as wide as the figure's
// resolution asks.
class paper_surface : public platform_types::surface {
 public:
  // The plot is `width` x `height` pixels of `out` from (left, top);
  // `scale` widens the pens (1 at 96 dpi).
  paper_surface(platform_types::surface& out, int left, int top, int width, int height, double scale);

  int width() const override { return width_; }
  int height() const override { return height_; }
  void set_pen(platform_types::colour c, int width, platform_types::pen_style style) override;
  void set_fill(platform_types::colour c) override;
  void set_text_colour(platform_types::colour c) override;
  void fill_rect(int x1, int y1, int x2, int y2) override;
  void line(int x1, int y1, int x2, int y2) override;
  void polyline(const std::vector<int>& xy) override;
  void pixel(int x, int y, platform_types::colour c) override;
  void rectangle(int x1, int y1, int x2, int y2) override;
  void ellipse(int x1, int y1, int x2, int y2) override;
  void text(int x, int y, const std::string& s) override;
  void placed_text(int x, int y, const std::string& s, platform_types::text_anchor anchor, int size) override;
  int text_width(const std::string& s, int size) const override { return out_.text_width(s, size); }

 private:
  bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }

  platform_types::surface& out_;
  int left_;
  int top_;
  int width_;
  int height_;
  double scale_;
  clipped_run run_;
};
