#include "app/views/xdd_child.h"

#include "app/views/TDrawView.h"

void xdd_child::on_paint(platform_types::surface& s) { view_.paint(s); }

void xdd_child::on_size(int width, int height) { view_.resized(width, height); }

void xdd_child::on_mouse(const platform_types::mouse_event& e) { view_.mouse(e); }

void xdd_child::on_char(char c) { view_.key(c); }

void xdd_child::on_focus() { view_.got_focus(); }

void xdd_child::on_activate(bool active) {
  if (active)
    view_.activated();
  else
    view_.deactivated();
}

bool xdd_child::on_close() {
  // The view goes with its frame (at idle time: this handler runs for it).
  view_.frame_closed();
  return true;
}
