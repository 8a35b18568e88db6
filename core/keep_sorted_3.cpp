#include "core/keep_sorted_3.h"

assoc_class* keep_sorted_3::add_child(assoc_class* node) {
  if (!node) return nullptr;
  assoc_class::add_child(node);
  const int at = index_of_pointer(node);
  if (at == not_found || at == base()) return node;
  // Already in order behind a smaller neighbour: nothing moves.
  if ((*this)[at - 1]->less_than(*node)) return node;
  int lo = base();
  int hi = at;
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    if ((*this)[mid]->less_than(*node))
      lo = mid + 1;
    else
      hi = mid;
  }
  remove_at(at);
  insert_at(lo, node);
  return node;
}

std::unique_ptr<assoc_class> keep_sorted_3::clone_empty() const { return std::make_unique<keep_sorted_3>(); }
