#pragma once

#include "app/dialogs/open_save_3.h"

// "Load Data": the open dialog, then each chosen file loaded in turn as long
// as the file limit allows.
class xrd_open_dlg_3 : public open_save_3 {
 public:
  const char* class_name() const override { return "xrd_open_dlg"; }
  std::unique_ptr<assoc_class> clone_empty() const override;
  // Null when the dialog was cancelled.
  assoc_class* execute() override;
};
