#pragma once

#include <memory>

#include "xrd/curves/xy_data_3.h"

// The deconvoluted profile, centred on the origin and given the observed
// profile's height (node "xy_deconv").
class xy_deconv_3 : public xy_data_for_3 {
 public:
  const char* class_name() const override { return "xy_deconv"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
};
