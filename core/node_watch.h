#pragma once

#include "core/assoc_class.h"

// Watches a node across code that may destroy it (scripts run from deletion
// or change hooks): get() turns null once the node is gone.
class node_watch {
 public:
  explicit node_watch(assoc_class* node) {
    if (node) anchor_.link(node, &ref_);
  }
  node_watch(const node_watch&) = delete;
  node_watch& operator=(const node_watch&) = delete;
  assoc_class* get() const { return ref_.get(); }
  explicit operator bool() const { return ref_.get() != nullptr; }

 private:
  // Declared first so that it outlives the anchor's teardown.
  ptr_class<assoc_class> ref_;
  assoc_class anchor_;
};
