#pragma once

#include <memory>

#include "xrd/tails/B_plr12_3.h"

// The marker of the end of the left tail's fitted points (nBpts_i2 of the left constants) (node "pl2").
class pl2_3 : public B_plr12_3 {
 public:
  const char* class_name() const override { return "pl2"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  const char* xy_name() const override { return "xy_l2"; }
  bool right_side() const override { return false; }
  bool second() const override { return true; }
};
