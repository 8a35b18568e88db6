#pragma once

#include <memory>

#include "core/assoc_class.h"

// At close-down, offers to save a modified project. When the user wants it
// saved and the save does not happen (cancelled or failed), "cBan_close"
// becomes 'N' and the application stays open.
class app_closing_to_proj_3 : public assoc_class {
 public:
  const char* class_name() const override { return "app_closing_to_proj"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return std::make_unique<app_closing_to_proj_3>(); }
  assoc_class* execute() override;
};
