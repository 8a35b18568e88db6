#pragma once

#include <memory>

#include "core/assoc_class.h"

// Shows the newest loaded file in the last graph view and scales that view
// to all of it (node "new_xdd_for_vws", run after every load). Without a
// view it does nothing.
class new_xdd_for_vws_3 : public assoc_class {
 public:
  const char* class_name() const override { return "new_xdd_for_vws"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  assoc_class* execute() override;
};
