#pragma once

#include <memory>

#include "xrd/tails/B_ex_consts_3.h"

// The constants of the right tail (node "ex_r_consts"): fitted to the points
// nBpts_i1 .. last, the tail runs on to nBpts_i2 (at least the last index).
class ex_r_consts_3 : public B_ex_consts_3 {
 public:
  const char* class_name() const override { return "ex_r_consts"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  bool right_side() const override { return true; }
  const char* curve_name() const override { return "xy_ex_r"; }
};
