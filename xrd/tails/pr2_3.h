#pragma once

#include <memory>

#include "xrd/tails/B_plr12_3.h"

// The marker of the end of the right tail (nBpts_i2 of the right constants) (node "pr2").
class pr2_3 : public B_plr12_3 {
 public:
  const char* class_name() const override { return "pr2"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  const char* xy_name() const override { return "xy_r2"; }
  bool right_side() const override { return true; }
  bool second() const override { return true; }
};
