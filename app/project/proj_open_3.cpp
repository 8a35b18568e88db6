#include "app/project/proj_open_3.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "app/files/load_data_file.h"
#include "app/project/project_paths.h"
#include "app/project/series_windows_record.h"
#include "core/error_message.h"
#include "core/paths.h"
#include "io/file_in.h"
#include "io/string_in.h"
#include "io/tree_text.h"
#include "template/out_side_recs_3.h"
#include "xrd/chain/xy_yobs_4.h"
#include "xrd/files/xdd_data_3.h"
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
  project_files(assoc_class& from, std::vector<std::string>& not_loaded) : from_(from), not_loaded_(not_loaded) {}
  assoc_class* load_record(const char* path, assoc_class&) override {
    assoc_class* loaded = nullptr;
    current_ = path;
    load_data_file(from_, path, &loaded);
    if (!loaded) not_loaded_.push_back(path);
    return loaded;
  }
  // The refused values are said together once the project is read, each
  // with the data file it belongs to.
  void value_refused(const std::string& why) override {
    refused_ += "\n" + (current_.empty() ? why : current_ + ": " + why);
    ++refused_count_;
  }
  int refused_count() const { return refused_count_; }
  void say_refused(const std::string& project, const assoc_class* root) const {
    if (refused_.empty()) return;
    global_error_message()
        .append(project.c_str())
        .append(": values refused, the fields keep their defaults:")
        .append(refused_.c_str());
    show_error(root);
  }

 private:
  assoc_class& from_;
  std::vector<std::string>& not_loaded_;
  std::string current_;
  std::string refused_;
  int refused_count_ = 0;
};

// Keeps what would be shown while a project is applied, so that it is told
// once, in one message, when the project is in place.
class gathered_messages : public error_reporter {
 public:
  gathered_messages() : previous_(set_error_reporter(this)) {}
  ~gathered_messages() override { set_error_reporter(previous_); }
  gathered_messages(const gathered_messages&) = delete;
  gathered_messages& operator=(const gathered_messages&) = delete;
  void report(const char*, const char* text) override {
    if (text && *text) texts.emplace_back(text);
  }
  std::vector<std::string> texts;

 private:
  error_reporter* previous_;
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
  // The records are read as C text: a NUL would end the project there.
  if (const std::size_t nul = text.find('\0'); nul != std::string::npos) {
    const auto line = std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(nul), '\n') + 1;
    global_error_message().append("Project file ").append(path.c_str()).append(" is damaged: line ");
    global_error_message().append(static_cast<int>(line)).append(" holds a NUL byte");
    show_error(this);
    return false;
  }
  // Each data file and reference is looked for where the project named it,
  // then below and beside the project.
  moved_.clear();
  records = records_from_project(text, path, &moved_);
  string_in check(records.c_str());
  return check_subtree("xdds", check, path.c_str());
}

bool proj_open_3::replace_with(const std::string& path, const std::string& records) {
  values_refused_ = 0;
  if (assoc_class* unload_all = find(*this, "dAo_unload_all")) unload_all->execute();
  if (loaded_count(*this) > 0) return false;
  // What is left of the old settings goes; "xdds" is made afresh from the
  // template when it is next looked up.
  delete_named(*this, "xdds");
  set_text_named(*this, "pDroj_path_name", path.c_str());
  assoc_class* data = find(*this, "xdds");
  if (!data) return true;
  string_in in(records.c_str());
  std::vector<std::string> shown;
  project_files files(*this, not_loaded_);
  {
    gathered_messages gathered;
    load_subtree(*data, in, &files, path.c_str());
    shown = std::move(gathered.texts);
  }
  note_moved_files();
  tell_once(path, shown);
  files.say_refused(path, this);
  values_refused_ = files.refused_count();
  // Looked up without making it: a project of scans alone has none.
  if (assoc_class* shown_series = find_existing(*data, "sBeries_shown")) {
    const char* series = shown_series->get_text();
    const std::string record = series ? series : "";  // a copy: opening runs the tree's scripts
    open_recorded_series_windows(record, path);
  }
  // The settings were read after each file had loaded (and may have been
  // drawn with the defaults): every result is computed again from them.
  if (assoc_class* loaded = find_existing(*this, "xAdd_recs")) {
    node_list all;
    for (int i = 0; i < loaded->child_count(); ++i) all.push_back(loaded->child(i));
    for (assoc_class* file : all) {
      // A file given a wavelength when it was loaded would otherwise take
      // the default again, and its results would change without a word.
      if (xdd_data_3* d = xdd_data_3::of(file->find_child("xdd_data"))) d->take_recorded_wavelength();
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

void proj_open_3::note_moved_files() {
  assoc_class* loaded = find_existing(*this, "xAdd_recs");
  if (!loaded) return;
  for (int i = 0; i < loaded->child_count(); ++i) {
    assoc_class* file = loaded->child(i);
    const char* path = get_text_named(*file, "xDdd_path_name");
    for (const moved_file& m : moved_)
      if (path && m.found == path) set_text_named(*file, "mBoved_from", m.recorded.c_str());
  }
}

void proj_open_3::tell_once(const std::string& path, const std::vector<std::string>& shown) {
  if (shown.empty() && not_loaded_.empty()) return;
  std::string message;
  if (!not_loaded_.empty()) {
    message = path + ": " +
              (not_loaded_.size() == 1 ? std::string("a data file was not loaded; its settings are left out:")
                                       : std::to_string(not_loaded_.size()) +
                                             " data files were not loaded; their settings are left out:");
  }
  for (const std::string& text : shown) message += (message.empty() ? "" : "\n") + text;
  // A file refused without a word of its own is still named.
  for (const std::string& file : not_loaded_) {
    bool named = false;
    for (const std::string& text : shown) named = named || text.find(file) != std::string::npos;
    if (!named) message += "\n" + file + ": not loaded";
  }
  global_error_message().append(message.c_str());
  show_error(this);
}

assoc_class* proj_open_3::read_project(const std::string& path) {
  not_loaded_.clear();
  std::string records;
  if (!readable_project(path, records) || !replace_with(path, records)) return nullptr;
  // A project none of whose files could be loaded is no project.
  if (assoc_class* check = find(*this, "proj_check_no_xdd")) check->execute();
  if (platform* p = current_platform(); p && loaded_count(*this) > 0) p->opened(path);
  return assoc_class::execute();
}
