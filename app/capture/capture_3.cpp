#include "app/capture/capture_3.h"

#include <cstdint>
#include <string>

#include "app/platform/edit_recorder.h"
#include "app/views/TDrawView.h"
#include "app/views/view_recs_9.h"
#include "core/error_message.h"
#include "core/my_string.h"
#include "core/node_watch.h"
#include "core/paths.h"
#include "template/out_side_recs_3.h"
#include "xrd/chain/xy_yobs_4.h"
#include "xrd/curves/xy_data_3.h"
#include "xrd/files/xdd_data_3.h"

namespace {

// Only the folder must exist: the captured file is new, and nothing is
// written until the user saves it.
constexpr std::uint32_t capture_flags = file_dialog_flags::path_must_exist | file_dialog_flags::hide_read_only;

const char* or_empty(const char* text) { return text ? text : ""; }

// The source file's path with the extension that names the kind of curve,
// "scan.xdd" becoming "scan.yobs.xdd"; a curve without one keeps the path.
std::string proposed_path(assoc_class& source, const xy_data_3& curve) {
  assoc_class* path = find_existing(source, "xDdd_path_name");
  my_string text(or_empty(path ? path->get_text() : nullptr));
  const std::string query = std::string("win_misc c cpt_exts c ") + curve.class_name();
  if (const char* extension = query_value(query.c_str())) text.set_extension(extension);
  return text.c_str();
}

// Whether a loaded file already has the path; the duplicate check tells the
// user so.
bool already_loaded(assoc_class& from, const std::string& path) {
  assoc_class* app = from.app_object();
  assoc_class* probe = app ? app->child_or_create("pRath_name") : nullptr;
  assoc_class* check = find(from, "xdd_loaded");
  if (!probe || !check) return false;
  probe->set_text(path.c_str());
  return check->execute_with(probe) != nullptr;
}

}  // namespace

assoc_class* capture_3::execute_with(assoc_class* argument) {
  node_watch curve_alive(argument);
  auto* curve = dynamic_cast<xy_data_3*>(argument);
  assoc_class* source = curve ? curve->ancestor_named("xdd") : nullptr;
  if (!source) return nullptr;
  node_watch source_alive(source);
  if (assoc_class* more = find(*this, "ok_to_load_more"); more && !more->execute()) return nullptr;

  const std::string working = proposed_path(*source, *curve);
  if (!run_dialog(capture_flags, working.c_str(), "", or_empty(outside_value("def_xdd_ext")), this,
                  platform_types::window_ref::main_window(), "Enter File name", true) ||
      chosen_paths().empty())
    return nullptr;
  const std::string chosen = chosen_paths().front();
  if (already_loaded(*this, chosen) || !curve_alive || !source_alive) return nullptr;

  // The template places data files among the loaded ones.
  assoc_class* file = create_at_place(*this, "xdd");
  if (!file) return nullptr;
  node_watch file_alive(file);
  // The source's settings come along; its data, path, references and ties
  // belong to it alone.
  source->copy_into_excluding(*file, or_empty(query_value("win_misc c not_to_copy_on_capture")));
  if (!file_alive) return nullptr;
  if (assoc_class* path = find(*file, "xDdd_path_name")) path->set_text(chosen.c_str());
  auto* profile = dynamic_cast<xy_data_3*>(find(*file, "xy_yobs"));
  if (profile && curve_alive) profile->copy_from(*curve);
  // What a loaded file has and the copy left out: its data node, without
  // which it could not be saved, and its own button.
  if (auto* data = dynamic_cast<xdd_data_3*>(find(*file, "xdd_data"))) data->mark_never_written();
  find(*file, "fbutonoff");

  view_recs_9* views = view_list(*this);
  if (TDrawView* view = views ? views->focused() : nullptr) {
    const int min_points = get_int_named(*this, "mBin_pts_xdd");
    if (profile && !profile->crop_x(view->x1, view->x2, min_points)) {
      global_error_message().append("XRD File must have more than ").append(min_points).append(" points.");
      show_error(this);
    }
    if (file_alive) {
      // The chain starts from the profile as it now is.
      if (auto* chain = dynamic_cast<xy_yobs_4*>(profile)) chain->invalidate_chain();
      view->add_file(file);
      view->lines_changed();
    }
  }
  if (!file_alive) return nullptr;
  // The file exists only in memory until it is saved.
  file->set_changed(true);
  assoc_class::execute();
  // A new file is no edit of a file: its first edit starts from it as made.
  if (file_alive) tell_edits_settled(*file_alive.get());
  return file_alive.get();
}
