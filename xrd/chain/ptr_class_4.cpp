#include "xrd/chain/ptr_class_4.h"

#include "core/deletion_bin.h"

ptr_class_4::ptr_class_4() = default;

ptr_class_4::~ptr_class_4() {
  // Dropping the link resets the holder, which must not move a node that is
  // being destroyed.
  destroying_ = true;
  unlink(&ref_);
}

std::unique_ptr<assoc_class> ptr_class_4::clone_empty() const { return clone_like(*this); }

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

bool ptr_class_4::being_destroyed() const { return destroying_ || in_teardown(*this); }

void ptr_class_4::target_died() {
  if (being_destroyed()) return;
  move_to_deletion_bin(*this);
}
