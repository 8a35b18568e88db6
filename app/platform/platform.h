#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class error_reporter;

// The windowing services the application shell needs. The workbench runs on
// the Qt implementation (app/qt), the batch tool (cli/) on one that shows
// nothing, and the tests on a scripted one that answers questions from a
// queue and records every call.
//
// Everything here is plain data and abstract calls: no toolkit type crosses
// this line, so that the shell's logic runs the same on both.

namespace platform_types {

using frame_id = int;    // an MDI child frame; 0 is none
using dialog_id = int;   // a dialog window, or a form of controls inside a frame; 0 is none
using picture_id = int;  // an off-screen picture; 0 is none

// error: a failure the program reports; warning: a script's message (both
// with the exclamation icon); information: the About text; question: the
// icon of the yes/no boxes.
enum class box_kind { error, warning, information, question };

// A window that can own another: the main frame, an MDI child frame or a
// dialog.
struct window_ref {
  enum class kind { main, frame, dialog };
  kind what = kind::main;
  int id = 0;
  static window_ref main_window() { return {}; }
  static window_ref frame(frame_id f) { return {kind::frame, f}; }
  static window_ref dialog(dialog_id d) { return {kind::dialog, d}; }
  bool operator==(const window_ref&) const = default;
};

// One entry of a file-type filter: "XDD Files (*.xdd)" and "*.xdd". A pattern
// without a wildcard is a proposed file (the save dialogs offer the current
// path in their first entry).
struct file_filter {
  std::string name;
  std::string pattern;
};

struct file_request {
  bool save = false;
  bool multiple = false;          // several files may be chosen (open only)
  bool overwrite_prompt = false;  // ask before replacing a file (save only)
  bool path_must_exist = false;
  bool file_must_exist = false;
  std::string caption;
  std::vector<file_filter> filters;
  std::string directory;          // where the dialog starts
  std::string file;               // proposed file name or path
  std::string default_extension;  // without the dot
  window_ref parent;
  // Load Data: the dialog also asks the wavelength for files without one.
  bool offer_wavelength = false;
};

struct file_answer {
  enum class status { chosen, cancelled, failed } result = status::cancelled;
  std::vector<std::string> paths;  // full paths, in the order chosen
  // The wavelength typed for files without one (Angstrom), as typed; empty:
  // none, the template's default is assumed.
  std::string wavelength = {};
};

struct menu_item {
  int id = 0;                    // 0 for a separator
  std::string text;              // with '&' before the access key
  std::string hint;              // shown in the status bar while the item is highlighted
  std::vector<menu_item> items;  // a popup's items
};

struct colour {
  std::uint8_t r = 0, g = 0, b = 0;
  bool operator==(const colour&) const = default;
};

// Status-bar gadgets and control-bar buttons, by their ids.
struct gadget {
  int id = 0;
  int width_chars = 0;  // 0: a separator of that many pixels in `separator`
  int separator = 0;
  // Control-bar buttons: the bitmap resource shown (0: the one of the same
  // id), with its white painted in `tint` when `tinted` (the file buttons'
  // tick and cross take their file's colour).
  int bitmap = 0;
  bool tinted = false;
  colour tint{};
  bool operator==(const gadget&) const = default;
};

struct font_description {
  std::string face;
  int height = 0;  // pixels; negative: character height, as the fonts of the resources give it
  int width = 0;
  int weight = 400;
  bool strike_out = false;
  bool operator==(const font_description&) const = default;
};

// Controls of a dialog or form, placed in dialog units.
enum class control_kind { list_box, edit, multiline_edit, label };

struct control {
  control_kind kind = control_kind::label;
  int id = 0;
  int x = 0, y = 0, width = 0, height = 0;
  bool read_only = false;
  bool border = false;
  bool vertical_scroll = false;
  bool horizontal_scroll = false;
  bool multiple_selection = false;  // list boxes
  std::string text;                 // labels and initial edit texts
};

// What a dialog resource of the program holds: caption, size, font, controls.
struct dialog_resource {
  int id = 0;
  std::string caption;
  int width = 0, height = 0;  // dialog units
  std::string font_face = "MS Sans Serif";
  int font_points = 8;
  std::vector<control> controls;
};

// The lines' patterns. Beyond solid, dashed and dotted, the curves of one
// file are told apart by the rest: each family of the chain has its own.
enum class pen_style {
  solid,
  dash,
  dot,
  dash_dot,
  dash_dot_dot,
  long_dash,
  long_dash_dot,
  long_dash_dot_dot,
  long_dash_short_dash,
};

// A pattern's lengths, drawn and left out in turn, in widths of the pen
// (pixels for a pen one pixel wide); empty for a solid line. Every surface
// draws the same pattern from this.
const std::vector<int>& dash_pattern(pen_style style);
// The pattern's name, as recorded lines and tests read it: "dash_dot".
const char* pen_style_name(pen_style style);

// Where a placed text stands at its x: by its start, its middle or its end.
enum class text_anchor { start, middle, end };

// The size of a figure to export, in pixels, and the resolution a PNG is
// marked with (its texts and pens are sized for it: 96 draws them as on the
// screen).
struct figure_size {
  int width = 0;
  int height = 0;
  int dpi = 96;
  bool operator==(const figure_size&) const = default;
};

// A node of the tree that owns a window (a dialog, a graph view) and so can
// be named as another dialog's parent.
class window_holder {
 public:
  virtual ~window_holder() = default;
  // The main window while its own window does not exist.
  virtual window_ref held_window() const = 0;
};

// A drawing surface in device pixels: a window's or an off-screen picture's.
class surface {
 public:
  virtual ~surface() = default;
  virtual int width() const = 0;
  virtual int height() const = 0;
  virtual void set_pen(colour c, int width, pen_style style) = 0;
  virtual void set_fill(colour c) = 0;
  virtual void set_text_colour(colour c) = 0;
  virtual void fill_rect(int x1, int y1, int x2, int y2) = 0;
  virtual void line(int x1, int y1, int x2, int y2) = 0;
  virtual void polyline(const std::vector<int>& xy) = 0;  // x0, y0, x1, y1, ...
  virtual void pixel(int x, int y, colour c) = 0;
  virtual void rectangle(int x1, int y1, int x2, int y2) = 0;
  virtual void ellipse(int x1, int y1, int x2, int y2) = 0;
  virtual void text(int x, int y, const std::string& s) = 0;
  // A text in a font `size` pixels high, its baseline at y. A surface that
  // cannot measure its font places it by text_width's estimate.
  virtual void placed_text(int x, int y, const std::string& s, text_anchor anchor, int size);
  // The width of a text in a font `size` pixels high. The estimate (0.6 of
  // the size per character) is that of a common sans-serif font.
  virtual int text_width(const std::string& s, int size) const;
};

enum class mouse_button { none, left, right };
enum class mouse_action { press, release, move, double_click, wheel };

struct mouse_event {
  mouse_action action = mouse_action::move;
  mouse_button button = mouse_button::none;
  int x = 0, y = 0;  // client pixels
  bool shift = false;  // the scale modifier of a drag; with the wheel, y instead of x
  bool ctrl = false;   // with the left button, a box to zoom to
  // Notches of a wheel turn: positive away from the user (zoom in).
  int wheel_steps = 0;
};

struct command_state {
  bool enabled = true;
  bool checked = false;
  // A menu text that says what the command will do now ("&Undo drag of
  // fe110.xdd"); empty keeps the menu's own.
  std::string text;
};

// What the platform tells the application. Handlers run on the one user
// interface thread, from inside the event loop (or, headless, from the test
// that plays the user).
class app_events {
 public:
  virtual ~app_events() = default;
  virtual void on_command(int id) = 0;
  virtual command_state on_enable(int id) = 0;
  // Asked before the main window closes; false keeps it open.
  virtual bool on_can_close() = 0;
  virtual void on_idle() = 0;
  // A control-bar button pressed with the left or the right mouse button.
  // While it is held, every move of the mouse over it comes again: the
  // scroll and extend buttons take one step each time. A left click on a
  // file button comes as on_command instead.
  virtual void on_button_press(int /*id*/, mouse_button /*button*/) {}
  // The mouse rests over a control-bar button.
  virtual void on_button_hover(int /*id*/) {}
};

// What a frame tells its owner. The owner outlives the frame or destroys it
// first; after destroy_frame no handler of it is called.
class frame_events {
 public:
  virtual ~frame_events() = default;
  virtual void on_paint(surface&) {}
  virtual void on_size(int /*width*/, int /*height*/) {}
  virtual void on_mouse(const mouse_event&) {}
  virtual void on_char(char) {}
  virtual void on_focus() {}
  // The frame became (true) or stopped being (false) the active MDI child.
  virtual void on_activate(bool) {}
  // The close box: false keeps the frame. A frame that agrees is destroyed
  // by the platform after the handler returns.
  virtual bool on_close() { return true; }
};

// What a dialog (or a form in a frame) tells its owner. As for frames, no
// handler is called after destroy_dialog.
class dialog_events {
 public:
  virtual ~dialog_events() = default;
  // The close box of a modeless dialog. The platform does nothing by
  // itself: the owner hides or destroys the window. (A modal dialog's close
  // box ends run_modal with "cancel" instead.)
  virtual void on_close_box() {}
  // The user changed the selection of a list box; the caret is on the line
  // chosen.
  virtual void on_list_select(int /*control*/) {}
  virtual void on_list_double_click(int /*control*/) {}
  // The first visible line of a list box changed.
  virtual void on_list_scroll(int /*control*/) {}
  virtual void on_edit_enter(int /*control*/) {}
  // A press on the dialog's own surface, outside its controls.
  virtual void on_mouse(const mouse_event&) {}
  // A left press on a label (a static control that acts like a button).
  virtual void on_control_click(int /*control*/) {}
  // The right button in a list box (a popup menu goes where the mouse is).
  virtual void on_list_context(int /*control*/) {}
};

}  // namespace platform_types

