#pragma once

#include <memory>

#include "xrd/curves/xy_data_3.h"

// The marker of the start of the right tail's fit, nBpts_i1 (node "xy_r1").
class xy_r1_3 : public xy_data_for_3 {
 public:
  const char* class_name() const override { return "xy_r1"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
};
