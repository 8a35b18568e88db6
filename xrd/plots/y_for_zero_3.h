#pragma once

#include <cstdint>
#include <memory>

#include "xrd/plots/plot_view.h"
#include "xrd/plots/plot_xy_3.h"
#include "xrd/curves/xy_data_3.h"

// Draws the phase origin as a vertical line; an unset origin is placed first
// by the automatic origin and background. Dragging it moves the origin (node
// "y_for_zero").
class y_for_zero_3 : public plot_xy_3 {
 public:
  const char* class_name() const override { return "y_for_zero"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  const char* xy_name() const override { return "xy_y_for_zero"; }
  std::uint32_t show_mask() const override { return show_bits::observed; }
  const char* caption() const override { return "Origin"; }
  bool drag_marker_to(double x) override;
  bool is_marker() const override { return true; }

 protected:
  bool recompute(plot_view& view, xy_data_for_3& xy) override;
  std::uint64_t source_stamp(plot_view& view) override;
};
