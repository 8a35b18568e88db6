#pragma once

#include <cstdint>
#include <memory>

#include "xrd/plots/plot_view.h"
#include "xrd/plots/plot_xy_3.h"
#include "xrd/curves/xy_data_3.h"

// Draws the observed profile itself (node "yobs"); the measures are usually
// asked of it.
class yobs_3 : public plot_xy_3 {
 public:
  const char* class_name() const override { return "yobs"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  const char* xy_name() const override { return "xy_yobs"; }
  std::uint32_t show_mask() const override { return show_bits::observed; }
  const char* caption() const override { return "Yobs"; }

 protected:
  bool recompute(plot_view& view, xy_data_for_3& xy) override;
  std::uint64_t source_stamp(plot_view& view) override;
};
