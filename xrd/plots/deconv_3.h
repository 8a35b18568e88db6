#pragma once

#include <cstdint>
#include <memory>

#include "xrd/plots/B_freq_plot_xy_4.h"
#include "xrd/plots/plot_view.h"
#include "xrd/curves/xy_data_3.h"

// Draws the deconvoluted profile: as many points as were transformed, taken
// about its middle so that zero offset falls on the origin, and scaled to the
// observed profile's height (node "deconv").
class deconv_3 : public B_freq_plot_xy_4 {
 public:
  const char* class_name() const override { return "deconv"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  const char* xy_name() const override { return "xy_deconv"; }
  std::uint32_t show_mask() const override { return show_bits::deconvoluted; }
  const char* caption() const override { return "Deconv"; }

 protected:
  bool recompute(plot_view& view, xy_data_for_3& xy) override;
  std::uint64_t source_stamp(plot_view& view) override;
};
