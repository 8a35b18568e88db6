#pragma once

#include <memory>

#include "xrd/tails/B_ex_3.h"

// Draws the right tail (node "ex_r").
class ex_r_3 : public B_ex_3 {
 public:
  const char* class_name() const override { return "ex_r"; }
  std::unique_ptr<assoc_class> clone_empty() const override {
    auto copy = std::make_unique<ex_r_3>();
    copy->set_tem(tem());
    return copy;
  }
  const char* xy_name() const override { return "xy_ex_r"; }
  bool right_side() const override { return true; }
};
