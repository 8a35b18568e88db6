#include "xrd/chain/ptr_classes_4.h"

#include "xrd/chain/ptr_class_4.h"

std::unique_ptr<assoc_class> ptr_classes_4::clone_empty() const { return clone_like(*this); }

assoc_class* ptr_classes_4::reference_to(assoc_class* node) const {
  if (!node) return nullptr;
  for (int i = 0; i < child_count(); ++i) {
    auto* r = dynamic_cast<ptr_class_4*>(child(i));
    if (r && r->target() == node) return r;
  }
  return nullptr;
}

assoc_class* ptr_classes_4::add_reference(assoc_class* node) {
  if (!node) return nullptr;
  if (assoc_class* r = reference_to(node)) return r;
  auto fresh = std::make_unique<ptr_class_4>();
  fresh->point_at(node);
  return add_child(std::move(fresh));
}

bool ptr_classes_4::remove_reference(assoc_class* node) {
  assoc_class* r = reference_to(node);
  if (!r) return false;
  delete_child(r);
  return true;
}

node_list ptr_classes_4::targets() const {
  node_list out;
  for (int i = 0; i < child_count(); ++i)
    if (auto* r = dynamic_cast<ptr_class_4*>(child(i)); r && r->target()) out.push_back(r->target());
  return out;
}
