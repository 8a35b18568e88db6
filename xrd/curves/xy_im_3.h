#pragma once

#include <memory>

#include "xrd/curves/B_xy_re_im_3.h"

// The imaginary part of the transform, with the scale of "xy_re" (node
// "xy_im").
class xy_im_3 : public B_xy_re_im_3 {
 public:
  const char* class_name() const override { return "xy_im"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
};
