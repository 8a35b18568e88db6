#pragma once

#include <memory>

#include "xrd/curves/xy_data_3.h"

// The marker of the right tail's end, nBpts_i2 (node "xy_r2").
class xy_r2_3 : public xy_data_for_3 {
 public:
  const char* class_name() const override { return "xy_r2"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
};
