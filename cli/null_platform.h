#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "app/platform/platform.h"

// The platform of the batch tool: nobody is there to see a window. A
// message box becomes a line on the error stream, a question is answered
// "no" (and said so), a file dialog is cancelled, and windows and pictures
// are handed out but keep nothing.
class null_platform : public platform {
 public:
  explicit null_platform(std::ostream& err) : err_(err) {}

  void message(platform_types::box_kind kind, const std::string& caption, const std::string& text) override;
  bool ask_yes_no(const std::string& caption, const std::string& text) override;
  platform_types::file_answer choose_file(const platform_types::file_request&) override { return {}; }
  void set_clipboard_text(const std::string&) override {}
  void opened(const std::string&) override {}
  bool ask_figure_size(platform_types::figure_size&, bool, platform_types::window_ref) override { return false; }
  bool write_figure(const std::string& path, const platform_types::figure_size& size,
                    const std::function<void(platform_types::surface&)>& draw, std::string& why) override;
  int popup_menu(platform_types::window_ref, int, int, const std::vector<platform_types::menu_item>&) override {
    return 0;
  }

  void set_app_events(platform_types::app_events*) override {}
  void set_main_title(const std::string&) override {}
  void set_menu(const std::vector<platform_types::menu_item>&) override {}
  void set_status_gadgets(const std::vector<platform_types::gadget>&) override {}
  void set_status_text(int, const std::string&) override {}
  void set_control_buttons(const std::vector<platform_types::gadget>&) override {}

  frame_id create_frame(const std::string&, platform_types::frame_events* = nullptr) override { return ++frames_; }
  frame_id create_text_frame(const std::string&, platform_types::frame_events* = nullptr) override {
    return ++frames_;
  }
  void destroy_frame(frame_id) override {}
  void set_frame_title(frame_id, const std::string&) override {}
  void activate_frame(frame_id) override {}
  frame_id active_frame() const override { return 0; }
  void focus_frame(frame_id) override {}
  void show_client(bool) override {}
  void tile_frames(bool = false) override {}
  void cascade_frames() override {}
  void arrange_icons() override {}
  void invalidate_frame(frame_id) override {}
  int frame_width(frame_id) const override;
  int frame_height(frame_id) const override;
  bool frame_minimised(frame_id) const override { return false; }
  bool frame_maximised(frame_id) const override { return false; }
  void set_frame_cursor(frame_id, int) override {}
  void capture_mouse(frame_id) override {}
  void release_mouse() override {}
  void set_frame_text(frame_id, const std::string&) override {}
  std::string frame_text(frame_id) const override { return {}; }
  bool frame_text_modified(frame_id) const override { return false; }
  void set_frame_text_modified(frame_id, bool) override {}
  void set_frame_font(frame_id, const platform_types::font_description&) override {}

  dialog_id create_dialog(const platform_types::dialog_resource&, platform_types::window_ref, bool,
                          platform_types::dialog_events* = nullptr) override {
    return ++dialogs_;
  }
  dialog_id create_form(frame_id, const platform_types::dialog_resource&,
                        platform_types::dialog_events* = nullptr) override {
    return ++dialogs_;
  }
  void destroy_dialog(dialog_id) override {}
  void show_dialog(dialog_id, bool) override {}
  bool dialog_shown(dialog_id) const override { return false; }
  // Nobody presses OK.
  bool run_modal(dialog_id) override { return false; }
  void set_dialog_caption(dialog_id, const std::string&) override {}
  void add_control(dialog_id, const platform_types::control&) override {}
  void remove_control(dialog_id, int) override {}
  void set_control_font(dialog_id, int, const platform_types::font_description&) override {}

  void list_add(dialog_id, int, const std::string&) override {}
  void list_clear(dialog_id, int) override {}
  void list_select(dialog_id, int, int) override {}
  void list_set_selected(dialog_id, int, int, bool) override {}
  std::vector<int> list_selection(dialog_id, int) const override { return {}; }
  int list_caret(dialog_id, int) const override { return -1; }
  int list_count(dialog_id, int) const override { return 0; }
  std::string list_text(dialog_id, int, int) const override { return {}; }
  void list_replace(dialog_id, int, int, const std::string&) override {}
  int list_top_index(dialog_id, int) const override { return 0; }
  void list_set_top_index(dialog_id, int, int) override {}

  void edit_set_text(dialog_id, int, const std::string&) override {}
  void edit_append(dialog_id, int, const std::string&) override {}
  std::string edit_text(dialog_id, int) const override { return {}; }

  picture_id create_picture(int, int) override { return ++pictures_; }
  platform_types::surface* picture_surface(picture_id) override { return &blank_; }
  void copy_picture(picture_id, frame_id) override {}
  void copy_picture_into(picture_id, picture_id) override {}
  void paint_picture(picture_id, platform_types::surface&) override {}
  void destroy_picture(picture_id) override {}

  void set_busy(bool) override {}
  void show_progress(int, int) override {}
  void run() override {}
  void quit() override {}

 private:
  std::ostream& err_;
  blank_surface blank_;
  frame_id frames_ = 0;
  dialog_id dialogs_ = 0;
  picture_id pictures_ = 0;
};