// What the shell asks of the windowing system.
class platform {
 public:
  using frame_id = platform_types::frame_id;
  using dialog_id = platform_types::dialog_id;
  using picture_id = platform_types::picture_id;

  virtual ~platform() = default;

  // Message boxes, task-modal, captioned with the application's name.
  virtual void message(platform_types::box_kind kind, const std::string& caption, const std::string& text) = 0;
  // A yes/no question; false for "no" and for Escape.
  virtual bool ask_yes_no(const std::string& caption, const std::string& text) = 0;
  virtual platform_types::file_answer choose_file(const platform_types::file_request& request) = 0;
  // Puts a text on the system's clipboard, for another program to paste.
  virtual void set_clipboard_text(const std::string& text) = 0;
  // A data file or project the user asked for has opened: the front end
  // may offer it again (its recent files). What failed to open is never
  // told, nor the data files a project loads.
  virtual void opened(const std::string& path) = 0;
  // Asks the size of a figure to export, proposed in `size`; `resolution`:
  // the dpi applies (a PNG). False when cancelled.
  virtual bool ask_figure_size(platform_types::figure_size& size, bool resolution,
                               platform_types::window_ref parent) = 0;
  // Writes a figure of `size`, drawn by `draw` on a white surface of that
  // many pixels, to `path` as PNG or SVG by its extension. The file is
  // replaced only once every byte is written. False with the message (for
  // example "PATH: Cannot write file: REASON") in `why`.
  virtual bool write_figure(const std::string& path, const platform_types::figure_size& size,
                            const std::function<void(platform_types::surface&)>& draw, std::string& why) = 0;
  // A popup menu at a point of a window's client area (negative: where the
  // mouse is); the id chosen, 0 when dismissed.
  virtual int popup_menu(platform_types::window_ref owner, int x, int y,
                         const std::vector<platform_types::menu_item>& items) = 0;

