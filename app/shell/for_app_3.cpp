#include "app/shell/for_app_3.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <string>

#include "app/dialogs/B_dlg_3.h"
#include "app/files/do_unload_3.h"
#include "app/files/load_data_file.h"
#include "app/files/open_series_table.h"
#include "app/project/proj_open_3.h"
#include "app/project/proj_save_3.h"
#include "app/report/input_vw_3.h"
#include "app/shell/edit_history.h"
#include "app/shell/menu_commands.h"
#include "app/text/txt_docs_3.h"
#include "app/views/TDrawView.h"
#include "app/views/color_3.h"
#include "app/views/colors_3.h"
#include "app/views/for_dr_vw_3.h"
#include "app/views/series_window.h"
#include "app/views/view_recs_9.h"
#include "app/views/view_look.h"
#include "core/error_message.h"
#include "core/node_watch.h"
#include "core/numeric_abort.h"
#include "template/get_objs_3.h"
#include "app/platform/platform.h"
#include "core/paths.h"
#include "core/text_helpers.h"
#include "template/out_side_recs_3.h"
#include "template/process_strs_fns_3.h"

namespace {

const char* app_name() {
  const char* name = outside_value("app_name");
  return name ? name : "";
}

bool is_yes(assoc_class* answer) {
  const char* t = answer ? answer->get_text() : nullptr;
  return t && t[0] == 'Y' && t[1] == '\0';
}

}  // namespace

std::string limits_text(double x1, double x2, double y1, double y2) {
  return "x(" + format_number("%-1.3f, ", x1) + format_number("%-1.3f)  ", x2) + format_number("y(%-1.0f, ", y1) +
         format_number("%-1.0f)", y2);
}

for_app_3::for_app_3() : history_(std::make_unique<edit_history>()) {}

for_app_3::~for_app_3() {
  // The platform must not call a handler that is gone.
  if (platform* p = current_platform(); p && registered_) p->set_app_events(nullptr);
}

assoc_class* for_app_3::execute() {
  init_main_window();
  if (platform* p = current_platform()) p->run();
  return assoc_class::execute();
}

void for_app_3::init_main_window() {
  platform* p = current_platform();
  if (!p) return;
  // The views' look the person chose in an earlier run.
  view_look::load(*p);
  p->set_app_events(this);
  registered_ = true;
  p->set_main_title(app_name());
  if (assoc_class* bar = find(*this, "controlbar")) bar->execute();
  p->set_status_gadgets({{status_gadget::project, 12, 0},
                         {status_gadget::limits, 20, 0},
                         {status_gadget::cursor_x, 8, 0},
                         {status_gadget::cursor_y, 11, 0},
                         {0, 0, 3}});
  p->set_menu(main_menu());
}

bool for_app_3::is_view_command(int id) {
  namespace vc = view_command;
  return (id >= vc::fix_y1_zero && id <= vc::nothing_a) || (id >= vc::show_all_views && id <= vc::nothing_b) ||
         (id >= vc::xy_report && id <= vc::last_display) || (id >= vc::first_file_button && id <= vc::last_file_button) ||
         id == vc::size_strain || id == vc::automatic_limit || id == vc::copy || id == vc::export_figure ||
         id == vc::analyse_pattern || id == vc::analyse_line || id == vc::clear_line_marks ||
         id == vc::subtract_background || id == vc::zoom_back || id == vc::zoom_forward ||
         id == vc::axes || id == vc::legend || id == vc::light_background ||
         id == vc::scroll || id == vc::extend_x || id == vc::extend_y;
}

TDrawView* for_app_3::focused_view() {
  view_recs_9* views = view_list(*this);
  return views ? views->focused() : nullptr;
}

