#pragma once

#include "core/assoc_class.h"

// Shows the current project's path in its status-bar gadget.
class dis_proj_name_3 : public assoc_class {
 public:
  const char* class_name() const override { return "dis_proj_name"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return std::make_unique<dis_proj_name_3>(); }
  assoc_class* execute() override;
};
