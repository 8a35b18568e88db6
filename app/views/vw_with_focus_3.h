#pragma once

#include <memory>

#include "core/fund_type_3.h"

// The reference to the graph view that has the focus (node "vw_with_focus"
// in "view_recs"). A view sets it when its frame becomes the active child
// and executes it, so that the template's script can follow the focus.
class vw_with_focus_3 : public fund_type_3 {
 public:
  const char* class_name() const override { return "vw_with_focus"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
};
