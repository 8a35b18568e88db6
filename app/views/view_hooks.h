#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/platform/platform.h"

class TDrawView;
class plot_surface;

// One thing a person can ask of a graph view: a command (a menu item, a
// control-bar or file button), a key, or both when they do the same.
struct view_command_row {
  int id = 0;       // 0: a key alone
  int last_id = 0;  // the last of a range of ids (the file buttons); 0: the id alone
  char key = 0;     // 0: no key
  // Runs the command with its id (0 for a key); false when the view does
  // not answer it. None: the id only has an enabler (the control-bar
  // steps, which the buttons take).
  std::function<bool(TDrawView& view, int id)> action;
  // Sets the check mark, and the enabled state when it is not simply on;
  // false when the view does not answer the id. None: enabled, unchecked.
  std::function<bool(TDrawView& view, int id, platform_types::command_state& state)> enabler;
  // After the key the scale is recomputed and the cursor position shown.
  bool key_rescales = false;
};

// A curve a graph view draws over those of its lines while it shows the
// family of `show_mask`: a result computed from several files at once,
// which no single line owns. It is drawn in the colour of no file, in the
// window and in figures alike.
class view_plot {
 public:
  virtual ~view_plot() = default;
  virtual std::uint32_t show_mask() const = 0;
  virtual void draw(TDrawView& view, plot_surface& s) = 0;
  // The legend's name of what it drew; "" leaves it out of the legend.
  virtual std::string legend_name(TDrawView& /*view*/) const { return {}; }
  virtual platform_types::pen_style legend_style() const { return platform_types::pen_style::solid; }
};

// What a graph view takes from the application around it. The views lie
// below the shell, which fills this in at start-up; a view with nothing
// installed answers no command and shows its limits nowhere.
struct view_hooks {
  std::vector<view_command_row> commands;
  std::vector<std::unique_ptr<view_plot>> plots;
  // The status bar: the view's limits, and where the cursor is.
  std::function<void(TDrawView& view, double x1, double x2, double y1, double y2)> show_limits;
  std::function<void(TDrawView& view, double x, double y)> show_cursor;
};

void install_view_hooks(view_hooks hooks);
const view_hooks& installed_view_hooks();
// The row of a command id or of a key, or null.
const view_command_row* view_command_row_for(int id);
const view_command_row* view_key_row_for(char key);
