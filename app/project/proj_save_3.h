#pragma once

#include <memory>
#include <string>

#include "app/dialogs/open_save_3.h"
#include "core/assoc_class.h"

// "Save Project As": asks for a path and writes the records of "xdds" there,
// each data file by its full path (see project_paths.h). "Save Project"
// writes to the current project's file without asking, and asks as "Save
// Project As" when there is none.
//
// A project names only files that are on disk: before it is written, each
// loaded file that has never been written (a captured curve) is saved
// through "save_xdd_as", its own name proposed; cancelling any of these
// cancels the project's save.
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
  // "Save Project": the same, to the current project's file when there is
  // one.
  assoc_class* save_to_current();
  // The same, to `path`, as when the dialog has given it: for a caller
  // that already knows where the project goes.
  assoc_class* save_to_path(const std::string& path);
  const open_save_3& dialog() const { return dialog_; }

  // The path the dialog proposes: the current project's, or else the first
  // loaded file's with the project extension.
  std::string proposed_path();

 private:
  // A data-file path that a project cannot hold (it is read back as one
  // word), or empty.
  std::string unsavable_path();
  // Saves each loaded file that has never been written, asking for its
  // name; false when the user cancelled one or it could not be written.
  bool save_unwritten_files();
  // What both commands check before a project is written; false (the user
  // told why, or the user cancelled) when it must not be.
  bool ready_to_save();
  bool write_to(const std::string& path);
  // Writes and makes `path` the current project.
  assoc_class* write_as_project(const std::string& path);

  // Its own record: the save dialog remembers its own last directory.
  open_save_3 dialog_;
};
