#pragma once

#include <memory>

#include "xrd/curves/xy_data_3.h"

// The background line under the profile and its tails (node "xy_y_for_bkg").
class xy_y_for_bkg_3 : public xy_data_for_3 {
 public:
  const char* class_name() const override { return "xy_y_for_bkg"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
};