  // The main frame, its menu and its bars.
  virtual void set_app_events(platform_types::app_events* events) = 0;
  virtual void set_main_title(const std::string& title) = 0;
  virtual void set_menu(const std::vector<platform_types::menu_item>& popups) = 0;
  virtual void set_status_gadgets(const std::vector<platform_types::gadget>& gadgets) = 0;
  virtual void set_status_text(int gadget_id, const std::string& text) = 0;  // 0: the message area
  virtual void set_control_buttons(const std::vector<platform_types::gadget>& buttons) = 0;

  // MDI child frames. A graph view draws its own client area; a text frame's
  // client is an edit view holding a text.
  virtual frame_id create_frame(const std::string& title, platform_types::frame_events* events = nullptr) = 0;
  virtual frame_id create_text_frame(const std::string& title, platform_types::frame_events* events = nullptr) = 0;
  virtual void destroy_frame(frame_id frame) = 0;
  virtual void set_frame_title(frame_id frame, const std::string& title) = 0;
  virtual void activate_frame(frame_id frame) = 0;
  virtual frame_id active_frame() const = 0;
  // Closes a frame as its close box does: its owner is asked first (a
  // changed text asks to be saved) and may keep it. A platform without
  // windows has nothing to close.
  virtual void close_frame(frame_id /*frame*/) {}
  // Activates the child after the active one, in the order they were made,
  // the first after the last.
  virtual void activate_next_frame() {}
  // The MDI children open: views, texts and the report editor.
  virtual int frame_count() const { return 0; }
  virtual void focus_frame(frame_id frame) = 0;  // keyboard focus
  virtual void show_client(bool shown) = 0;
  virtual void tile_frames(bool horizontal = false) = 0;
  virtual void cascade_frames() = 0;
  virtual void arrange_icons() = 0;
  virtual void invalidate_frame(frame_id frame) = 0;
  virtual int frame_width(frame_id frame) const = 0;  // client pixels
  virtual int frame_height(frame_id frame) const = 0;
  virtual bool frame_minimised(frame_id frame) const = 0;
  virtual bool frame_maximised(frame_id frame) const = 0;
  // The mouse cursor over the frame: a cursor resource id, 0 for the arrow.
  virtual void set_frame_cursor(frame_id frame, int cursor_id) = 0;
  virtual void capture_mouse(frame_id frame) = 0;
  virtual void release_mouse() = 0;
  // Text frames.
  virtual void set_frame_text(frame_id frame, const std::string& text) = 0;
  virtual std::string frame_text(frame_id frame) const = 0;
  // Whether the user changed a text frame's text since it was last set or
  // marked unmodified.
  virtual bool frame_text_modified(frame_id frame) const = 0;
  virtual void set_frame_text_modified(frame_id frame, bool modified) = 0;
  virtual void set_frame_font(frame_id frame, const platform_types::font_description& font) = 0;

