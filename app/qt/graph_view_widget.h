#pragma once

#include <QWidget>

#include "app/platform/platform.h"

// The client area of a graph view's MDI child: it hands painting, the mouse,
// the keys, focus and size to the view's frame events. The view paints into
// an off-screen picture and copies it here in one go.
class graph_view_widget : public QWidget {
  Q_OBJECT
 public:
  explicit graph_view_widget(platform_types::frame_events* events, QWidget* parent = nullptr);
  // After this the widget passes nothing on (its frame is going).
  void forget_events() { events_ = nullptr; }
  platform_types::frame_events* events() const { return events_; }

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;

 private:
  void send(QMouseEvent* e, platform_types::mouse_action action);

  platform_types::frame_events* events_;
  // Eighths of a degree turned and not yet a whole notch: a touchpad turns
  // the wheel by small amounts that add up.
  int wheel_eighths_ = 0;
};
