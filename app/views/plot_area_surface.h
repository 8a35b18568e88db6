#pragma once

#include <string>
#include <vector>

#include "app/platform/platform.h"
#include "app/views/clipped_run.h"
#include "app/views/view_look.h"

// The plot of a graph view inside its window, seen as a surface: what the
// curves draw is passed on clipped to the plot's pixels (the axes' margins
// stay clear) and in the colours of the view's background.
class plot_area_surface : public platform_types::surface {
 public:
  // The plot is the pixels [left, right] x [top, bottom] of `out`.
  plot_area_surface(platform_types::surface& out, int left, int top, int right, int bottom, const view_look& look);

  int width() const override { return out_.width(); }
  int height() const override { return out_.height(); }
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
  bool inside(int x, int y) const { return x >= left_ && y >= top_ && x <= right_ && y <= bottom_; }
  bool all_inside(const std::vector<int>& xy) const;

  platform_types::surface& out_;
  int left_, top_, right_, bottom_;
  const view_look& look_;
  clipped_run run_;
};
