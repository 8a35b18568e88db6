#pragma once

#include <memory>

#include "core/assoc_class.h"

// Makes every file button show whether the focused view shows its file (a
// tick) or not (a cross), while the focused view is the working view (node
// "dis_buttons").
class dis_buttons_3 : public assoc_class {
 public:
  const char* class_name() const override { return "dis_buttons"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  assoc_class* execute() override;
};
