#pragma once

#include <memory>

#include "app/text/font_3.h"

// The text font struck out (node "font_strike_out"): the report editor shows
// a column left out of the report in it.
class font_strike_out_3 : public font_3 {
 public:
  font_strike_out_3() : font_3(true) {}
  const char* class_name() const override { return "font_strike_out"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
};
