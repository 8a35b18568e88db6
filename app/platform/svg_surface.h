#pragma once

#include <string>
#include <vector>

#include "app/platform/platform.h"

// A drawing surface that writes an SVG document, one element per call: the
// figures of the batch tool and of the scripted platform. Coordinates are
// the surface's pixels; strokes run through pixel centres, so that one
// pixel wide lines stay sharp, and rectangles take their right and bottom
// edges as exclusive, as on the screen's surfaces.
class svg_surface : public platform_types::surface {
 public:
  svg_surface(int width, int height) : width_(width), height_(height) {}

  int width() const override { return width_; }
  int height() const override { return height_; }
  void set_pen(platform_types::colour c, int width, platform_types::pen_style style) override;
  void set_fill(platform_types::colour c) override { fill_ = c; }
  void set_text_colour(platform_types::colour c) override { text_colour_ = c; }
  void fill_rect(int x1, int y1, int x2, int y2) override;
  void line(int x1, int y1, int x2, int y2) override;
  void polyline(const std::vector<int>& xy) override;
  void pixel(int x, int y, platform_types::colour c) override;
  void rectangle(int x1, int y1, int x2, int y2) override;
  void ellipse(int x1, int y1, int x2, int y2) override;
  void text(int x, int y, const std::string& s) override;
  void placed_text(int x, int y, const std::string& s, platform_types::text_anchor anchor, int size) override;

  // The whole document, with what was drawn so far.
  std::string document() const;

  // A text as XML character data or an attribute value: the markup
  // characters as entities, control characters and malformed UTF-8 (a file
  // name may hold any bytes) as U+FFFD.
  static std::string escaped(const std::string& s);
  // "#rrggbb".
  static std::string hex(platform_types::colour c);

 private:
  std::string stroke() const;

  int width_;
  int height_;
  platform_types::colour pen_{0, 0, 0};
  int pen_width_ = 1;
  platform_types::pen_style style_ = platform_types::pen_style::solid;
  platform_types::colour fill_{255, 255, 255};
  platform_types::colour text_colour_{0, 0, 0};
  std::string body_;
};