  // Dialogs built from a resource. Modeless ones are created hidden and
  // shown without taking the activation; modal ones are run by run_modal.
  virtual dialog_id create_dialog(const platform_types::dialog_resource& resource, platform_types::window_ref parent,
                                  bool modal, platform_types::dialog_events* events = nullptr) = 0;
  // A form of controls filling a frame's client area (the report editor).
  virtual dialog_id create_form(frame_id frame, const platform_types::dialog_resource& layout,
                                platform_types::dialog_events* events = nullptr) = 0;
  virtual void destroy_dialog(dialog_id dialog) = 0;
  virtual void show_dialog(dialog_id dialog, bool shown) = 0;
  virtual bool dialog_shown(dialog_id dialog) const = 0;
  // Runs a modal dialog; true for OK, false for Cancel, Escape and the close
  // box.
  virtual bool run_modal(dialog_id dialog) = 0;
  virtual void set_dialog_caption(dialog_id dialog, const std::string& caption) = 0;
  virtual void add_control(dialog_id dialog, const platform_types::control& c) = 0;
  virtual void remove_control(dialog_id dialog, int control) = 0;
  virtual void set_control_font(dialog_id dialog, int control, const platform_types::font_description& font) = 0;

  // List boxes. Selecting a line moves the caret to it.
  virtual void list_add(dialog_id dialog, int control, const std::string& line) = 0;
  virtual void list_clear(dialog_id dialog, int control) = 0;
  virtual void list_select(dialog_id dialog, int control, int index) = 0;
  virtual void list_set_selected(dialog_id dialog, int control, int index, bool selected) = 0;
  virtual std::vector<int> list_selection(dialog_id dialog, int control) const = 0;
  virtual int list_caret(dialog_id dialog, int control) const = 0;  // -1: none
  virtual int list_count(dialog_id dialog, int control) const = 0;
  virtual std::string list_text(dialog_id dialog, int control, int index) const = 0;
  // Replaces the text of one line, keeping its selection.
  virtual void list_replace(dialog_id dialog, int control, int index, const std::string& line) = 0;
  virtual int list_top_index(dialog_id dialog, int control) const = 0;
  virtual void list_set_top_index(dialog_id dialog, int control, int index) = 0;

