#pragma once

#include <memory>

#include "core/assoc_class.h"
#include "core/ptr_class.h"

// A node that refers to another node. When the target dies the reference
// empties itself and, unless it is being destroyed too, moves itself into
// the deletion bin "dAeletion_bin", which disposes of it later. Without a
// bin it stays, empty, where it is.
class ptr_class_4 : public assoc_class {
 public:
  ptr_class_4();
  ~ptr_class_4() override;
  const char* class_name() const override { return "ptr_class_4"; }
  std::unique_ptr<assoc_class> clone_empty() const override;
  // A copy refers to the same target.
  void copy_from(assoc_class& source) override;

  assoc_class* target() const { return ref_.get(); }
  // Refers to `node` (null: to nothing).
  void point_at(assoc_class* node);

  assoc_class* get_object() override { return target(); }
  assoc_class* set_object(assoc_class* node) override;
  bool equals_object(assoc_class* node) override { return node && node == target(); }

 private:
  friend class notifying_ptr<assoc_class, ptr_class_4>;
  // Empties the reference and moves it to the deletion bin.
  void target_died();
  bool being_destroyed() const;

  notifying_ptr<assoc_class, ptr_class_4> ref_{*this};
  bool destroying_ = false;
};
