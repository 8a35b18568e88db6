#pragma once

#include <memory>

#include "core/assoc_class.h"

// The line a measurement leaves over the graph to show what it measured
// (node "temp_line", a child of the plot object). The view draws it once and
// deletes it.
class temp_line_3 : public assoc_class {
 public:
  const char* class_name() const override { return "temp_line"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  void copy_from(assoc_class& source) override {
    if (auto* other = dynamic_cast<temp_line_3*>(&source); other && other != this) {
      x1 = other->x1;
      x2 = other->x2;
      y1 = other->y1;
      y2 = other->y2;
    }
    assoc_class::copy_from(source);
  }

  double x1 = 0.0;
  double x2 = 0.0;
  double y1 = 0.0;
  double y2 = 0.0;
};
