#pragma once

#include <cstdint>
#include <memory>

#include "xrd/plots/B_freq_plot_xy_3.h"
#include "xrd/plots/plot_view.h"
#include "xrd/curves/xy_data_3.h"

// Draws the inverse transform up to the frequency limit, over the points that
// were transformed (node "inv").
class inv_3 : public B_freq_plot_xy_3 {
 public:
  const char* class_name() const override { return "inv"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  const char* xy_name() const override { return "xy_inv"; }
  std::uint32_t show_mask() const override { return show_bits::inverse; }
  const char* caption() const override { return "Inv"; }

 protected:
  bool recompute(plot_view& view, xy_data_for_3& xy) override;
  std::uint64_t source_stamp(plot_view& view) override;
};
