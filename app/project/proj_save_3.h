#pragma once

#include <memory>
#include <string>

#include "app/dialogs/open_save_3.h"
#include "core/assoc_class.h"

// "Save Project As": asks for a path and writes the records of "xdds" there.
// Data files in or below the project's folder are named relative to it, so
// that the folder can be moved with its project (see project_paths.h).
//
// The project file is written to a temporary file beside it and renamed into
// place, so a save that fails leaves the old file as it was; the project's
// path ("pDroj_path_name") changes only once the file was written, and only
// then does the execution script run (the template clears the modified flag
// there).
class proj_save_3 : public assoc_class {
 public:
  const char* class_name() const override { return "proj_save"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return std::make_unique<proj_save_3>(); }
  // Null when nothing is loaded, the dialog was cancelled or nothing was
  // written (the user has been told why).
  assoc_class* execute() override;
  const open_save_3& dialog() const { return dialog_; }

  // The path the dialog proposes: the current project's, or else the first
  // loaded file's with the project extension.
  std::string proposed_path();

 private:
  // A data-file path that a project cannot hold (it is read back as one
  // word), or empty.
  std::string unsavable_path();
  bool write_to(const std::string& path);

  // Its own record: the save dialog remembers its own last directory.
  open_save_3 dialog_;
};
