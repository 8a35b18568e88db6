#pragma once

#include "app/dialogs/open_save_3.h"
#include "core/fund_type_3.h"

// Writes the file its value refers to under a new name, in the XDD layout.
// The references of other files to it follow it to its new name.
class save_xdd_as_3 : public fund_type_3 {
 public:
  const char* class_name() const override { return "save_xdd_as"; }
  std::unique_ptr<assoc_class> clone_empty() const override;
  // Null when the dialog was cancelled or the file could not be written.
  assoc_class* execute() override;
  const open_save_3& dialog() const { return dialog_; }

 private:
  // Its own record: the save dialog remembers its own last directory.
  open_save_3 dialog_;
};

// Whether a loaded data file has no file on disk of its own: made in the
// program and never written, or its path names nothing (any more).
bool never_written(assoc_class& file);
