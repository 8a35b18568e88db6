#pragma once

#include "core/assoc_class.h"

// The duplicate check: executed with a path value, answers this node (after
// telling the user) when a loaded file has that path, null otherwise.
class xdd_loaded_3 : public assoc_class {
 public:
  const char* class_name() const override { return "xdd_loaded"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return std::make_unique<xdd_loaded_3>(); }
  assoc_class* execute_with(assoc_class* path) override;
  // Whether a loaded file has exactly this path (letter case counts).
  bool is_loaded(const char* path);
};
