#pragma once

#include <memory>

#include "xrd/tails/B_plr12_3.h"

// The marker of the start of the left tail (nBpts_i1 of the left constants) (node "pl1").
class pl1_3 : public B_plr12_3 {
 public:
  const char* class_name() const override { return "pl1"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  const char* xy_name() const override { return "xy_l1"; }
  bool right_side() const override { return false; }
  bool second() const override { return false; }
};
