#pragma once

#include <memory>

#include "xrd/curves/xy_data_3.h"

// The origin marker: a vertical line at the origin (node "xy_y_for_zero").
class xy_y_for_zero_3 : public xy_data_for_3 {
 public:
  const char* class_name() const override { return "xy_y_for_zero"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
};