  // Edits and labels. Multi-line texts end their lines with CR LF.
  virtual void edit_set_text(dialog_id dialog, int control, const std::string& text) = 0;
  virtual void edit_append(dialog_id dialog, int control, const std::string& text) = 0;
  virtual std::string edit_text(dialog_id dialog, int control) const = 0;

  // Off-screen pictures for flicker-free painting.
  virtual picture_id create_picture(int width, int height) = 0;
  virtual platform_types::surface* picture_surface(picture_id picture) = 0;
  virtual void copy_picture(picture_id picture, frame_id frame) = 0;
  virtual void copy_picture_into(picture_id from, picture_id to) = 0;
  // Copies a picture onto a surface being painted (a window's, in its paint
  // handler).
  virtual void paint_picture(picture_id picture, platform_types::surface& target) = 0;
  virtual void destroy_picture(picture_id picture) = 0;

  // Work the user waits for: a busy cursor while it runs, and how far it has
  // come when it has several parts (loading many files).
  virtual void set_busy(bool busy) = 0;
  virtual void show_progress(int done, int total) = 0;

  // Small settings kept between runs (whether views draw axes, a legend,
  // a light background), by key; "" for one never set. A platform that
  // keeps nothing (the batch tool's) answers "" and forgets what is set.
  virtual std::string setting(const std::string& /*key*/) const { return {}; }
  virtual void set_setting(const std::string& /*key*/, const std::string& /*value*/) {}

  // The event loop: runs until the main window closes. The headless platform
  // returns at once (its user is the program that drives it).
  virtual void run() = 0;
  virtual void quit() = 0;
};

// The platform the shell runs on; null before one is installed. Installing
// does not take ownership; returns the previous one.
platform* current_platform();
platform* set_platform(platform* p);

// Routes shown errors (show_error) to message boxes of the current platform,
// captioned as show_error gives them; standard error while none is
// installed. Returns the reporter it replaces.
error_reporter* install_platform_reporter();

// A surface that draws nothing: for pictures nobody will see, such as the
// views of jobs without a window. A report reads a view's x range and a
// figure is drawn at a size of its own, so no result depends on its size.
class blank_surface : public platform_types::surface {
 public:
  int width() const override { return 1000; }
  int height() const override { return 600; }
  void set_pen(platform_types::colour, int, platform_types::pen_style) override {}
  void set_fill(platform_types::colour) override {}
  void set_text_colour(platform_types::colour) override {}
  void fill_rect(int, int, int, int) override {}
  void line(int, int, int, int) override {}
  void polyline(const std::vector<int>&) override {}
  void pixel(int, int, platform_types::colour) override {}
  void rectangle(int, int, int, int) override {}
  void ellipse(int, int, int, int) override {}
  void text(int, int, const std::string&) override {}
};
