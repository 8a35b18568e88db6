#pragma once

#include <memory>

#include "core/fund_type_3.h"

// Brings the file button of the file its value refers to up to date with
// the focused view (when that is the working view) and repaints that view
// (node "dis_button").
class dis_button_3 : public fund_type_3 {
 public:
  const char* class_name() const override { return "dis_button"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  assoc_class* execute() override;
};