void for_app_3::command(int id) {
  // Whatever the command changed, the report editor shows it, and a change
  // of a file's data or options can be undone.
  struct refresh_after {
    for_app_3& app;
    int id;
    ~refresh_after() {
      if (id != command_id::undo && id != command_id::redo) app.edit_done(edit_name_of(id));
      app.refresh_report_editor();
    }
  } refresh{*this, id};
  try {
    if (is_view_command(id)) {
      if (TDrawView* view = focused_view()) view->command(id);
      return;
    }
    platform* p = current_platform();
    switch (id) {
      case command_id::undo:
      case command_id::redo:
        undo_or_redo(id == command_id::undo);
        return;
      case command_id::about:
        about();
        return;
      case command_id::load_data:
        load_data();
        return;
      case command_id::view_selected_files:
        view_selected_files();
        return;
      case command_id::exit:
        if (p && can_close()) p->quit();
        return;
      case command_id::save_project:
        save_project();
        return;
      case command_id::cascade:
        if (p) p->cascade_frames();
        return;
      case command_id::tile_vertical:
        if (p) p->tile_frames(false);
        return;
      case command_id::tile_horizontal:
        if (p) p->tile_frames(true);
        return;
      case command_id::arrange_icons:
        if (p) p->arrange_icons();
        return;
      case command_id::close_window:
        if (p && p->active_frame()) p->close_frame(p->active_frame());
        return;
      case command_id::next_window:
        if (p) p->activate_next_frame();
        return;
      case command_id::load_txt:
      case command_id::save_txt:
      case command_id::save_txt_as:
        if (txt_docs_3* docs = text_documents(*this)) docs->command(id);
        return;
      case view_command::file_unload:
      case view_command::file_save_as:
      case view_command::file_show_alone:
        // Only from a file button's popup, which names the file.
        return;
      default:
        run_scripted("win_misc c commands", id);
        return;
    }
  } catch (const numeric_abort& abort) {
    // A numerical stage gave up and ended this action; the application goes
    // on with the next one.
    report_numeric_abort(abort);
  }
}

for_app_3::enabler_state for_app_3::enabler(int id) {
  enabler_state state;
  if (is_view_command(id)) {
    TDrawView* view = focused_view();
    // The scroll and extend buttons stay usable: a press with no view in
    // focus simply does nothing.
    if (id == view_command::scroll || id == view_command::extend_x || id == view_command::extend_y) return state;
    if (!view || !view->enabler(id, state)) state.enabled = false;
    return state;
  }
  switch (id) {
    case command_id::undo:
    case command_id::redo:
      return undo_or_redo_state(id == command_id::undo);
    case command_id::view_selected_files: {
      assoc_class* files = loaded_files();
      state.enabled = files && files->child_count() > 0 && focused_view();
      return state;
    }
    case command_id::save_project: {
      assoc_class* files = loaded_files();
      state.enabled = files && files->child_count() > 0;
      return state;
    }
    case command_id::load_txt:
    case command_id::save_txt:
    case command_id::save_txt_as: {
      // Saving needs a text window as the active child: not a graph view,
      // not the report editor.
      txt_docs_3* docs = text_documents(*this);
      state.enabled = docs && docs->enabled(id);
      return state;
    }
    case command_id::close_window: {
      platform* p = current_platform();
      state.enabled = p && p->active_frame() != 0;
      return state;
    }
    case command_id::next_window: {
      platform* p = current_platform();
      state.enabled = p && p->frame_count() > 1;
      return state;
    }
    case command_id::about:
    case command_id::load_data:
    case command_id::exit:
    case command_id::cascade:
    case command_id::tile_vertical:
    case command_id::tile_horizontal:
    case command_id::arrange_icons:
      return state;
    default:
      break;
  }
  // A command without an enabler script has nothing behind it.
  state.enabled = false;
  try {
    if (!run_scripted("win_misc c enablers", id)) return state;
  } catch (const numeric_abort& abort) {
    report_numeric_abort(abort);
  }
  if (assoc_class* checked = checked_.get(*this)) {
    state.checked = checked->get_int() != 0;
    checked->set_int(0);
  }
  if (assoc_class* enabled = enabled_.get(*this)) state.enabled = enabled->get_int() != 0;
  return state;
}

void for_app_3::on_button_press(int id, platform_types::mouse_button button) {
  try {
    if (id >= view_command::first_file_button && id <= view_command::last_file_button) {
      if (button == platform_types::mouse_button::right)
        file_button_popup(id);
      else
        command(id);
      return;
    }
    if (TDrawView* view = focused_view())
      view->button_step(id, button == platform_types::mouse_button::right);
  } catch (const numeric_abort& abort) {
    report_numeric_abort(abort);
  }
}

void for_app_3::on_button_hover(int id) {
  colors_3* slots = colour_slots(*this);
  color_3* slot = slots ? slots->slot(id - view_command::first_file_button) : nullptr;
  assoc_class* file = slot ? slot->file() : nullptr;
  if (!file) return;
  assoc_class* hint = find(*file, "hint_text");
  if (!hint) return;
  hint->execute();
  const char* text = hint->get_text();
  show_hint(text ? text : "");
}

