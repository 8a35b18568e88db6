#pragma once

#include "core/fund_type_3.h"
#include "core/keep_sorted_3.h"

// A typed value whose children stay sorted.
class fund_kp_sorted_3 : public keep_sorted_3, public fund_type_3 {
 public:
  assoc_class* add_child(assoc_class* node) override { return keep_sorted_3::add_child(node); }
  using assoc_class::add_child;
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
};
