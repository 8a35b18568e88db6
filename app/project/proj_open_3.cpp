#include "app/project/proj_open_3.h"

#include <cstdint>

#include "app/files/load_data_file.h"
#include "app/project/project_paths.h"
#include "core/error_message.h"
#include "core/paths.h"
#include "io/file_in.h"
#include "io/string_in.h"
#include "io/tree_text.h"
#include "template/out_side_recs_3.h"
#include "xrd/chain/xy_yobs_4.h"
#include "xrd/plots/plot_3.h"

namespace {

// Hide read-only, path must exist, file must exist.
constexpr std::uint32_t open_flags =
    file_dialog_flags::hide_read_only | file_dialog_flags::path_must_exist | file_dialog_flags::file_must_exist;

const char* or_empty(const char* text) { return text ? text : ""; }

int loaded_count(assoc_class& from) {
  assoc_class* files = find_existing(from, "xAdd_recs");
  return files ? files->child_count() : 0;
}

// Opens a project file, or shows why it cannot be opened.
bool open_reporting(file_in& in, const assoc_class* root) {
  if (in.open()) return true;
  global_error_message().append(in.error_text.c_str());
  in.error_text.assign("");
  show_error(root);
  return false;
}

// Each data-file record is loaded as "Load Data" loads a file (duplicate
// check, file limit, the template's loading script); the records that
// follow it belong to the new file.
class project_files : public data_file_records {
 public:
  explicit project_files(assoc_class& from) : from_(from) {}
  assoc_class* load_record(const char* path, assoc_class&) override {
    assoc_class* loaded = nullptr;
    load_data_file(from_, path, &loaded);
    return loaded;
  }

 private:
  assoc_class& from_;
};

}  // namespace

bool proj_open_3::may_replace_open_project() {
  const char* path = get_text_named(*this, "pDroj_path_name");
  if (!path || !*path || loaded_count(*this) == 0) return true;
  assoc_class* question = find(*this, "yes_no_dlg");
  if (!question) return false;
  const std::string ask =
      std::string("Project File : ") + path + " already loaded." + "\nDo you want to over write it.";
  question->set_text(ask.c_str());
  question->execute();
  const char* answer = question->get_text();
  return answer && answer[0] == 'Y';
}

bool proj_open_3::readable_project(const std::string& path, std::string& records) {
  file_in in(path.c_str(), false);
  if (!open_reporting(in, this)) return false;
  std::string text;
  while (!in.at_end()) text += in.get();
  // The data files and references are named from the project's own folder.
  records = records_from_project(text, path);
  string_in check(records.c_str());
  return check_subtree("xdds", check);
}

bool proj_open_3::replace_with(const std::string& path, const std::string& records) {
  if (assoc_class* unload_all = find(*this, "dAo_unload_all")) unload_all->execute();
  if (loaded_count(*this) > 0) return false;
  // What is left of the old settings goes; "xdds" is made afresh from the
  // template when it is next looked up.
  delete_named(*this, "xdds");
  set_text_named(*this, "pDroj_path_name", path.c_str());
  assoc_class* data = find(*this, "xdds");
  if (!data) return true;
  string_in in(records.c_str());
  project_files files(*this);
  load_subtree(*data, in, &files);
  // The settings were read after each file had loaded (and may have been
  // drawn with the defaults): every result is computed again from them.
  if (assoc_class* loaded = find_existing(*this, "xAdd_recs")) {
    node_list all;
    for (int i = 0; i < loaded->child_count(); ++i) all.push_back(loaded->child(i));
    for (assoc_class* file : all) {
      if (auto* yobs = dynamic_cast<xy_yobs_4*>(file->find_child("xy_yobs"))) yobs->invalidate_chain();
      plot_3::redraw_file(*file);
    }
  }
  return true;
}

assoc_class* proj_open_3::execute() {
  if (!may_replace_open_project()) return nullptr;
  const char* ext = or_empty(outside_value("def_prj_ext"));
  if (!dialog_.run_dialog(open_flags, or_empty(outside_value("def_prj_ext_star")), ext, ext, this,
                          platform_types::window_ref::main_window(), "Load Project File", false))
    return nullptr;
  if (dialog_.chosen_paths().empty()) return nullptr;
  // A copy: unloading and loading run scripts that may use the dialog again.
  const std::string path = dialog_.chosen_paths().front();
  return read_project(path);
}

assoc_class* proj_open_3::open_path(const std::string& path) {
  if (!may_replace_open_project()) return nullptr;
  return read_project(path);
}

assoc_class* proj_open_3::read_project(const std::string& path) {
  std::string records;
  if (!readable_project(path, records) || !replace_with(path, records)) return nullptr;
  // A project none of whose files could be loaded is no project.
  if (assoc_class* check = find(*this, "proj_check_no_xdd")) check->execute();
  if (platform* p = current_platform(); p && loaded_count(*this) > 0) p->opened(path);
  return assoc_class::execute();
}
