#pragma once

#include <memory>

#include "xrd/tails/B_plr12_3.h"

// The marker of the start of the right tail's fitted points (nBpts_i1 of the right constants) (node "pr1").
class pr1_3 : public B_plr12_3 {
 public:
  const char* class_name() const override { return "pr1"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  const char* xy_name() const override { return "xy_r1"; }
  bool right_side() const override { return true; }
  bool second() const override { return false; }
};
