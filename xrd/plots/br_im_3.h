#pragma once

#include <cstdint>
#include <memory>

#include "xrd/plots/B_br_freq_plot_xy_3.h"
#include "xrd/plots/plot_view.h"
#include "xrd/curves/xy_data_3.h"

// Draws the imaginary part of the quotient with the scale of "xy_br_re"
// (node "br_im").
class br_im_3 : public B_br_freq_plot_xy_3 {
 public:
  const char* class_name() const override { return "br_im"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  const char* xy_name() const override { return "xy_br_im"; }
  std::uint32_t show_mask() const override { return show_bits::quotient_re_im; }
  const char* caption() const override { return "Yobs/Ref Im"; }

 protected:
  bool recompute(plot_view& view, xy_data_for_3& xy) override;
};
