#pragma once

#include <memory>

#include "core/assoc_class.h"

// A list of references (ptr_class_4 children), each to a different node.
class ptr_classes_4 : public assoc_class {
 public:
  const char* class_name() const override { return "ptr_classes_4"; }
  std::unique_ptr<assoc_class> clone_empty() const override;

  // Adds a reference to `node` unless one is there already; answers the
  // reference to it (null for a null node).
  assoc_class* add_reference(assoc_class* node);
  // The reference to `node`, or null.
  assoc_class* reference_to(assoc_class* node) const;
  bool refers_to(assoc_class* node) const { return reference_to(node) != nullptr; }
  // Deletes the reference to `node`; false if there was none.
  bool remove_reference(assoc_class* node);
  // The live targets, in order.
  node_list targets() const;
};
