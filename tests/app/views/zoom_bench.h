#pragma once

// Zooming a graph view with the mouse: the wheel, a box drawn with Ctrl,
// and the limits as the view and the status bar show them.

#include <cmath>
#include <string>

#include "app/shell/for_app_3.h"
#include "view_bench.h"

class Zoom : public Views {
 protected:
  // The view of one triangle on the plain window, painted once so that its
  // mapping is the one on screen.
  TDrawView* plain_view(const std::string& name = "a.xdd") {
    TDrawView* v = open({peak(name)});
    plain_window(v);
    paint(v);
    return v;
  }
  void wheel(TDrawView* v, int x, int y, int steps, bool shift = false) {
    screen.user_turns_wheel(v->frame(), x, y, steps, shift);
  }
  // The left button with Ctrl held: the press that starts a box.
  void ctrl_press(TDrawView* v, int x, int y) {
    move(v, x, y);
    platform_types::mouse_event e;
    e.action = action::press;
    e.button = button::left;
    e.x = x;
    e.y = y;
    e.ctrl = true;
    screen.user_mouse(v->frame(), e);
  }
  // A Ctrl drag from one pixel to another.
  void ctrl_drag(TDrawView* v, int from_x, int from_y, int to_x, int to_y) {
    ctrl_press(v, from_x, from_y);
    move(v, to_x, to_y);
    release(v, button::left, to_x, to_y);
  }
  bool enabled(int id) { return screen.user_enabler(id).enabled; }
  // The status bar's limits gadget shows the view's limits.
  std::string status_limits() { return screen.status_text(2052); }
  static std::string limits_of(TDrawView* v) { return limits_text(v->x1, v->x2, v->y1, v->y2); }
  static view_limits shown_limits(TDrawView* v) { return v->current_limits(); }
};
