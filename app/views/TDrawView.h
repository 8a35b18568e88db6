#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/platform/command_ids.h"
#include "app/platform/platform.h"
#include "app/views/curve_family.h"
#include "app/views/display_flags_9.h"
#include "app/views/win_lims_9.h"
#include "app/views/zoom_history.h"
#include "core/assoc_class.h"
#include "core/ptr_class.h"
#include "xrd/measures/left_right_pressed_3.h"
#include "xrd/plots/plot_3.h"
#include "xrd/plots/plot_view.h"

class view_line_9;
class view_recs_9;
class xdd_child;

// Mouse cursors of a view, by resource id (0: the arrow).
namespace view_cursor {
inline constexpr int delete_peaks = 1207;
inline constexpr int manipulate = 4157;
inline constexpr int capture = 4158;
}  // namespace view_cursor

// A graph view (node "drvw" in "view_recs"): one or more loaded data files
// drawn as curves in an MDI child frame. It owns the mapping between world
// units and pixels, its display flags, the painting into an off-screen
// picture, and the routing of mouse and keys to the plots of its lines.
// The curves are drawn by the plot objects of its lines. Round them the view
// draws axes with ticks, numbers and captions (the plot is then the area
// inside their margins, and every mapping of a pixel follows it) and inside
// them a legend of the curves drawn, unless these are switched off for all
// views (view_look); the limits are also shown in the status bar and the
// axes dialog.
class TDrawView : public assoc_class,
                  public display_flags_9,
                  public win_lims_9,
                  public plot_view,
                  public left_right_pressed_3::cursors,
                  public platform_types::window_holder {
 public:
  TDrawView();
  ~TDrawView() override;
  const char* class_name() const override { return "drvw"; }
  std::unique_ptr<assoc_class> clone_empty() const override;
  virtual const char* view_name() const { return "XRD View"; }

  // --- window ---
  // Makes the view's frame in the MDI client and sets the window up: the
  // default flags of "view_recs", the ignore flag, the control bar and the
  // cursor. False when no frame could be made.
  bool open_window();
  platform::frame_id frame() const { return frame_; }
  platform_types::window_ref held_window() const override;
  // The frame was closed by the user: the platform destroys it; the view
  // leaves the list of views (into the deletion bin).
  void frame_closed();
  // Closes the view as its frame's close box does: the frame goes now, the
  // node at idle time (a caller up the stack may still hold it).
  void close_window();
  bool has_focus();
  void take_focus();

  // --- plot_view ---
  std::uint32_t show_bits() const override { return display_flags.bits(); }
  double x_left() const override { return x1; }
  double x_right() const override { return x2; }
  double y_bottom() const override { return y1; }
  double y_top() const override { return y2; }
  // A full repaint; asked while painting it does nothing (the paint is
  // drawing what changed).
  void redraw() override;

  // --- commands ---
  // The command's row in the installed table runs it; false when the id is
  // not a command of the view.
  virtual bool command(int id);
  virtual bool enabler(int id, platform_types::command_state& state);
  // One step of a control-bar scroll or extend button.
  void button_step(int id, bool right_button);
  // Toggles a display bit of this view; a fixing bit that is now set asks
  // for a full repaint.
  void toggle_fix(std::uint32_t bit);
  // Toggles a fixing bit of the views' default and brings every view to it.
  void all_views_fix(std::uint32_t bit);
  // Shows the file of the colour slot in this view, or takes it away.
  void file_button(int index);
  // Shows the loaded file `step` places after (or before) the one shown
  // first, alone.
  void show_next_file(int step);
  // A peak measure ("FWHM", "Centroid", "Area") of the view's one file.
  void measure(const char* what);
  view_recs_9* recs();

  // --- limits ---
  void set_x1(double x);
  void set_x2(double x);
  void set_y1(double y);
  void set_y2(double y);
  // Shows the limits in the status bar and the axes dialog.
  void push_limits();
  // Paint mode 0 (everything is drawn again) and the window invalidated.
  void invalidate_all();
  // Widens the limits to every shown curve; with nothing shown they stay.
  void show_all();
  // The smallest or largest y of the shown curves over the x window; false
  // when no plot answers.
  bool data_y_min(double& y);
  bool data_y_max(double& y);

  // --- zoom ---
  // A notch of the wheel narrows (or widens) the range by this.
  static constexpr double wheel_factor = 1.25;
  // A box narrower or lower than this is a slip of the hand, not a zoom.
  static constexpr int smallest_box = 5;
  // The runs of zooms that make one step of the history together.
  enum zoom_run : int { own_step = 0, wheel_x = 1, wheel_y = 2, first_button_run = 16 };
  view_limits current_limits() const;
  // Runs `change`, which moves the limits, as one zoom: when it changed
  // them, the limits before become a step of the history (joining the
  // step of the same run just before). The status bar and the axes dialog
  // follow and the view is drawn again.
  void zoom_by(const std::function<void()>& change, int run = own_step);
  bool can_zoom_back();
  bool can_zoom_forward();
  void zoom_back();
  void zoom_forward();
  // Another gesture came: the next wheel turn or button step is a step of
  // its own.
  void end_zoom_run();
  // Whether a Ctrl drag is drawing a box to zoom to.
  bool zoom_box_shown() const { return box_.active; }

  // --- lines ---
  assoc_class* line_list();
  std::vector<view_line_9*> lines();
  std::vector<assoc_class*> files();
  view_line_9* line_of(assoc_class* file);
  view_line_9* add_file(assoc_class* file);
  void delete_line(view_line_9* line);
  void delete_all_lines();
  // After lines came or went: title, file buttons, repaint.
  void lines_changed();
  // A line left because its file was unloaded: a view with no file left in
  // it has nothing to show and closes.
  void line_unloaded();

  // --- title ---
  void set_title();
  virtual std::string title_suffix() const;
  const std::string& title() const { return title_; }

  // --- figures ---
  // Brings the shown families' curves up to date and applies the y fixes,
  // as a paint does first: the limits are then those the curves are drawn in.
  void update_curves();
  // Draws the curves as a paint does, mapped onto `width` x `height` pixels
  // of `s` (a figure's plot) instead of the window's, whose mapping is kept.
  // The markers of the screen (origin, background, limit and tail points:
  // the plots that are neither captured nor reported) are left out: they
  // are handles for the mouse, not data.
  void draw_curves(platform_types::surface& s, int width, int height);
  // The curves the last drawing drew, one entry each, in the order drawn:
  // "fe110.xdd observed" in the file's colour and the family's pattern.
  const std::vector<legend_entry>& drawn_curves() const { return drawn_; }
  // The plot is the window less the axes' margins as the last paint laid
  // them out (none while the axes are off).
  void fit_plot_area(int width, int height);
  // The look of all views changed (axes, legend, background): each lays its
  // plot out again and is painted anew.
  static void look_changed(assoc_class& from);

  // --- input (from the frame) ---
  void paint(platform_types::surface& target);
  void mouse(const platform_types::mouse_event& e);
  void key(char c);
  void got_focus();
  void resized(int width, int height);
  void activated();
  // Another child of the MDI client (a text window, the report editor)
  // became the active one: no graph view has the focus now.
  void deactivated();
  // The cursor the view's transient objects call for.
  int chosen_cursor();
  void apply_cursor();

  // Where the measuring cursors of a press that no curve took go: the left
  // button sets x1, the right one x2.
  void set_left_cursor(double x) override;
  void set_right_cursor(double x) override;

  // Whether a curve is being dragged: from the press that took it to the
  // release.
  bool dragging() const { return drag_target_.get() != nullptr; }

  // --- state ---
  bool ignore_next_press = false;
  int paint_mode = 0;  // 0 full redraw asked, 1 drawn, 2 lambda cursor only
  int button_state = 0;  // bit 1 left, bit 2 right
  int mouse_x = 0;
  int mouse_y = 0;
  double world_x = 0.0;
  double world_y = 0.0;
  double x_origin = 0.0;  // status-bar offsets; 0 is off
  double y_origin = 0.0;

 protected:
  // When the window has been made: a view that shows something from the
  // start sets its flags here.
  virtual void setup_window() {}
  // Views whose x changes meaning with what they show (2θ or lengths) keep
  // a zoom history for each meaning; this says which the limits have now.
  virtual int limits_family() const { return 0; }
  // Refreshes the axes dialog if it is open.
  void refresh_axes_dialog();
  // The extent of the shown curves: x over all of them, y over the x window
  // [from, to]. False when no curve answers.
  bool curve_extent(double from, double to, double& xlo, double& xhi, double& ylo, double& yhi);

 private:
  void paint_curves(platform_types::surface& s, bool with_markers = true);
  // Lays out the axes of a window of width x height pixels, when they are
  // on and the window leaves room for a plot, and sets the plot's area.
  struct axes_layout;
  std::unique_ptr<axes_layout> lay_out_axes(platform_types::surface& s, int width, int height);
  void draw_axes(platform_types::surface& s, const axes_layout& axes);
  void draw_legend(platform_types::surface& s);
  void apply_y_fixes();
  // Keeps the x window [from, to] when the curves shown cover it, with y
  // fitted to them there; false (nothing changed) when they do not.
  bool keep_x_window(double from, double to);
  void press(const platform_types::mouse_event& e, bool right);
  void dispatch_press(bool right);
  void move(const platform_types::mouse_event& e);
  void release();
  void show_cursor_position();
  // The wheel zooms x around the cursor, or y with Shift.
  void turn_wheel(const platform_types::mouse_event& e);
  void apply_limits(const view_limits& to);
  zoom_history& history() { return histories_[limits_family()]; }
  // The box of a Ctrl drag, corners clamped to the plot.
  void start_box(const platform_types::mouse_event& e);
  void stretch_box(const platform_types::mouse_event& e);
  void finish_box();
  void cancel_box();
  void draw_zoom_box(platform_types::surface& s);
  void take_button_step(int id, bool right_button);
  void draw_lambda_cursor(platform_types::surface& s);
  bool lambda_cursor_on();

  platform::frame_id frame_ = 0;
  std::unique_ptr<xdd_child> child_;
  std::string title_;
  bool painting_ = false;
  ptr_class<assoc_class> drag_target_;
  plot_3::drag_mode drag_mode_ = plot_3::drag_mode::none;
  int drag_previous_x_ = 0;
  int drag_previous_y_ = 0;
  double drag_anchor_x_ = 0.0;
  struct zoom_box {
    bool active = false;
    int from_x = 0, from_y = 0, to_x = 0, to_y = 0;
  } box_;
  std::map<int, zoom_history> histories_;
  std::vector<legend_entry> drawn_;
  // The axes' margins: left, top, right, bottom.
  int margins_[4] = {0, 0, 0, 0};
};
