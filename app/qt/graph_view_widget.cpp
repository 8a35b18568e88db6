#include "app/qt/graph_view_widget.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include "app/qt/qt_surface.h"

graph_view_widget::graph_view_widget(platform_types::frame_events* events, QWidget* parent)
    : QWidget(parent), events_(events) {
  // The view paints every pixel of its picture: nothing to erase first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  // The wheel, like a click, makes the view under the mouse the one in focus.
  setFocusPolicy(Qt::WheelFocus);
  // Moves without a button show the coordinates in the status bar.
  setMouseTracking(true);
  setMinimumSize(80, 60);
}

void graph_view_widget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  qt_surface surface(painter, width(), height());
  if (events_) {
    events_->on_paint(surface);
  } else {
    painter.fillRect(rect(), Qt::black);
  }
}

void graph_view_widget::resizeEvent(QResizeEvent* e) {
  QWidget::resizeEvent(e);
  if (events_) events_->on_size(width(), height());
}

void graph_view_widget::send(QMouseEvent* e, platform_types::mouse_action action) {
  if (!events_) return;
  platform_types::mouse_event m;
  m.action = action;
  const Qt::MouseButton b = action == platform_types::mouse_action::move ? Qt::NoButton : e->button();
  m.button = b == Qt::LeftButton    ? platform_types::mouse_button::left
             : b == Qt::RightButton ? platform_types::mouse_button::right
                                    : platform_types::mouse_button::none;
  const QPoint at = e->position().toPoint();
  m.x = at.x();
  m.y = at.y();
  m.shift = (e->modifiers() & Qt::ShiftModifier) != 0;
  m.ctrl = (e->modifiers() & Qt::ControlModifier) != 0;
  events_->on_mouse(m);
}

void graph_view_widget::mousePressEvent(QMouseEvent* e) {
  setFocus(Qt::MouseFocusReason);
  send(e, platform_types::mouse_action::press);
}

void graph_view_widget::mouseReleaseEvent(QMouseEvent* e) { send(e, platform_types::mouse_action::release); }

void graph_view_widget::mouseDoubleClickEvent(QMouseEvent* e) { send(e, platform_types::mouse_action::double_click); }

void graph_view_widget::mouseMoveEvent(QMouseEvent* e) { send(e, platform_types::mouse_action::move); }

void graph_view_widget::wheelEvent(QWheelEvent* e) {
  if (!events_) {
    QWidget::wheelEvent(e);
    return;
  }
  e->accept();
  // Some systems turn a wheel with Shift held into a horizontal one.
  const QPoint angle = e->angleDelta();
  const int turned = angle.y() != 0 ? angle.y() : angle.x();
  // A turn the other way starts again from nothing.
  if ((turned > 0 && wheel_eighths_ < 0) || (turned < 0 && wheel_eighths_ > 0)) wheel_eighths_ = 0;
  wheel_eighths_ += turned;
  constexpr int notch = 120;
  const int steps = wheel_eighths_ / notch;
  if (steps == 0) return;
  wheel_eighths_ -= steps * notch;
  platform_types::mouse_event m;
  m.action = platform_types::mouse_action::wheel;
  const QPoint at = e->position().toPoint();
  m.x = at.x();
  m.y = at.y();
  m.shift = (e->modifiers() & Qt::ShiftModifier) != 0;
  m.ctrl = (e->modifiers() & Qt::ControlModifier) != 0;
  m.wheel_steps = steps;
  events_->on_mouse(m);
}

namespace {

// A key the view takes as typed: a printable character, not a command's key.
// Ctrl with Alt is AltGr on some keyboards, which types characters such as
// '~' and '`'.
bool typed(const QKeyEvent& e) {
  const Qt::KeyboardModifiers m = e.modifiers();
  const bool ctrl = (m & Qt::ControlModifier) != 0;
  const bool alt = (m & Qt::AltModifier) != 0;
  if ((m & Qt::MetaModifier) || ctrl != alt) return false;
  return !e.text().isEmpty();
}

}  // namespace

void graph_view_widget::keyPressEvent(QKeyEvent* e) {
  // Escape cancels a box being drawn, with Ctrl still held or not.
  if (events_ && e->key() == Qt::Key_Escape) {
    events_->on_char(27);
    return;
  }
  if (!events_ || !typed(*e)) {
    QWidget::keyPressEvent(e);
    return;
  }
  // Other control characters (Tab, Ctrl+letter) are no keys of the view.
  for (QChar c : e->text())
    if (c.unicode() >= 32 && c.unicode() < 127 && events_) events_->on_char(static_cast<char>(c.unicode()));
}

void graph_view_widget::focusInEvent(QFocusEvent* e) {
  QWidget::focusInEvent(e);
  if (events_) events_->on_focus();
}
