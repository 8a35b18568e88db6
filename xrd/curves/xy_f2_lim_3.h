#pragma once

#include <memory>

#include "xrd/curves/xy_data_3.h"

// The frequency-limit marker: a vertical line at the limit on the display
// frequency axis (node "xy_f2_lim").
class xy_f2_lim_3 : public xy_data_for_3 {
 public:
  const char* class_name() const override { return "xy_f2_lim"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
};
