#pragma once

#include <memory>

#include "core/assoc_class.h"

// Marks its data file changed: executed from the scripts that follow a
// user's edit of a file's options, so that unloading the file asks first.
class xdd_changed_3 : public assoc_class {
 public:
  const char* class_name() const override { return "xdd_changed"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return std::make_unique<xdd_changed_3>(); }
  // Marks the nearest ancestor named "xdd", then runs the execution script.
  assoc_class* execute() override;
};
