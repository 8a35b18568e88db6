#pragma once

#include "core/fund_type_3.h"

// Unloads the file its value refers to, asking first when the file holds
// unsaved changes. Executing answers null when the file was kept.
class do_unload_3 : public fund_type_3 {
 public:
  const char* class_name() const override { return "do_unload"; }
  std::unique_ptr<assoc_class> clone_empty() const override;
  assoc_class* execute() override;

  // Asks "...has been Modified.\n Unload Anyway ?" for a data file with
  // unsaved changes; true when it may go (unchanged, or the user said yes)
  // and is still there. The question box is looked up from `from`.
  static bool may_unload(assoc_class& file, assoc_class& from);
};
