#pragma once

#include <memory>

#include "xrd/tails/B_ex_3.h"

// Draws the left tail (node "ex_l").
class ex_l_3 : public B_ex_3 {
 public:
  const char* class_name() const override { return "ex_l"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  const char* xy_name() const override { return "xy_ex_l"; }
  bool right_side() const override { return false; }
};
