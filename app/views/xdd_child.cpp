#include "app/views/xdd_child.h"

#include "app/views/TDrawView.h"
#include "core/numeric_abort.h"

// Each event is an action of its own: a numerical stage that gives up ends
// it with its message, and the view goes on with the next event.

void xdd_child::on_paint(platform_types::surface& s) {
  run_action([&] { view_.paint(s); });
}

void xdd_child::on_size(int width, int height) {
  run_action([&] { view_.resized(width, height); });
}

void xdd_child::on_mouse(const platform_types::mouse_event& e) {
  run_action([&] { view_.mouse(e); });
}

void xdd_child::on_char(char c) {
  run_action([&] { view_.key(c); });
}

void xdd_child::on_focus() {
  run_action([&] { view_.got_focus(); });
}

void xdd_child::on_activate(bool active) {
  run_action([&] {
    if (active)
      view_.activated();
    else
      view_.deactivated();
  });
}

bool xdd_child::on_close() {
  // The view goes with its frame (at idle time: this handler runs for it).
  run_action([&] { view_.frame_closed(); });
  return true;
}
