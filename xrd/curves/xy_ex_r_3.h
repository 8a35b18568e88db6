#pragma once

#include <memory>

#include "xrd/curves/xy_data_3.h"

// The right tail curve, from nBpts_i1 to nBpts_i2 of the right constants
// (node "xy_ex_r").
class xy_ex_r_3 : public xy_data_for_3 {
 public:
  const char* class_name() const override { return "xy_ex_r"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
};
