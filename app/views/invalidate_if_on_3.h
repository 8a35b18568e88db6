#pragma once

#include <memory>

#include "core/assoc_class.h"

// Repaints the views that show a file (node "invalidate_if_on"): executed
// with the file as argument, or alone for the file it lives under.
class invalidate_if_on_3 : public assoc_class {
 public:
  const char* class_name() const override { return "invalidate_if_on"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  assoc_class* execute() override;
  assoc_class* execute_with(assoc_class* file) override;
};
