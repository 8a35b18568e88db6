#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "core/assoc_class.h"
#include "core/my_flag.h"
#include "core/ptr_class.h"

class button_pressed_3;
class plot_surface;
class plot_view;
class temp_line_3;
class xy_data_3;
class xy_yobs_4;

// A plot object: the node that decides when the curves of one family of a
// data file are recomputed, draws them in a view, chooses how the mouse may
// manipulate them, and measures the profile (text commands "FWHM",
// "Centroid" and "Area").
//
// A plot object may live in the data file or in a view's line; either way
// its curves are found by name from the data file, which is the nearest
// ancestor "xdd" unless the line binds another.
class plot_3 : public assoc_class {
 public:
  // Plot flags, read from "win_misc c plot_type_opts c <class name>".
  static constexpr std::uint32_t no_capt = 0x1;
  static constexpr std::uint32_t no_manip_x = 0x2;
  static constexpr std::uint32_t no_manip_y = 0x4;
  static constexpr std::uint32_t not_for_xy_report = 0x8;

  enum class drag_mode { none, x, y, capture };

  const char* class_name() const override { return "plot"; }
  std::unique_ptr<assoc_class> clone_empty() const override;
  // Reads the plot flags and the change script of this class.
  void configure() override;

  // The view's show bits under which this family is recomputed and drawn.
  virtual std::uint32_t show_mask() const { return 0; }
  bool shown_in(const plot_view& view) const;
  // The curve's name in reports, for example "Re".
  virtual const char* caption() const { return class_name(); }
  // Recomputes the family's curves when the view shows them and what they
  // are made from has changed; asks the view to redraw then. True when it did.
  virtual bool update(plot_view& view);
  // Draws the curves in the view's x window, and the measuring line if a
  // measurement left one (which is then deleted).
  virtual void draw(plot_view& view, plot_surface& surface);
  // The curve that the measures read, or null.
  virtual xy_data_3* measured_curve() { return nullptr; }

  assoc_class* data_file();
  void bind_file(assoc_class* file);
  xy_yobs_4* observed();
  // The file's count time for counts-per-second views: tBime, 1 without one.
  double count_time();

  // The view the plot was last updated or drawn in; measures need it. The
  // view unbinds itself (null) before it goes.
  plot_view* view() const { return view_; }
  void set_view(plot_view* view) { view_ = view; }

  drag_mode choose_drag_mode();

  // The extents of the shown curves, widening lo and hi: the whole x range
  // (show all), and the y range over the x window [xl, xr] (bit 0x1 the
  // lower bound, 0x2 the upper). Plots that draw nothing add nothing.
  virtual void x_extent(plot_view& view, double& lo, double& hi);
  virtual void y_extent(plot_view& view, double xl, double xr, int bits, double& lo, double& hi);

  // A press in the view: true when this plot took it, which ends the
  // dispatch; a plot whose curve was hit and may be dragged adds itself to
  // the press's candidates instead.
  virtual bool press(plot_view& view, button_pressed_3& pressed);

  // One step of a drag of the selected curve.
  struct drag_motion {
    drag_mode mode = drag_mode::none;
    double dx = 0.0;  // data distance of the pointer's move in x
    double dy = 0.0;  // and upwards in y
    int dx_pixels = 0;
    double world_x = 0.0;
    double world_y = 0.0;
    double previous_world_y = 0.0;
    double anchor_x = 0.0;  // the data x where the drag began
    bool scale = false;     // the view's scale modifier is held
  };
  virtual void drag(plot_view& view, const drag_motion& motion);
  // The curve being dragged, drawn with handles and a thin dotted pen for
  // the time of the drag; selecting another (or null) restores the old one.
  void select_curve(xy_data_3* curve);
  xy_data_3* selected_curve() const;
  // Marks the data file changed and the project modified: the user edited
  // what the file shows.
  void mark_edited();
  // After the user edited a curve: the change script, then every view of
  // the file and of each file tied to it redrawn, the tied files first
  // recalculated through their "for_recalcs_ref".
  void curve_changed();
  // Executes "invalidate_if_on" with the file.
  static void redraw_file(assoc_class& file);

  // "FWHM", "Centroid" or "Area" measures the curve in the view's window; the
  // result text (or "Error") stays in last_result and goes to "history_dlg"
  // after the file's name and the window, with its unit ("fe110.xdd
  // 42.00–47.50°: FWHM = 0.2345°"); with "Error", last_reason says why, and
  // the history line says it too. A counts-per-second view's area is in
  // counts/s·°.
  assoc_class* set_text(const char* text) override;
  const std::string& last_result() const { return result_; }
  const std::string& last_reason() const { return reason_; }
  // The measuring line, made on request.
  temp_line_3* temp_line(bool create);

  my_flag plot_flags;
  std::string change_script;

 protected:
  // The node of that name seen from the data file, kept in `holder`.
  assoc_class* file_member(ptr_class<assoc_class>& holder, const char* name);

 private:
  std::string measure(const char* command);
  // The file's name and the view's x window, as the history lines start.
  std::string measured_where();

  plot_view* view_ = nullptr;
  ptr_class<assoc_class> selected_;
  int saved_width_ = 1;
  int saved_style_ = 0;
  ptr_class<assoc_class> file_;
  ptr_class<assoc_class> yobs_;
  ptr_class<assoc_class> time_;
  std::string result_;
  std::string reason_;
  std::string unit_;  // of the last result: "°", " counts·°" ...
};
