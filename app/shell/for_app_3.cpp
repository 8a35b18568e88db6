#include "app/shell/for_app_3.h"

#include <string>

#include "app/shell/menu_commands.h"
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

for_app_3::for_app_3() = default;

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
  p->set_app_events(this);
  registered_ = true;
  p->set_main_title(app_name());
  p->set_control_buttons({{1014, 0, 0}, {0, 0, 2}, {1010, 0, 0}, {0, 0, 2}, {1009, 0, 0}, {0, 0, 6}});
  p->set_status_gadgets({{status_gadget::project, 12, 0},
                         {status_gadget::limits, 20, 0},
                         {status_gadget::cursor_x, 8, 0},
                         {status_gadget::cursor_y, 11, 0},
                         {0, 0, 3}});
  p->set_menu(main_menu());
}

void for_app_3::command(int id) {
  try {
    switch (id) {
      case command_id::about:
        about();
        return;
      case command_id::load_data:
        load_data();
        return;
      case command_id::view_selected_files:
        // Needs the graph views, which rebuild around the focused one.
        return;
      default:
        run_scripted("win_misc c commands", id);
        return;
    }
  } catch (int) {
    // A numerical stage showed its message and ended this action; the
    // application goes on with the next one.
  }
}

for_app_3::enabler_state for_app_3::enabler(int id) {
  enabler_state state;
  platform* p = current_platform();
  switch (id) {
    case command_id::view_selected_files: {
      assoc_class* files = loaded_files();
      // A graph view with the focus is needed as well; there is none yet.
      state.enabled = false;
      (void)files;
      return state;
    }
    case command_id::save_txt:
    case command_id::save_txt_as:
      state.enabled = p && p->active_frame() != 0;
      return state;
    default:
      break;
  }
  try {
    run_scripted("win_misc c enablers", id);
  } catch (int) {
  }
  if (assoc_class* checked = checked_.get(*this)) {
    state.checked = checked->get_int() != 0;
    checked->set_int(0);
  }
  if (assoc_class* enabled = enabled_.get(*this)) state.enabled = enabled->get_int() != 0;
  return state;
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
  answer = find_existing(*this, "cBan_close");
  if (is_yes(answer)) {
    if (assoc_class* to_project = find(*this, "app_closing_to_proj")) to_project->execute();
  }
  answer = find_existing(*this, "cBan_close");
  if (is_yes(answer)) {
    if (assoc_class* unload_all = find(*this, "dAo_unload_all")) unload_all->execute();
  }
  answer = find_existing(*this, "cBan_close");
  const bool yes = is_yes(answer);
  assoc_class* files = loaded_files();
  const bool files_left = files && files->child_count() > 0;
  // The next attempt starts with a fresh object made from the template.
  delete_named(*this, "cBan_close");
  return yes && !files_left;
}

void for_app_3::idle() {
  if (assoc_class* bin = deletion_bin()) bin->delete_all_children();
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
  // The graph view that the files load into joins here when views exist.
  if (assoc_class* open = find(*this, "xrd_open_dlg")) open->execute();
}
