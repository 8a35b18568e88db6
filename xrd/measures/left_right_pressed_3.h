#pragma once

#include <memory>

#include "xrd/plots/plot_3.h"

// The view's catcher of presses that no curve took (node
// "left_right_pressed"): the press's world x goes to one of the view's two
// measuring cursors, which bound the window the measures read.
class left_right_pressed_3 : public plot_3 {
 public:
  // The two view operations a press can go to.
  class cursors {
   public:
    virtual ~cursors() = default;
    virtual void set_left_cursor(double x) = 0;
    virtual void set_right_cursor(double x) = 0;
  };

  const char* class_name() const override { return "left_right_pressed"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  const char* caption() const override { return ""; }

  // Hands x to the right cursor when the view's flag says so, else to the
  // left one, and has the view redrawn. Always takes the press.
  bool press(plot_view& view, cursors& target, bool right_cursor, double world_x);
};
