#pragma once

#include <cstdint>
#include <memory>

#include "xrd/plots/B_freq_plot_xy_3.h"
#include "xrd/plots/plot_view.h"
#include "xrd/curves/xy_data_3.h"

// Draws the real part of the transform, normalised (node "re").
class re_3 : public B_freq_plot_xy_3 {
 public:
  const char* class_name() const override { return "re"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  const char* xy_name() const override { return "xy_re"; }
  std::uint32_t show_mask() const override { return show_bits::transform_re_im; }
  const char* caption() const override { return "Re"; }

 protected:
  bool recompute(plot_view& view, xy_data_for_3& xy) override;
};
