#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QBrush>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPen>

#include "app/platform/platform.h"

// A drawing surface over a QPainter: a widget being painted, or an
// off-screen picture (a QImage, painted on demand). Coordinates are logical
// pixels; a picture made for a high-DPI screen holds more device pixels and
// stays sharp. Rectangles take their right and bottom edges as exclusive,
// as the view's painting expects.
class qt_surface : public platform_types::surface {
 public:
  // Paints through a painter that is already active (a paint event's).
  qt_surface(QPainter& painter, int width, int height);
  // Paints into an image of width x height logical pixels; the painter is
  // begun when first needed and ended by end().
  qt_surface(QImage& image, int width, int height);
  ~qt_surface() override;

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
  // Placed and measured in the painter's font family at `size` pixels.
  void placed_text(int x, int y, const std::string& s, platform_types::text_anchor anchor, int size) override;
  int text_width(const std::string& s, int size) const override;

  // The painter, begun on the image if need be.
  QPainter& painter();
  // Ends painting on the image, so that it can be drawn elsewhere.
  void end();

 private:
  // Lines of a solid pen one pixel wide, drawn straight into the picture's
  // pixels: a view of many dense curves draws hundreds of thousands of
  // segments per paint, which the painter's general stroker makes slow.
  // False when the picture or the pen does not allow it.
  bool direct_polyline(const std::vector<int>& xy);

  QPainter* external_ = nullptr;
  QImage* image_ = nullptr;
  std::unique_ptr<QPainter> own_;
  int width_;
  int height_;
  QPen pen_;
  QBrush fill_;
  QColor text_colour_;
  // The family the painter starts with: texts of every size take it.
  QFont font_;
  // The metrics of the last size measured: the axes and a legend measure
  // and place dozens of texts of one size per paint.
  const QFontMetrics& metrics(int size) const;
  mutable std::unique_ptr<QFontMetrics> metrics_;
  mutable int metrics_size_ = -1;
};

QColor to_qcolor(platform_types::colour c);
