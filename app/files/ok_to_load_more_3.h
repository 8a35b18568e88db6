#pragma once

#include "core/assoc_class.h"

// The file limit: executing answers null when no further file may be loaded
// (after telling the user), this node otherwise.
class ok_to_load_more_3 : public assoc_class {
 public:
  const char* class_name() const override { return "ok_to_load_more"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return std::make_unique<ok_to_load_more_3>(); }
  assoc_class* execute() override;
};
