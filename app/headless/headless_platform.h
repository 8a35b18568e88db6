#pragma once

#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/platform/platform.h"

// A question the program asked that the script playing the user had not
// answered: a test that forgets an answer must fail, naming the question,
// rather than get one made up for it.
class unanswered_question : public std::logic_error {
 public:
  using std::logic_error::logic_error;
};

// A drawing surface that keeps its calls as readable lines: "pen 255 0 0 1
// solid", "line 0 10 99 10", "text 4 4 'FWHM'".
class recording_surface : public platform_types::surface {
 public:
  recording_surface(int width, int height) : width_(width), height_(height) {}

  int width() const override { return width_; }
  int height() const override { return height_; }
  void set_pen(platform_types::colour c, int width, platform_types::pen_style style) override;
  void set_fill(platform_types::colour c) override;
  void set_text_colour(platform_types::colour c) override;
  void fill_rect(int x1, int y1, int x2, int y2) override;
  void line(int x1, int y1, int x2, int y2) override;
  void polyline(const std::vector<int>& xy) override;
  void pixel(int x, int y, platform_types::colour c) override;
  void rectangle(int x1, int y1, int x2, int y2) override;
  void ellipse(int x1, int y1, int x2, int y2) override;
  void text(int x, int y, const std::string& s) override;

  const std::vector<std::string>& calls() const { return calls_; }
  void clear() { calls_.clear(); }
  // Records a copy of another picture's drawing into this one.
  void record(const std::string& line) { calls_.push_back(line); }

 private:
  int width_;
  int height_;
  std::vector<std::string> calls_;
};

// How the user answers a yes/no box.
enum class yes_no_reply { yes, no, escape };

// The scripted platform. A test queues the user's
// answers before the program asks, plays the user's actions with the user_*
// calls, and reads back what a person would have seen: the call lines in
// order and the state of every frame, dialog and control.
//
// Call lines quote texts as given, line ends included, for example
//   message error 'XRD Fourier Workbench' 'Cannot load any more files: Maximum of 32'
//   ask 'File : /a.xdd has been Modified.\n Unload Anyway ?'
//   choose_file open multiple 'Load Data'
//   create_frame 1 ''
//   create_dialog 1 4148 'Options'          (" modal" appended for modal ones)
//   show_dialog 1 / hide_dialog 1 / run_modal 1 / destroy_dialog 1
//   list_add 1 4149 'Show all'  list_select 1 4149 0  edit_append 1 4233 '...'
// Queries (active_frame, list_caret, edit_text ...) are not recorded.
class headless_platform : public platform {
 public:
  struct list_state {
    std::vector<std::string> lines;
    std::vector<bool> selected;
    int caret = -1;
    int top = 0;
  };
  struct dialog_state {
    int resource_id = 0;
    std::string caption;
    bool modal = false;
    platform_types::window_ref parent;
    frame_id form_of = 0;  // the frame a form fills; 0 for a dialog
    bool exists = true;
    bool shown = false;
    std::vector<platform_types::control> controls;
    std::map<int, list_state> lists;
    std::map<int, std::string> texts;  // edits and labels
    std::map<int, platform_types::font_description> fonts;
    platform_types::dialog_events* events = nullptr;
  };
  struct frame_state {
    std::string title;
    bool text_frame = false;
    bool exists = true;
    std::string text;
    bool text_modified = false;
    platform_types::font_description font;
    int width = 640;
    int height = 400;
    bool minimised = false;
    bool maximised = false;
    int cursor = 0;
    int invalidations = 0;
    platform_types::frame_events* events = nullptr;
  };
  struct question {
    std::string caption;
    std::string text;
  };

  headless_platform();
  ~headless_platform() override;

  // --- The answers, consumed in order. ---
  void queue_yes_no(yes_no_reply reply);
  void queue_file_answer(platform_types::file_answer answer);
  void queue_files(std::vector<std::string> paths);
  // The files chosen on Load Data with its wavelength field filled in.
  void queue_files_with_wavelength(std::vector<std::string> paths, std::string wavelength);
  void queue_file_cancel();
  void queue_file_failure();
  // OK or Cancel for the next modal dialog; `while_open` plays the user
  // while it is open (it gets the dialog's id).
  void queue_modal(bool ok, std::function<void(dialog_id)> while_open = {});
  void queue_popup(int chosen_id);
  // The size the user gives the figure size dialog; nullopt cancels it.
  void queue_figure_size(std::optional<platform_types::figure_size> size);
  // Answers queued and not yet asked for.
  std::size_t pending_answers() const;

