#include "core/sorted_children_3.h"

void sorted_children_3::ensure_sorted() {
  if (sorted_) return;
  sort_children();
  sorted_ = 1;
}

assoc_class* sorted_children_3::find_child(const char* name) {
  ensure_sorted();
  if (count() == 0) return nullptr;
  const int i = find_sorted(name, base(), last_index());
  return i == not_found ? nullptr : (*this)[i];
}

assoc_class* sorted_children_3::find_equal_child(assoc_class& node) {
  ensure_sorted();
  if (count() == 0) return nullptr;
  const int i = find_sorted_node(node, base(), last_index());
  return i == not_found ? nullptr : (*this)[i];
}

void sorted_children_3::rebuild_index() { ensure_sorted(); }
