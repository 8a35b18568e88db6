#include "app/shell/view_commands.h"

#include <algorithm>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "app/analysis/line_marks_plot.h"
#include "app/analysis/size_coefficients_plot.h"
#include "app/analysis/size_strain_command.h"
#include "app/capture/capture_as_txt_3.h"
#include "app/shell/for_app_3.h"
#include "app/shell/pattern_commands.h"
#include "app/views/TDrawView.h"
#include "app/views/figure_export.h"
#include "app/views/for_dr_vw_3.h"
#include "app/views/series_window.h"
#include "app/views/view_look.h"
#include "app/views/view_recs_9.h"
#include "core/paths.h"

namespace {

namespace vc = view_command;
using platform_types::command_state;

view_command_row command(int id, std::function<void(TDrawView&)> act) {
  view_command_row row;
  row.id = id;
  row.action = [act = std::move(act)](TDrawView& v, int) {
    act(v);
    return true;
  };
  return row;
}

// A command the view answers without doing anything.
view_command_row nothing(int id) {
  return command(id, [](TDrawView&) {});
}

// A control-bar step: enabled, and taken by the button itself.
view_command_row step(int id) {
  view_command_row row;
  row.id = id;
  return row;
}

// Fixing one y limit of this view to the data, checked while it is fixed.
view_command_row fix_this_view(int id, std::uint32_t bit) {
  view_command_row row = command(id, [bit](TDrawView& v) { v.toggle_fix(bit); });
  row.enabler = [bit](TDrawView& v, int, command_state& s) {
    s.checked = v.display_flags.test(bit) != 0;
    return true;
  };
  return row;
}

// The same for every view, checked while the views' default fixes it.
view_command_row fix_all_views(int id, std::uint32_t bit) {
  view_command_row row = command(id, [bit](TDrawView& v) { v.all_views_fix(bit); });
  row.enabler = [bit](TDrawView& v, int, command_state& s) {
    view_recs_9* r = v.recs();
    s.checked = r && r->display_flags.test(bit) != 0;
    return true;
  };
  return row;
}

// Showing a family of the Fourier chain, checked while it is shown; only
// the workbench's graph view has the families.
view_command_row display(int id) {
  view_command_row row;
  row.id = id;
  row.action = [](TDrawView& v, int which) {
    auto* families = dynamic_cast<for_dr_vw_3*>(&v);
    if (!families) return false;
    families->toggle_display(which);
    return true;
  };
  row.enabler = [](TDrawView& v, int which, command_state& s) {
    auto* families = dynamic_cast<for_dr_vw_3*>(&v);
    if (!families) return false;
    s.enabled = true;
    s.checked = families->display_flags.test(for_dr_vw_3::display_bit(which)) != 0;
    return true;
  };
  return row;
}

// A command that moves the limits: one step of the view's zoom history.
std::function<void(TDrawView&)> zooming(std::function<void(TDrawView&)> act) {
  return [act = std::move(act)](TDrawView& v) { v.zoom_by([&] { act(v); }); };
}

// Back or Forward through the zoom history, enabled while there is a step
// that way.
view_command_row zoom_step(int id, bool back) {
  view_command_row row = command(id, [back](TDrawView& v) { back ? v.zoom_back() : v.zoom_forward(); });
  row.enabler = [back](TDrawView& v, int, command_state& s) {
    s.enabled = back ? v.can_zoom_back() : v.can_zoom_forward();
    return true;
  };
  return row;
}

view_command_row key(char c, bool rescales, std::function<void(TDrawView&)> act) {
  view_command_row row = command(0, std::move(act));
  row.key = c;
  row.key_rescales = rescales;
  return row;
}

// A choice of how every view is drawn (axes, legend, background), checked
// while it is on, kept for the next run.
view_command_row look_choice(int id, bool view_look::*choice) {
  view_command_row row = command(id, [choice](TDrawView& v) {
    view_look& look = view_look::current();
    look.*choice = !(look.*choice);
    if (platform* p = current_platform()) view_look::save(*p);
    TDrawView::look_changed(v);
    if (platform* p = current_platform())
      for (platform::frame_id series : series_windows()) p->invalidate_frame(series);
  });
  row.enabler = [choice](TDrawView&, int, command_state& s) {
    s.checked = view_look::current().*choice;
    return true;
  };
  return row;
}

// The file buttons: each shows its file in the view, or takes it away.
view_command_row file_buttons() {
  view_command_row row;
  row.id = vc::first_file_button;
  row.last_id = vc::last_file_button;
  row.action = [](TDrawView& v, int id) {
    v.file_button(id - vc::first_file_button);
    return true;
  };
  return row;
}

// A key that moves y1 or y2 to the cursor: a bottom above the top is the
// user's range upside down.
void bottom_at_cursor(TDrawView& v) {
  v.display_flags.clear(view_bits::fix_y1_at_min | view_bits::fix_y1_at_zero);
  v.y1 = v.world_y;
  if (v.y1 > v.y2) std::swap(v.y1, v.y2);
  v.push_limits();
  v.invalidate_all();
}

void top_at_cursor(TDrawView& v) {
  v.display_flags.clear(view_bits::fix_y2_at_max);
  v.y2 = v.world_y;
  if (v.y1 > v.y2) std::swap(v.y1, v.y2);
  v.push_limits();
  v.invalidate_all();
}

// Every loaded file in the view, all of them shown.
void every_file(TDrawView& v) {
  v.delete_all_lines();
  if (assoc_class* loaded = find(v, "xAdd_recs")) {
    node_list files;
    for (int i = 0; i < loaded->child_count(); ++i) files.push_back(loaded->child(i));
    for (assoc_class* f : files) v.add_file(f);
  }
  v.lines_changed();
  v.show_all();
}

}  // namespace

