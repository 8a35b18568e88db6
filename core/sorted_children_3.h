#pragma once

#include "core/assoc_class.h"

// Children sorted by name once, on the first look-up, then found by bisection.
class sorted_children_3 : public virtual assoc_class {
 public:
  assoc_class* find_child(const char* name) override;
  assoc_class* find_equal_child(assoc_class& node) override;
  void rebuild_index() override;
  std::unique_ptr<assoc_class> clone_empty() const override { return std::make_unique<sorted_children_3>(); }
  bool is_sorted() const { return sorted_ != 0; }

 protected:
  void ensure_sorted();
  int sorted_ = 0;
};
