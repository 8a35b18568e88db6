#pragma once

#include <memory>

#include "core/assoc_class.h"

// Gives every graph view the mouse cursor its modes call for (node
// "set_cursors"): scripts run it after making or removing the mode objects
// "mAanip_x", "mAanip_y", "cAapt" and "iAns_del_pks".
class set_cursors_3 : public assoc_class {
 public:
  const char* class_name() const override { return "set_cursors"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  assoc_class* execute() override;
};