  // --- What happened. ---
  const std::vector<std::string>& calls() const { return calls_; }
  void clear_calls() { calls_.clear(); }
  bool called(const std::string& line) const;
  const std::vector<question>& questions() const { return questions_; }
  const std::vector<platform_types::file_request>& file_requests() const { return file_requests_; }
  // Null for an id never handed out; destroyed windows keep their last state.
  const dialog_state* dialog(dialog_id d) const;
  const frame_state* frame(frame_id f) const;
  dialog_id last_dialog() const { return next_dialog_ - 1; }
  frame_id last_frame() const { return next_frame_ - 1; }
  // The last dialog made from that resource; 0 if none.
  dialog_id dialog_of_resource(int resource_id) const;
  const std::vector<std::string>& list_lines(dialog_id d, int control) const;
  std::string control_text(dialog_id d, int control) const;
  const std::string& main_title() const { return main_title_; }
  const std::vector<platform_types::menu_item>& menu() const { return menu_; }
  const std::vector<platform_types::gadget>& status_gadgets() const { return status_gadgets_; }
  const std::vector<platform_types::gadget>& control_buttons() const { return control_buttons_; }
  std::string status_text(int gadget_id) const;
  bool client_shown() const { return client_shown_; }
  bool quit_requested() const { return quit_requested_; }
  recording_surface* picture(picture_id p);

  // --- Playing the user. ---
  // Dialogs.
  void user_closes_dialog(dialog_id d);
  void user_selects(dialog_id d, int control, int index);
  // index -1: a double click below the last line.
  void user_double_clicks(dialog_id d, int control, int index);
  void user_scrolls(dialog_id d, int control, int top);
  void user_types(dialog_id d, int control, const std::string& text);
  void user_presses_enter(dialog_id d, int control);
  void user_clicks(dialog_id d, const platform_types::mouse_event& e);
  void user_clicks_control(dialog_id d, int control);
  void user_right_clicks_list(dialog_id d, int control);
  // Types into a text frame: its text changes and it is modified.
  void user_edits_text(frame_id f, const std::string& text);
  // The application: commands, enablers, closing, idle time.
  void user_command(int id);
  // A control-bar button pressed (or held over while the mouse moves).
  void user_presses_button(int id, platform_types::mouse_button button);
  void user_hovers_button(int id);
  platform_types::command_state user_enabler(int id);
  bool user_closes_main();
  void user_idles();
  // Frames.
  void user_activates(frame_id f);
  bool user_closes_frame(frame_id f);
  // Paints the frame's client area into a fresh surface of its size and
  // returns what was drawn.
  std::vector<std::string> user_paints(frame_id f);
  void user_resizes(frame_id f, int width, int height);
  void user_mouse(frame_id f, const platform_types::mouse_event& e);
  // Turns the mouse wheel over a pixel of the frame by whole notches
  // (positive away from the user), with Shift held or not.
  void user_turns_wheel(frame_id f, int x, int y, int steps, bool shift = false);
  void user_types_key(frame_id f, char c);
  void user_focuses(frame_id f);
  void user_minimises(frame_id f, bool minimised);
  void user_maximises(frame_id f, bool maximised);

  // --- platform ---
  void message(platform_types::box_kind kind, const std::string& caption, const std::string& text) override;
  bool ask_yes_no(const std::string& caption, const std::string& text) override;
  void set_clipboard_text(const std::string& text) override { clipboard_ = text; }
  // What the program last put on the clipboard.
  const std::string& clipboard() const { return clipboard_; }
  void opened(const std::string& path) override { opened_.push_back(path); }
  // The settings kept between runs: a test presets them as a person's
  // earlier run left them, and reads what this run keeps.
  std::map<std::string, std::string> settings;
  std::string setting(const std::string& key) const override {
    const auto it = settings.find(key);
    return it == settings.end() ? std::string() : it->second;
  }
  void set_setting(const std::string& key, const std::string& value) override { settings[key] = value; }
  // The paths told opened, in order.
  const std::vector<std::string>& opened_paths() const { return opened_; }
  platform_types::file_answer choose_file(const platform_types::file_request& request) override;
  int popup_menu(platform_types::window_ref owner, int x, int y,
                 const std::vector<platform_types::menu_item>& items) override;
  // Recorded as "ask_figure_size 640 400 96 png" (svg without the dpi),
  // with the size proposed.
  bool ask_figure_size(platform_types::figure_size& size, bool resolution, platform_types::window_ref parent) override;
  // Writes SVG, drawn on an svg_surface, and records "write_figure PATH W
  // H". A PNG needs a raster of the windowing system: it is refused.
  bool write_figure(const std::string& path, const platform_types::figure_size& size,
                    const std::function<void(platform_types::surface&)>& draw, std::string& why) override;

  void set_app_events(platform_types::app_events* events) override { app_events_ = events; }
  void set_main_title(const std::string& title) override;
  void set_menu(const std::vector<platform_types::menu_item>& popups) override;
  void set_status_gadgets(const std::vector<platform_types::gadget>& gadgets) override;
  void set_status_text(int gadget_id, const std::string& text) override;
  void set_control_buttons(const std::vector<platform_types::gadget>& buttons) override;

