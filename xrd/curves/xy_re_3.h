#pragma once

#include <memory>

#include "xrd/curves/B_xy_re_im_3.h"

// The real part of the transform referred to the origin, on the display
// frequency axis, scaled so that its largest value reads 100 (node "xy_re").
class xy_re_3 : public B_xy_re_im_3 {
 public:
  const char* class_name() const override { return "xy_re"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
};
