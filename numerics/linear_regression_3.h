#pragma once

#include <memory>

#include "numerics/fit_9.h"

// The fit that the tail extrapolation creates; registered as
// "lin_reg". It adds nothing to fit_9.
class linear_regression_3 : public fit_9 {
 public:
  const char* class_name() const override { return "lin_reg"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return std::make_unique<linear_regression_3>(); }
};
