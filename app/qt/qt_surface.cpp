#include "app/qt/qt_surface.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include <QFontMetrics>
#include <QPolygon>
#include <QString>

QColor to_qcolor(platform_types::colour c) { return QColor(c.r, c.g, c.b); }

namespace {

// The pattern every surface draws, as the painter takes it.
void apply_style(QPen& pen, platform_types::pen_style s) {
  const std::vector<int>& pattern = platform_types::dash_pattern(s);
  if (pattern.empty()) {
    pen.setStyle(Qt::SolidLine);
    return;
  }
  QList<qreal> lengths;
  for (int v : pattern) lengths.append(v);
  pen.setDashPattern(lengths);
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
  pen_ = QPen(to_qcolor(c), width < 1 ? 1 : width, Qt::SolidLine);
  apply_style(pen_, style);
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

bool qt_surface::direct_polyline(const std::vector<int>& xy) {
  if (!image_ || image_->devicePixelRatio() != 1.0 || pen_.style() != Qt::SolidLine || pen_.width() > 1 ||
      image_->format() != QImage::Format_RGB32)
    return false;
  // What the painter has drawn must be in the pixels before they are
  // written here, and nothing of it may come after.
  end();
  const int w = image_->width();
  const int h = image_->height();
  const QRgb colour = pen_.color().rgb();
  uchar* bits = image_->bits();
  const qsizetype stride = image_->bytesPerLine();
  auto put = [&](int x, int y) {
    if (x >= 0 && y >= 0 && x < w && y < h) reinterpret_cast<QRgb*>(bits + y * stride)[x] = colour;
  };
  // Each segment from its first pixel up to, not including, its last (the
  // next segment starts there; the caller sets the curve's last pixel).
  for (std::size_t i = 0; i + 3 < xy.size(); i += 2) {
    int x0 = xy[i], y0 = xy[i + 1];
    const int x1 = xy[i + 2], y1 = xy[i + 3];
    if (x0 == x1) {
      // Vertical: a run of one column, the common case of a dense curve.
      if (x0 < 0 || x0 >= w || y0 == y1) continue;
      const int step = y1 > y0 ? 1 : -1;
      int from = y0, to = y1 - step;
      if (from > to) std::swap(from, to);
      from = std::max(from, 0);
      to = std::min(to, h - 1);
      for (int y = from; y <= to; ++y) reinterpret_cast<QRgb*>(bits + y * stride)[x0] = colour;
      continue;
    }
    const int dx = std::abs(x1 - x0), sx = x0 < x1 ? 1 : -1;
    const int dy = -std::abs(y1 - y0), sy = y0 < y1 ? 1 : -1;
    int err = dx + dy;
    while (x0 != x1 || y0 != y1) {
      put(x0, y0);
      const int e2 = 2 * err;
      if (e2 >= dy) {
        err += dy;
        x0 += sx;
      }
      if (e2 <= dx) {
        err += dx;
        y0 += sy;
      }
    }
  }
  return true;
}

void qt_surface::polyline(const std::vector<int>& xy) {
  if (direct_polyline(xy)) return;
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

namespace {

QFont sized(QFont f, int size) {
  if (size > 0) f.setPixelSize(size);
  return f;
}

}  // namespace

const QFontMetrics& qt_surface::metrics(int size) const {
  if (!metrics_ || metrics_size_ != size) {
    metrics_ = std::make_unique<QFontMetrics>(sized(font_, size));
    metrics_size_ = size;
  }
  return *metrics_;
}

int qt_surface::text_width(const std::string& s, int size) const {
  return metrics(size).horizontalAdvance(QString::fromStdString(s));
}

void qt_surface::placed_text(int x, int y, const std::string& s, platform_types::text_anchor anchor, int size) {
  const QFont f = sized(font_, size);
  const QString t = QString::fromStdString(s);
  const int w = metrics(size).horizontalAdvance(t);
  QPainter& p = painter();
  const QFont before = p.font();
  p.setFont(f);
  p.setPen(text_colour_);
  p.drawText(anchor == platform_types::text_anchor::start    ? x
             : anchor == platform_types::text_anchor::middle ? x - w / 2
                                                             : x - w,
             y, t);
  p.setFont(before);
  p.setPen(pen_);
}
