#pragma once

#include "core/assoc_class.h"
#include "core/paths.h"

// A reference to a node found by name on first use and kept until that node
// dies: the link makes the tree reset it then, and the next use looks again.
class cached_ref {
 public:
  explicit cached_ref(const char* name) : name_(name) {}
  cached_ref(const cached_ref&) = delete;
  cached_ref& operator=(const cached_ref&) = delete;

  // Looks the name up from `owner` (creating it on the way when `create`),
  // and links the holder to `owner` so that it is reset when the node dies.
  assoc_class* get(assoc_class& owner, bool create = true) {
    if (!ref_.get()) {
      assoc_class* n = create ? find(owner, name_) : find_existing(owner, name_);
      if (n) owner.link(n, &ref_);
    }
    return ref_.get();
  }
  // Binds to a known node.
  void set(assoc_class& owner, assoc_class* node) { owner.link(node, &ref_); }
  void forget(assoc_class& owner) { owner.unlink(&ref_); }
  assoc_class* peek() const { return ref_.get(); }
  const char* name() const { return name_; }

 private:
  const char* name_;
  ptr_class<assoc_class> ref_;
};
