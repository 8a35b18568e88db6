#pragma once

#include <memory>

#include "xrd/curves/xy_data_3.h"

// The marker of the end of the left tail's fit, nBpts_i2 (node "xy_l2").
class xy_l2_3 : public xy_data_for_3 {
 public:
  const char* class_name() const override { return "xy_l2"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
};
