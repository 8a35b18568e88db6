#pragma once

#include <cstdint>
#include <memory>

#include "xrd/plots/B_freq_plot_xy_3.h"
#include "xrd/plots/plot_view.h"
#include "xrd/curves/xy_data_3.h"

// Draws the frequency limit as a vertical line on the display frequency axis;
// dragging it moves the limit (node "y_f2_lim").
class y_f2_lim_3 : public B_freq_plot_xy_3 {
 public:
  const char* class_name() const override { return "y_f2_lim"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  const char* xy_name() const override { return "xy_f2_lim"; }
  std::uint32_t show_mask() const override { return show_bits::transform_re_im | show_bits::transform_mod; }
  const char* caption() const override { return "Limit"; }
  bool drag_marker_to(double x) override;
  bool is_marker() const override { return true; }

 protected:
  bool recompute(plot_view& view, xy_data_for_3& xy) override;
  std::uint64_t source_stamp(plot_view& view) override;

 private:
  bool marker_x(double& x);
};
