#include "app/qt/icons.h"

#include <cmath>

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "app/qt/qt_surface.h"

namespace {

constexpr int icon_size = 20;

// A canvas of icon_size logical pixels, sharp on the screen it is shown on.
QPixmap canvas() {
  const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
  QPixmap p(QSize(icon_size, icon_size) * ratio);
  p.setDevicePixelRatio(ratio);
  p.fill(Qt::transparent);
  return p;
}

void arrow_head(QPainter& p, QPointF tip, QPointF from) {
  const QPointF d = tip - from;
  const qreal length = std::hypot(d.x(), d.y());
  if (length <= 0) return;
  const QPointF u = d / length;
  const QPointF n(-u.y(), u.x());
  QPainterPath head;
  head.moveTo(tip);
  head.lineTo(tip - u * 5 + n * 3.5);
  head.lineTo(tip - u * 5 - n * 3.5);
  head.closeSubpath();
  p.fillPath(head, p.pen().color());
}

void arrow(QPainter& p, QPointF from, QPointF to) {
  p.drawLine(from, to - (to - from) * (4.0 / std::hypot((to - from).x(), (to - from).y())));
  arrow_head(p, to, from);
}

// Extend y: a double vertical arrow (extend up or down).
QPixmap extend_y() {
  QPixmap pm = canvas();
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(30, 30, 30), 2));
  arrow(p, {10, 10}, {10, 2});
  arrow(p, {10, 10}, {10, 18});
  return pm;
}

// Extend x: two arrows pointing towards a centre line (extend left or right).
QPixmap towards_centre() {
  QPixmap pm = canvas();
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(30, 30, 30), 2));
  p.drawLine(QPointF(10, 3), QPointF(10, 17));
  arrow(p, {1, 10}, {8, 10});
  arrow(p, {19, 10}, {12, 10});
  return pm;
}

// Scroll: two arrows pointing away from a centre line (scroll left or right).
QPixmap away_from_centre() {
  QPixmap pm = canvas();
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(30, 30, 30), 2));
  p.drawLine(QPointF(10, 3), QPointF(10, 17));
  arrow(p, {8, 10}, {1, 10});
  arrow(p, {12, 10}, {19, 10});
  return pm;
}

// A file button: the file's colour on the graph's black, a tick while the
// focused view shows the file, a cross while it does not.
QPixmap file_glyph(bool tick, QColor colour) {
  QPixmap pm = canvas();
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::black);
  p.drawRoundedRect(QRectF(1, 1, icon_size - 2, icon_size - 2), 3, 3);
  p.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  if (tick) {
    p.drawPolyline(QPolygonF({QPointF(5, 10.5), QPointF(8.5, 14), QPointF(15, 6)}));
  } else {
    p.drawLine(QPointF(6, 6), QPointF(14, 14));
    p.drawLine(QPointF(14, 6), QPointF(6, 14));
  }
  return pm;
}

}  // namespace

QIcon control_icon(const platform_types::gadget& g) {
  const int bitmap = g.bitmap ? g.bitmap : g.id;
  switch (bitmap) {
    case view_command::extend_y:
      return QIcon(extend_y());
    case view_command::extend_x:
      return QIcon(towards_centre());
    case view_command::scroll:
      return QIcon(away_from_centre());
    case bar_bitmap::tick:
      return QIcon(file_glyph(true, g.tinted ? to_qcolor(g.tint) : QColor(Qt::white)));
    case bar_bitmap::cross:
      return QIcon(file_glyph(false, g.tinted ? to_qcolor(g.tint) : QColor(Qt::white)));
    default:
      return {};
  }
}

QIcon application_icon() {
  QIcon icon;
  for (int size : {16, 32, 64}) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    p.drawRoundedRect(QRectF(0, 0, size, size), size / 8.0, size / 8.0);
    QPainterPath peak;
    const double s = size;
    peak.moveTo(0.1 * s, 0.85 * s);
    for (int i = 0; i <= 40; ++i) {
      const double x = 0.1 + 0.8 * i / 40.0;
      const double t = (x - 0.5) / 0.09;
      peak.lineTo(x * s, (0.85 - 0.7 / (1.0 + t * t)) * s);
    }
    p.setPen(QPen(QColor(255, 255, 0), std::max(1.0, s / 16.0)));
    p.setBrush(Qt::NoBrush);
    p.drawPath(peak);
    icon.addPixmap(pm);
  }
  return icon;
}

QCursor view_cursor_shape(int id) {
  switch (id) {
    case 4157:
      return QCursor(Qt::SizeAllCursor);
    case 4158:
      return QCursor(Qt::CrossCursor);
    case 1207: {
      // Deleting peaks: a cross of two strokes, its hot spot in the middle.
      QPixmap pm(17, 17);
      pm.fill(Qt::transparent);
      QPainter p(&pm);
      p.setPen(QPen(Qt::white, 3));
      p.drawLine(3, 3, 13, 13);
      p.drawLine(13, 3, 3, 13);
      p.setPen(QPen(Qt::red, 1));
      p.drawLine(3, 3, 13, 13);
      p.drawLine(13, 3, 3, 13);
      return QCursor(pm, 8, 8);
    }
    default:
      return QCursor(Qt::ArrowCursor);
  }
}