std::vector<view_command_row> view_command_table() {
  std::vector<view_command_row> rows;
  rows.push_back(file_buttons());
  view_command_row show_all = command(vc::show_all, zooming([](TDrawView& v) { v.show_all(); }));
  show_all.key = 's';
  rows.push_back(std::move(show_all));
  rows.push_back(fix_this_view(vc::fix_y2_max, view_bits::fix_y2_at_max));
  rows.push_back(fix_this_view(vc::fix_y1_min, view_bits::fix_y1_at_min));
  rows.push_back(fix_this_view(vc::fix_y1_zero, view_bits::fix_y1_at_zero));
  rows.push_back(command(vc::show_all_views, [](TDrawView& v) {
    if (view_recs_9* r = v.recs())
      for (TDrawView* each : r->views()) each->zoom_by([each] { each->show_all(); });
  }));
  rows.push_back(fix_all_views(vc::fix_y2_max_all, view_bits::fix_y2_at_max));
  rows.push_back(fix_all_views(vc::fix_y1_min_all, view_bits::fix_y1_at_min));
  rows.push_back(fix_all_views(vc::fix_y1_zero_all, view_bits::fix_y1_at_zero));
  rows.push_back(nothing(vc::nothing_a));
  rows.push_back(nothing(vc::nothing_b));
  rows.push_back(command(vc::xy_report, [](TDrawView& v) {
    if (assoc_class* report = find(v, "capture_as_txt")) report->execute();
  }));
  for (int id = vc::first_display; id <= vc::last_display; ++id) rows.push_back(display(id));
  rows.push_back(command(vc::size_strain, [](TDrawView& v) { show_size_strain(v); }));
  rows.push_back(command(vc::copy, [](TDrawView& v) {
    // The curves as a spreadsheet takes them; a view that shows none
    // leaves the clipboard as it was.
    if (const std::string text = capture_as_txt_3::report_tsv(v); !text.empty())
      if (platform* p = current_platform()) p->set_clipboard_text(text);
  }));
  rows.push_back(command(vc::automatic_limit, [](TDrawView& v) { set_automatic_limits(v); }));
  rows.push_back(command(vc::analyse_pattern, analyse_pattern_in_view));
  rows.push_back(command(vc::analyse_line, analyse_line_in_view));
  rows.push_back(command(vc::clear_line_marks, clear_line_marks_in_view));
  rows.push_back(command(vc::subtract_background, subtract_pattern_background_in_view));
  rows.push_back(command(vc::export_figure, [](TDrawView& v) { export_figure(v); }));
  rows.push_back(look_choice(vc::axes, &view_look::axes));
  rows.push_back(look_choice(vc::legend, &view_look::legend));
  rows.push_back(look_choice(vc::light_background, &view_look::light));
  rows.push_back(step(vc::scroll));
  rows.push_back(step(vc::extend_x));
  rows.push_back(step(vc::extend_y));
  rows.push_back(zoom_step(vc::zoom_back, true));
  rows.push_back(zoom_step(vc::zoom_forward, false));

  rows.push_back(key('l', false, every_file));
  rows.push_back(key('a', true, zooming([](TDrawView& v) {
    double y = 0.0;
    if (v.data_y_max(y)) v.set_y2(y);
    v.invalidate_all();
  })));
  rows.push_back(key('b', true, zooming(bottom_at_cursor)));
  rows.push_back(key('t', true, zooming(top_at_cursor)));
  rows.push_back(key('x', true, [](TDrawView& v) { v.x_origin = v.x_origin == 0.0 ? v.world_x : 0.0; }));
  rows.push_back(key('y', true, [](TDrawView& v) { v.y_origin = v.y_origin == 0.0 ? v.world_y : 0.0; }));
  rows.push_back(key('`', false, [](TDrawView& v) { v.show_next_file(1); }));
  rows.push_back(key('~', false, [](TDrawView& v) { v.show_next_file(-1); }));
  rows.push_back(key('1', true, [](TDrawView& v) { v.invalidate_all(); }));
  rows.push_back(key('h', true, [](TDrawView& v) { v.measure("FWHM"); }));
  rows.push_back(key('c', true, [](TDrawView& v) { v.measure("Centroid"); }));
  rows.push_back(key('i', true, [](TDrawView& v) { v.measure("Area"); }));
  return rows;
}

void install_view_commands() {
  view_hooks hooks;
  hooks.commands = view_command_table();
  hooks.plots.push_back(std::make_unique<size_coefficients_plot>());
  hooks.plots.push_back(std::make_unique<line_marks_plot>());
  hooks.show_limits = [](TDrawView& v, double x1, double x2, double y1, double y2) {
    if (auto* app = dynamic_cast<for_app_3*>(v.app_object())) app->show_limits(x1, x2, y1, y2);
  };
  hooks.show_cursor = [](TDrawView& v, double x, double y) {
    if (auto* app = dynamic_cast<for_app_3*>(v.app_object())) app->show_cursor(x, y);
  };
  install_view_hooks(std::move(hooks));
}