  frame_id create_frame(const std::string& title, platform_types::frame_events* events = nullptr) override;
  frame_id create_text_frame(const std::string& title, platform_types::frame_events* events = nullptr) override;
  void destroy_frame(frame_id frame) override;
  void set_frame_title(frame_id frame, const std::string& title) override;
  void activate_frame(frame_id frame) override;
  frame_id active_frame() const override { return active_frame_; }
  // Recorded as "close_frame F" and "activate_next_frame".
  void close_frame(frame_id frame) override;
  void activate_next_frame() override;
  int frame_count() const override;
  void focus_frame(frame_id frame) override;
  void show_client(bool shown) override;
  void tile_frames(bool horizontal = false) override;
  void cascade_frames() override;
  void arrange_icons() override;
  void invalidate_frame(frame_id frame) override;
  int frame_width(frame_id frame) const override;
  int frame_height(frame_id frame) const override;
  bool frame_minimised(frame_id frame) const override;
  bool frame_maximised(frame_id frame) const override;
  void set_frame_cursor(frame_id frame, int cursor_id) override;
  void capture_mouse(frame_id frame) override;
  void release_mouse() override;
  void set_frame_text(frame_id frame, const std::string& text) override;
  std::string frame_text(frame_id frame) const override;
  bool frame_text_modified(frame_id frame) const override;
  void set_frame_text_modified(frame_id frame, bool modified) override;
  void set_frame_font(frame_id frame, const platform_types::font_description& font) override;

  dialog_id create_dialog(const platform_types::dialog_resource& resource, platform_types::window_ref parent,
                          bool modal, platform_types::dialog_events* events = nullptr) override;
  dialog_id create_form(frame_id frame, const platform_types::dialog_resource& layout,
                        platform_types::dialog_events* events = nullptr) override;
  void destroy_dialog(dialog_id dialog) override;
  void show_dialog(dialog_id dialog, bool shown) override;
  bool dialog_shown(dialog_id dialog) const override;
  bool run_modal(dialog_id dialog) override;
  void set_dialog_caption(dialog_id dialog, const std::string& caption) override;
  void add_control(dialog_id dialog, const platform_types::control& c) override;
  void remove_control(dialog_id dialog, int control) override;
  void set_control_font(dialog_id dialog, int control, const platform_types::font_description& font) override;

  void list_add(dialog_id dialog, int control, const std::string& line) override;
  void list_clear(dialog_id dialog, int control) override;
  void list_select(dialog_id dialog, int control, int index) override;
  void list_set_selected(dialog_id dialog, int control, int index, bool selected) override;
  std::vector<int> list_selection(dialog_id dialog, int control) const override;
  int list_caret(dialog_id dialog, int control) const override;
  int list_count(dialog_id dialog, int control) const override;
  std::string list_text(dialog_id dialog, int control, int index) const override;
  void list_replace(dialog_id dialog, int control, int index, const std::string& line) override;
  int list_top_index(dialog_id dialog, int control) const override;
  void list_set_top_index(dialog_id dialog, int control, int index) override;

  void edit_set_text(dialog_id dialog, int control, const std::string& text) override;
  void edit_append(dialog_id dialog, int control, const std::string& text) override;
  std::string edit_text(dialog_id dialog, int control) const override;

  picture_id create_picture(int width, int height) override;
  platform_types::surface* picture_surface(picture_id picture) override;
  void copy_picture(picture_id picture, frame_id frame) override;
  void copy_picture_into(picture_id from, picture_id to) override;
  void paint_picture(picture_id picture, platform_types::surface& target) override;
  void destroy_picture(picture_id picture) override;

  void set_busy(bool busy) override;
  void show_progress(int done, int total) override;

  // Headless, nobody else drives the program: these return at once.
  void run() override {}
  void quit() override;

 protected:
  void record(std::string line) { calls_.push_back(std::move(line)); }

 private:
  struct modal_answer {
    bool ok = false;
    std::function<void(dialog_id)> while_open;
  };

  dialog_state* live_dialog(dialog_id d);
  const dialog_state* live_dialog(dialog_id d) const;
  frame_state* live_frame(frame_id f);
  const frame_state* live_frame(frame_id f) const;
  list_state* list(dialog_id d, int control);
  const list_state* list(dialog_id d, int control) const;
  frame_id new_frame(const std::string& title, bool text_frame, platform_types::frame_events* events);
  void switch_active(frame_id f);
  platform_types::app_events& app_events(const char* what);

  std::vector<std::string> calls_;
  std::string clipboard_;
  std::vector<std::string> opened_;
  std::vector<question> questions_;
  std::vector<platform_types::file_request> file_requests_;
  std::deque<yes_no_reply> yes_no_answers_;
  std::deque<platform_types::file_answer> file_answers_;
  std::deque<modal_answer> modal_answers_;
  std::deque<int> popup_answers_;
  std::deque<std::optional<platform_types::figure_size>> figure_sizes_;

  std::map<dialog_id, dialog_state> dialogs_;
  std::map<frame_id, frame_state> frames_;
  std::map<picture_id, recording_surface> pictures_;
  dialog_id next_dialog_ = 1;
  frame_id next_frame_ = 1;
  picture_id next_picture_ = 1;
  frame_id active_frame_ = 0;
  frame_id captured_ = 0;

  platform_types::app_events* app_events_ = nullptr;
  std::string main_title_;
  std::vector<platform_types::menu_item> menu_;
  std::vector<platform_types::gadget> status_gadgets_;
  std::vector<platform_types::gadget> control_buttons_;
  std::map<int, std::string> status_texts_;
  bool client_shown_ = true;
  bool quit_requested_ = false;
};