void for_app_3::file_button_popup(int id) {
  platform* p = current_platform();
  colors_3* slots = colour_slots(*this);
  color_3* slot = slots ? slots->slot(id - view_command::first_file_button) : nullptr;
  assoc_class* file = slot ? slot->file() : nullptr;
  if (!p || !file || !focused_view()) return;
  // At the button that was pressed, which is where the mouse is.
  const int chosen = p->popup_menu(platform_types::window_ref::main_window(), -1, -1,
                                   {{view_command::file_show_alone, "Show all of this file", "", {}},
                                    {},
                                    {view_command::file_unload, "Unload", "", {}},
                                    {view_command::file_save_as, "Save As", "", {}}});
  switch (chosen) {
    case view_command::file_show_alone:
      if (TDrawView* view = focused_view()) {
        view->delete_all_lines();
        view->add_file(file);
        view->lines_changed();
        view->show_all();
        if (assoc_class* ref = find(*this, "vw_with_focus")) ref->execute();
      }
      return;
    case view_command::file_unload:
      if (assoc_class* unload = find(*this, "do_unload")) {
        unload->set_object(file);
        unload->execute();
      }
      return;
    case view_command::file_save_as:
      if (assoc_class* save = find(*this, "save_xdd_as")) {
        save->set_object(file);
        save->execute();
      }
      return;
    default:
      return;
  }
}

bool for_app_3::run_scripted(const char* group, int id) {
  assoc_class* scripts = query_object(group);
  if (!scripts) return false;
  const std::string key = format_int(id);
  assoc_class* entry = scripts->find_child(key.c_str());
  if (!entry || !entry->first_child()) return false;
  // The script text lives in the outside records, which outlive every run.
  run_process_text(*this, entry->first_child()->class_name());
  return true;
}

bool for_app_3::can_close() {
  assoc_class* answer = find(*this, "cBan_close");
  if (answer) {
    answer->set_text("Y");
    answer->execute();
  }
  // Every question (the project, the modified data files, the modified
  // texts) is asked before anything is unloaded or closed: a No or a Cancel
  // anywhere leaves the whole session as it was.
  if (is_yes(find_existing(*this, "cBan_close"))) {
    if (assoc_class* to_project = find(*this, "app_closing_to_proj")) to_project->execute();
  }
  std::vector<std::unique_ptr<node_watch>> let_go;
  bool may_close = is_yes(find_existing(*this, "cBan_close")) && data_files_may_go(let_go);
  if (may_close) {
    txt_docs_3* docs = text_documents(*this);
    may_close = !docs || docs->can_close();
  }
  if (may_close) {
    // The user has let each modified file go: it is unloaded without being
    // asked about again.
    for (const auto& w : let_go)
      if (assoc_class* file = w->get()) file->set_changed(false);
    if (assoc_class* unload_all = find(*this, "dAo_unload_all")) unload_all->execute();
    assoc_class* files = loaded_files();
    may_close = is_yes(find_existing(*this, "cBan_close")) && !(files && files->child_count() > 0);
  }
  // The next attempt starts with a fresh object made from the template.
  delete_named(*this, "cBan_close");
  return may_close;
}

bool for_app_3::data_files_may_go(std::vector<std::unique_ptr<node_watch>>& let_go) {
  assoc_class* files = loaded_files();
  if (!files) return true;
  // A question's script may take files away while the others wait.
  std::vector<std::unique_ptr<node_watch>> waiting;
  for (int i = 0; i < files->child_count(); ++i) waiting.push_back(std::make_unique<node_watch>(files->child(i)));
  for (auto& w : waiting) {
    assoc_class* file = w->get();
    if (!file || !file->is_changed()) continue;
    if (!do_unload_3::may_unload(*file, *this)) return false;
    let_go.push_back(std::move(w));
  }
  return true;
}

void for_app_3::save_project() {
  if (auto* save = dynamic_cast<proj_save_3*>(find(*this, "proj_save"))) save->save_to_current();
}

