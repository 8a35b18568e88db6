#include "xrd/chain/ptr_class_4.h"

#include <cstdint>

#include "core/paths.h"

namespace {

// The tree's mark on a node whose deletion has begun (its deletion script
// runs, then it is destroyed); together with the dying mark it tells that a
// node's sub-tree is on its way out.
constexpr std::uint32_t deletion_begun = node_bits::being_deleted;

}  // namespace

void ptr_class_4::holder::reset() {
  ptr_class<assoc_class>::reset();
  owner_.target_died();
}

ptr_class_4::ptr_class_4() = default;

ptr_class_4::~ptr_class_4() {
  // Dropping the link resets the holder, which must not move a node that is
  // being destroyed.
  destroying_ = true;
  unlink(&ref_);
}

std::unique_ptr<assoc_class> ptr_class_4::clone_empty() const {
  auto copy = std::make_unique<ptr_class_4>();
  copy->set_tem(tem());
  return copy;
}

void ptr_class_4::copy_from(assoc_class& source) {
  if (&source == this) return;
  if (auto* other = dynamic_cast<ptr_class_4*>(&source)) point_at(other->target());
  assoc_class::copy_from(source);
}

void ptr_class_4::point_at(assoc_class* node) {
  if (node == target()) return;
  // Letting go of the old target is no death of it.
  const bool was_destroying = destroying_;
  destroying_ = true;
  unlink(&ref_);
  destroying_ = was_destroying;
  if (node && node != this) link(node, &ref_);
}

assoc_class* ptr_class_4::set_object(assoc_class* node) {
  point_at(node);
  return this;
}

bool ptr_class_4::being_destroyed() const {
  if (destroying_) return true;
  // A sub-tree being destroyed resets the links into it before it marks its
  // nodes dying, so the mark may only be on the top of that sub-tree.
  for (const assoc_class* n = this; n; n = n->parent())
    if (n->flags().test(node_bits::dying | deletion_begun)) return true;
  return false;
}

void ptr_class_4::target_died() {
  if (being_destroyed() || !parent()) return;
  // Only a bin that is already there: nothing is built while another node
  // is being torn down. A reference made in code has no template of its
  // own to resolve the name from, so its ancestors are asked in turn.
  assoc_class* bin = nullptr;
  for (assoc_class* n = this; n && !bin; n = n->parent()) bin = find_existing(*n, "dAeletion_bin");
  if (!bin || bin == parent() || bin == this) return;
  move_to(bin);
}
