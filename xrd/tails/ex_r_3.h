#pragma once

#include <memory>

#include "xrd/tails/B_ex_3.h"

// Draws the right tail (node "ex_r").
class ex_r_3 : public B_ex_3 {
 public:
  const char* class_name() const override { return "ex_r"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  const char* xy_name() const override { return "xy_ex_r"; }
  bool right_side() const override { return true; }
};