void for_app_3::idle() {
  if (assoc_class* bin = deletion_bin()) bin->delete_all_children();
  // What changed without a person's edit (a paint making the defaults
  // explicit, a capture) is where the next edit starts from; a drag under
  // way is one edit, taken when it ends.
  edits_settled();
  // Values also change by dragging in a view and through dialogs.
  refresh_report_editor();
}

void for_app_3::refresh_report_editor() {
  if (auto* editor = dynamic_cast<input_vw_3*>(find_existing(*this, "input_vw"))) editor->refresh();
}

void for_app_3::show_limits(double x1, double x2, double y1, double y2) {
  if (platform* p = current_platform()) p->set_status_text(status_gadget::limits, limits_text(x1, x2, y1, y2));
}

void for_app_3::show_cursor(double x, double y) {
  if (platform* p = current_platform()) {
    p->set_status_text(status_gadget::cursor_x, format_number("x= %-1.4f", x));
    p->set_status_text(status_gadget::cursor_y, format_number("y= %-1.4f", y));
  }
}

void for_app_3::show_hint(const std::string& text) {
  if (platform* p = current_platform()) p->set_status_text(0, text);
}

assoc_class* for_app_3::loaded_files() { return loaded_files_.get(*this); }

assoc_class* for_app_3::deletion_bin() { return deletion_bin_.get(*this); }

void for_app_3::about() {
  if (platform* p = current_platform())
    p->message(platform_types::box_kind::information, app_name(),
               std::string(app_name()) +
                   "\nX-ray powder diffraction line-profile analysis by Fourier methods:\n"
                   "transforms, Stokes deconvolution, inverse transforms, FWHM, centroid and area.");
}

void for_app_3::load_data() {
  assoc_class* more = find(*this, "ok_to_load_more");
  if (!more || !more->execute()) return;
  TDrawView* view = new_graph_view();
  if (!view) return;
  node_watch still_there(view);
  try {
    if (assoc_class* open = find(*this, "xrd_open_dlg")) open->execute();
  } catch (...) {
    if (still_there) close_if_empty(*view);
    throw;
  }
  if (still_there) close_if_empty(*view);
}

void for_app_3::close_if_empty(TDrawView& view) {
  // A cancelled dialog, or files that were all refused or loaded already,
  // leave nothing to show.
  if (view.lines().empty())
    view.close_window();
  else
    view.invalidate_all();
}

bool for_app_3::is_project_path(const std::string& path) {
  const char* ext = outside_value("def_prj_ext");
  const std::size_t dot = path.find_last_of('.');
  const std::size_t slash = path.find_last_of('/');
  if (!ext || dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
  const std::string given = path.substr(dot + 1);
  const std::string wanted = ext;
  return given.size() == wanted.size() &&
         std::equal(given.begin(), given.end(), wanted.begin(),
                    [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) ==
                                                std::tolower(static_cast<unsigned char>(b)); });
}

void for_app_3::open_paths(const std::vector<std::string>& paths) {
  std::vector<std::string> data;
  std::string project;
  for (const std::string& p : paths) {
    if (is_project_path(p))
      project = p;
    else
      data.push_back(p);
  }
  platform* p = current_platform();
  try {
    if (!project.empty()) {
      if (auto* open = dynamic_cast<proj_open_3*>(find(*this, "proj_open"))) open->open_path(project);
    }
    if (data.empty()) return;
    assoc_class* more = find(*this, "ok_to_load_more");
    if (!more || !more->execute()) return;
    TDrawView* view = new_graph_view();
    if (!view) return;
    node_watch still_there(view);
    if (p) p->set_busy(true);
    int done = 0;
    platform::frame_id table = 0;  // the last series table opened
    for (const std::string& path : data) {
      if (const series_open s = open_series_table(path); s != series_open::not_a_table) {
        if (s == series_open::opened && p) p->opened(path);
        if (s == series_open::opened && !series_windows().empty()) table = series_windows().back();
        continue;
      }
      const load_result r = load_data_file(*this, path);
      if (r == load_result::limit_reached) break;
      if (r == load_result::loaded && p) p->opened(path);
      if (p && data.size() > 1) p->show_progress(++done, static_cast<int>(data.size()));
    }
    if (p) p->set_busy(false);
    if (still_there) close_if_empty(*view);
    // The end of the wait cleared the status bar, which said what it shows.
    if (table) series_window_changed(table);
  } catch (const numeric_abort& abort) {
    if (p) p->set_busy(false);
    report_numeric_abort(abort);
  }
  history_->settle(loaded_files());
}

