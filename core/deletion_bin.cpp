#include "core/deletion_bin.h"

#include "core/assoc_class.h"
#include "core/paths.h"

bool in_teardown(const assoc_class& node) {
  for (const assoc_class* n = &node; n; n = n->parent())
    if (n->flags().test(node_bits::dying | node_bits::being_deleted)) return true;
  return false;
}

bool move_to_deletion_bin(assoc_class& node) {
  if (!node.parent()) return false;
  assoc_class* bin = nullptr;
  for (assoc_class* n = &node; n && !bin; n = n->parent()) bin = find_existing(*n, "dAeletion_bin");
  if (!bin || bin == node.parent() || bin == &node) return false;
  node.move_to(bin);
  return true;
}
