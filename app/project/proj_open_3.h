#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/dialogs/open_save_3.h"
#include "app/project/project_paths.h"
#include "core/assoc_class.h"

// "Load Project": asks for a project file and restores what it records: the
// data files are reloaded from their paths and their settings put back.
//
// The chosen file is read once before anything changes: a file that cannot
// be opened or whose records do not form a tree is reported and the loaded
// files stay. Only then is everything unloaded and the records are applied.
// A data file is looked for where the project names it, then below and
// beside the project (see project_paths.h), so a project opens from any
// working folder and after its folder moved; a file found elsewhere says so
// in its description. What goes wrong while the records are applied (data
// files that do not load, and why) is told once, in one message.
class proj_open_3 : public assoc_class {
 public:
  const char* class_name() const override { return "proj_open"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return std::make_unique<proj_open_3>(); }
  // Null when the user declined or cancelled, the file was refused, or a
  // modified file stayed loaded.
  assoc_class* execute() override;
  // Reads the project at `path` as if it had been chosen in the dialog (after
  // the question about an open project): at start-up, from a recent-files
  // list or a file dropped on the window.
  assoc_class* open_path(const std::string& path);
  const open_save_3& dialog() const { return dialog_; }
  // How many values of the last project read were refused (said, and the
  // fields kept their defaults).
  int values_refused() const { return values_refused_; }

  // Of the last project read: the data files that were not loaded, and those
  // found elsewhere than it named them.
  const std::vector<std::string>& not_loaded() const { return not_loaded_; }
  const std::vector<moved_file>& moved() const { return moved_; }

 private:
  // Whether the user agrees to replace the project that is open.
  bool may_replace_open_project();
  // Whether the file opens and reads as a project (reported when not);
  // `records` receives its text with the paths resolved.
  bool readable_project(const std::string& path, std::string& records);
  // Unloads everything and applies the records; false when a file stayed.
  bool replace_with(const std::string& path, const std::string& records);
  // Checks, replaces, then forgets a project none of whose files loaded.
  assoc_class* read_project(const std::string& path);
  // Each file found elsewhere keeps the path the project gave it.
  void note_moved_files();
  // One message: the files not loaded, then what was said while loading.
  void tell_once(const std::string& path, const std::vector<std::string>& shown);

  std::vector<std::string> not_loaded_;
  std::vector<moved_file> moved_;

  // Its own record: the open dialog remembers its own last directory.
  open_save_3 dialog_;
  int values_refused_ = 0;
};
