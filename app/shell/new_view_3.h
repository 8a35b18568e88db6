#pragma once

#include <memory>

#include "core/assoc_class.h"

// "Add View": a new, empty graph view (node "new_view").
class new_view_3 : public assoc_class {
 public:
  const char* class_name() const override { return "new_view"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  assoc_class* execute() override;
};
