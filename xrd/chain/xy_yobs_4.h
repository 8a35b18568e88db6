#pragma once

#include <memory>

#include "xrd/curves/xy_data_3.h"
#include "xrd/chain/xy_yobs_3.h"

// The observed profile of a data file (node "xy_yobs"): the curve read from
// the file, and the Fourier chain computed from it.
class xy_yobs_4 : public xy_data_for_3, public xy_yobs_3 {
 public:
  const char* class_name() const override { return "xy_yobs"; }
  std::unique_ptr<assoc_class> clone_empty() const override;
  // A profile copied in wholesale (a capture) owes every stage of the chain.
  void copy_from(assoc_class& source) override;

 protected:
  assoc_class& chain_node() override { return *this; }
  xy_data_for_3& observed_profile() override { return *this; }
};
