#pragma once

#include "core/assoc_class.h"

// A node whose children stay sorted: each new child goes before the first
// child that is not less than it, so it precedes its equals.
class keep_sorted_3 : public virtual assoc_class {
 public:
  assoc_class* add_child(assoc_class* node) override;
  using assoc_class::add_child;
  std::unique_ptr<assoc_class> clone_empty() const override;
};
