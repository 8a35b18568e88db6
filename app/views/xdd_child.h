#pragma once

#include "app/platform/platform.h"

class TDrawView;

// The MDI child frame around one graph view. It passes the frame's events to
// the view; becoming the active child gives the view the focus.
class xdd_child : public platform_types::frame_events {
 public:
  explicit xdd_child(TDrawView& view) : view_(view) {}

  void on_paint(platform_types::surface& s) override;
  void on_size(int width, int height) override;
  void on_mouse(const platform_types::mouse_event& e) override;
  void on_char(char c) override;
  void on_focus() override;
  void on_activate(bool active) override;
  bool on_close() override;

 private:
  TDrawView& view_;
};
