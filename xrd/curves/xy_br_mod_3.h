#pragma once

#include <memory>

#include "xrd/curves/B_xy_re_im_3.h"

// The modulus of the quotient, with the scale of "xy_br_re" (node
// "xy_br_mod").
class xy_br_mod_3 : public B_xy_re_im_3 {
 public:
  const char* class_name() const override { return "xy_br_mod"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
};
