#include "app/qt/qt_surface.h"

#include <QPolygon>
#include <QString>

QColor to_qcolor(platform_types::colour c) { return QColor(c.r, c.g, c.b); }

namespace {

Qt::PenStyle qt_style(platform_types::pen_style s) {
  switch (s) {
    case platform_types::pen_style::dash:
      return Qt::DashLine;
    case platform_types::pen_style::dot:
      return Qt::DotLine;
    case platform_types::pen_style::solid:
      break;
  }
  return Qt::SolidLine;
}

}  // namespace

qt_surface::qt_surface(QPainter& painter, int width, int height)
    : external_(&painter), width_(width), height_(height), pen_(Qt::white), fill_(Qt::black), text_colour_(Qt::white) {}

qt_surface::qt_surface(QImage& image, int width, int height)
    : image_(&image), width_(width), height_(height), pen_(Qt::white), fill_(Qt::black), text_colour_(Qt::white) {}

qt_surface::~qt_surface() { end(); }

QPainter& qt_surface::painter() {
  if (external_) return *external_;
  if (!own_) {
    own_ = std::make_unique<QPainter>(image_);
    // Curves are drawn pixel for pixel, as they were measured.
    own_->setRenderHint(QPainter::Antialiasing, false);
  }
  own_->setPen(pen_);
  return *own_;
}

void qt_surface::end() {
  if (own_) {
    own_->end();
    own_.reset();
  }
}

void qt_surface::set_pen(platform_types::colour c, int width, platform_types::pen_style style) {
  pen_ = QPen(to_qcolor(c), width < 1 ? 1 : width, qt_style(style));
  pen_.setCosmetic(true);
  pen_.setCapStyle(Qt::FlatCap);
  painter().setPen(pen_);
}

void qt_surface::set_fill(platform_types::colour c) { fill_ = QBrush(to_qcolor(c)); }

void qt_surface::set_text_colour(platform_types::colour c) { text_colour_ = to_qcolor(c); }

void qt_surface::fill_rect(int x1, int y1, int x2, int y2) { painter().fillRect(QRect(x1, y1, x2 - x1, y2 - y1), fill_); }

void qt_surface::line(int x1, int y1, int x2, int y2) {
  QPainter& p = painter();
  p.setPen(pen_);
  p.drawLine(x1, y1, x2, y2);
}

void qt_surface::polyline(const std::vector<int>& xy) {
  QPolygon points;
  points.reserve(static_cast<int>(xy.size() / 2));
  for (std::size_t i = 0; i + 1 < xy.size(); i += 2) points.append(QPoint(xy[i], xy[i + 1]));
  QPainter& p = painter();
  p.setPen(pen_);
  p.drawPolyline(points);
}

void qt_surface::pixel(int x, int y, platform_types::colour c) {
  QPainter& p = painter();
  p.setPen(QPen(to_qcolor(c), 1));
  p.drawPoint(x, y);
  p.setPen(pen_);
}

void qt_surface::rectangle(int x1, int y1, int x2, int y2) {
  QPainter& p = painter();
  p.setPen(pen_);
  p.setBrush(Qt::NoBrush);
  p.drawRect(x1, y1, x2 - x1, y2 - y1);
}

void qt_surface::ellipse(int x1, int y1, int x2, int y2) {
  QPainter& p = painter();
  p.setPen(pen_);
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(x1, y1, x2 - x1, y2 - y1);
}

void qt_surface::text(int x, int y, const std::string& s) {
  QPainter& p = painter();
  p.setPen(text_colour_);
  p.drawText(x, y, QString::fromStdString(s));
  p.setPen(pen_);
}