TDrawView* for_app_3::new_graph_view() {
  view_recs_9* views = view_list(*this);
  std::unique_ptr<assoc_class> made = create_registered("drvw");
  if (!dynamic_cast<TDrawView*>(made.get())) made = std::make_unique<for_dr_vw_3>();
  auto* view = static_cast<TDrawView*>(made.get());
  // The template places views in "view_recs".
  assoc_class* parent = views ? static_cast<assoc_class*>(views) : find_parent_of(*this, "drvw");
  if (!parent || !parent->add_child(std::move(made)) || !view->open_window()) {
    if (view->parent()) view->parent()->delete_child(view);
    global_error_message().append("Unable to create view");
    show_error(this);
    return nullptr;
  }
  return view;
}

void for_app_3::close_all_views() {
  view_recs_9* views = view_list(*this);
  if (!views) return;
  while (TDrawView* last = views->last_view()) {
    views->delete_child(last);
    if (views->last_view() == last) break;  // a view that refused to go
  }
}

void for_app_3::one_view_per_file(const node_list& files) {
  platform* p = current_platform();
  std::vector<std::unique_ptr<node_watch>> watched;
  for (assoc_class* f : files) watched.push_back(std::make_unique<node_watch>(f));
  close_all_views();
  if (p) p->show_client(false);
  for (const auto& w : watched) {
    if (!w->get()) continue;
    if (TDrawView* view = new_graph_view()) {
      view->add_file(w->get());
      view->lines_changed();
      view->show_all();
    }
  }
  if (p) {
    p->tile_frames(false);
    p->show_client(true);
  }
}

void for_app_3::view_selected_files() {
  TDrawView* view = focused_view();
  if (!view) return;
  // The files are kept by watching them, not by owning them.
  node_list files;
  for (assoc_class* f : view->files()) files.push_back(f);
  one_view_per_file(files);
}

void for_app_3::edit_done(const std::string& what) {
  history_->record(loaded_files(), find_existing(*this, "set_proj_dirty"), what);
}

void for_app_3::edits_settled() {
  if (!dragging()) history_->settle(loaded_files());
}

bool for_app_3::dragging() {
  view_recs_9* views = view_list(*this);
  if (!views) return false;
  for (TDrawView* view : views->views())
    if (view->dragging()) return true;
  return false;
}

void for_app_3::undo_or_redo(bool undo) {
  assoc_class* dirty = find_existing(*this, "set_proj_dirty");
  if (!(undo ? history_->undo(loaded_files(), dirty) : history_->redo(loaded_files(), dirty))) return;
  // The options' last choice shows what the files may no longer be.
  if (auto* options = dynamic_cast<B_dlg_3*>(find_existing(*this, "opts_a"))) options->forget_choices();
}

for_app_3::enabler_state for_app_3::undo_or_redo_state(bool undo) {
  enabler_state state;
  const std::string name = undo ? history_->undo_name() : history_->redo_name();
  state.enabled = !name.empty();
  if (!state.enabled) return state;
  // A file name is shown as it is: an ampersand in it is no access key.
  std::string shown;
  for (char c : name) {
    shown += c;
    if (c == '&') shown += '&';
  }
  state.text = (undo ? "&Undo " : "Re&do ") + shown;
  return state;
}

std::string for_app_3::edit_name_of(int command) {
  switch (command) {
    case view_command::automatic_limit:
      return "automatic limit";
    case view_command::size_strain:
      return "size and strain";
    default:
      break;
  }
  // Another command that changed a file is named as its menu item is.
  struct finder {
    static const platform_types::menu_item* in(const std::vector<platform_types::menu_item>& items, int id) {
      for (const platform_types::menu_item& m : items) {
        if (m.id == id && id != 0) return &m;
        if (const platform_types::menu_item* found = in(m.items, id)) return found;
      }
      return nullptr;
    }
  };
  const platform_types::menu_item* item = finder::in(main_menu(), command);
  std::string name;
  for (char c : item ? item->text : std::string()) {
    if (c == '&') continue;
    if (c == '\t') break;
    name += c;
  }
  while (!name.empty() && name.back() == '.') name.pop_back();
  if (name.empty()) return "change";
  name[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[0])));
  return name;
}
