#include "xrd/measures/left_right_pressed_3.h"

#include "xrd/plots/plot_view.h"

bool left_right_pressed_3::press(plot_view& view, cursors& target, bool right_cursor, double world_x) {
  set_view(&view);
  if (right_cursor)
    target.set_right_cursor(world_x);
  else
    target.set_left_cursor(world_x);
  view.redraw();
  return true;
}
