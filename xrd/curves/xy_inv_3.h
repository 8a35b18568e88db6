#pragma once

#include <memory>

#include "xrd/curves/xy_data_3.h"

// The inverse transform up to the frequency limit, on the transform input's
// abscissa (node "xy_inv").
class xy_inv_3 : public xy_data_for_3 {
 public:
  const char* class_name() const override { return "xy_inv"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
};
