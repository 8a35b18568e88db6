#pragma once

#include <memory>

#include "xrd/curves/B_xy_re_im_3.h"

// The real part of the quotient of this file's transform by the reference's,
// scaled so that its largest value reads 100 (node "xy_br_re").
class xy_br_re_3 : public B_xy_re_im_3 {
 public:
  const char* class_name() const override { return "xy_br_re"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
};
