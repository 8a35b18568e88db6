#pragma once

#include <memory>

#include "xrd/tails/B_ex_consts_3.h"

// The constants of the left tail (node "ex_l_consts"): the tail runs from
// nBpts_i1 (at most 0) and is fitted to the points 0 .. nBpts_i2.
class ex_l_consts_3 : public B_ex_consts_3 {
 public:
  const char* class_name() const override { return "ex_l_consts"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  bool right_side() const override { return false; }
  const char* curve_name() const override { return "xy_ex_l"; }
};
