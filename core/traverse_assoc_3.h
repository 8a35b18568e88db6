#pragma once

#include "core/assoc_class.h"
#include "core/my_stack.h"

// Pre-order walk over a sub-tree, the root itself excluded.
class traverse_assoc_3 {
 public:
  void start(assoc_class* root);
  // The next node in pre-order, or null at the end.
  assoc_class* next();
  // The children of the node last returned are not visited.
  void skip_children();
  bool descended() const { return descended_ != 0; }

 private:
  int descended_ = 0;
  assoc_class* current_ = nullptr;
  assoc_class* list_ = nullptr;
  int index_ = 0;
  my_stack<int> index_stack_;
  my_stack<assoc_class*> list_stack_;
};
