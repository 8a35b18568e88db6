#pragma once

#include "core/assoc_class.h"

// A list of nodes that neither owns them nor becomes their parent.
class non_owns_3 : public assoc_class {
 public:
  non_owns_3() { flags_.clear(container_bits::owns); }
  ~non_owns_3() override { set_count(0); }
  const char* class_name() const override { return "non_owns"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return std::make_unique<non_owns_3>(); }
};
