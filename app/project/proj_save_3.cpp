#include "app/project/proj_save_3.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "app/files/save_xdd_as_3.h"
#include "app/project/project_paths.h"
#include "app/project/series_windows_record.h"
#include "core/error_message.h"
#include "core/my_string.h"
#include "core/node_watch.h"
#include "core/paths.h"
#include "core/text_helpers.h"
#include "io/file_out.h"
#include "io/string_out.h"
#include "io/tree_text.h"
#include "template/out_side_recs_3.h"

namespace {

// Overwrite prompt, hide read-only, path must exist: a new project file need
// not exist yet.
constexpr std::uint32_t save_flags = file_dialog_flags::overwrite_prompt | file_dialog_flags::hide_read_only |
                                     file_dialog_flags::path_must_exist;

const char* or_empty(const char* text) { return text ? text : ""; }

bool has_separator(const char* text) {
  for (const char* c = text; *c; ++c)
    if (is_separator(*c)) return true;
  return false;
}

int loaded_count(assoc_class& from) {
  assoc_class* files = find_existing(from, "xAdd_recs");
  return files ? files->child_count() : 0;
}

}  // namespace

std::string proj_save_3::proposed_path() {
  const char* current = get_text_named(*this, "pDroj_path_name");
  if (current && *current) return current;
  assoc_class* files = find_existing(*this, "xAdd_recs");
  assoc_class* first = files ? files->first_child() : nullptr;
  assoc_class* path = first ? find_existing(*first, "xDdd_path_name") : nullptr;
  my_string proposal(or_empty(path ? path->get_text() : nullptr));
  if (proposal.is_empty()) return {};
  proposal.set_extension(or_empty(outside_value("def_prj_ext")));
  return proposal.c_str();
}

std::string proj_save_3::unsavable_path() {
  assoc_class* data = find_existing(*this, "xdds");
  if (!data) return {};
  node_list paths;
  data->collect_named(paths, "xDdd_path_name");
  for (assoc_class* p : paths) {
    // Checked in the form the project writes it in: a path relative to the
    // working folder is written absolute.
    const char* text = p->get_text();
    const std::string written = absolute_path(text ? text : "");
    if (has_separator(written.c_str())) return written;
  }
  return {};
}

bool proj_save_3::write_to(const std::string& path) {
  assoc_class* data = find_existing(*this, "xdds");
  if (!data) return false;
  // The series tables shown beside the scans go with them; a project
  // without any holds no record of them.
  if (const std::string series = series_windows_record(); !series.empty())
    set_text_named(*data, "sBeries_shown", series.c_str());
  else
    delete_named(*data, "sBeries_shown");
  string_out records;
  save_subtree(*data, records);
  file_out out(path.c_str(), false, file_out::write_mode::replace_on_commit);
  if (out.open()) {
    out.put_chars(records_for_project(records.text()).c_str());
    if (out.commit()) return true;
  }
  // The stream's own text ("Cannot open file", "Cannot save file") names the
  // file but not the cause, which is what the user can act on: a full disk,
  // a read-only folder, a file too large.
  global_error_message()
      .append(path.c_str())
      .append(": Cannot write file: ")
      .append(why_not_writable(path, out.error_number()).c_str());
  show_error(this);
  return false;
}

bool proj_save_3::save_unwritten_files() {
  assoc_class* files = find_existing(*this, "xAdd_recs");
  if (!files) return true;
  // Saving runs scripts that may unload files while the others wait.
  std::vector<std::unique_ptr<node_watch>> waiting;
  for (int i = 0; i < files->child_count(); ++i) waiting.push_back(std::make_unique<node_watch>(files->child(i)));
  for (const auto& w : waiting) {
    assoc_class* file = w->get();
    if (!file || !never_written(*file)) continue;
    assoc_class* save = find(*this, "save_xdd_as");
    if (!save) return false;
    save->set_object(file);
    if (!save->execute() || !*w || never_written(*file)) return false;
  }
  return true;
}

bool proj_save_3::ready_to_save() {
  if (loaded_count(*this) == 0 || !save_unwritten_files() || loaded_count(*this) == 0) return false;
  if (const std::string blank = unsavable_path(); !blank.empty()) {
    global_error_message().append("Cannot save a project with a blank in the data file path: ").append(blank.c_str());
    show_error(this);
    return false;
  }
  return true;
}

assoc_class* proj_save_3::write_as_project(const std::string& path) {
  // The files may have gone while a dialog was open.
  if (loaded_count(*this) == 0 || !write_to(path)) return nullptr;
  set_text_named(*this, "pDroj_path_name", path.c_str());
  return assoc_class::execute();
}

assoc_class* proj_save_3::execute() {
  if (!ready_to_save()) return nullptr;
  const std::string proposal = proposed_path();
  const char* ext = or_empty(outside_value("def_prj_ext"));
  if (!dialog_.run_dialog(save_flags, proposal.c_str(), ext, ext, this, platform_types::window_ref::main_window(),
                          "Save Project File", true))
    return nullptr;
  if (dialog_.chosen_paths().empty()) return nullptr;
  // A copy: the record is the dialog's, and a later run replaces it.
  const std::string path = dialog_.chosen_paths().front();
  return write_as_project(path);
}

assoc_class* proj_save_3::save_to_current() {
  const char* current = get_text_named(*this, "pDroj_path_name");
  if (!current || !*current) return execute();
  return save_to_path(current);
}

assoc_class* proj_save_3::save_to_path(const std::string& path) {
  if (!ready_to_save()) return nullptr;
  return write_as_project(path);
}
