#pragma once

#include "core/look_up_3.h"

// The index of every node below one top-level template, sorted by name with
// a first-letter look-up. It refers to the nodes; the template tree owns them.
class tem_recs_3 : public look_up_3 {
 public:
  tem_recs_3() { flags().clear(container_bits::owns); }
  ~tem_recs_3() override { set_count(0); }
  const char* class_name() const override { return "tem_recs"; }
};
