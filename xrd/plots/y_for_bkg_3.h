#pragma once

#include <cstdint>
#include <memory>

#include "xrd/plots/plot_view.h"
#include "xrd/plots/plot_xy_3.h"
#include "xrd/curves/xy_data_3.h"

// Draws the background line under the profile and its tails (node
// "y_for_bkg").
class y_for_bkg_3 : public plot_xy_3 {
 public:
  const char* class_name() const override { return "y_for_bkg"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  const char* xy_name() const override { return "xy_y_for_bkg"; }
  std::uint32_t show_mask() const override { return show_bits::observed; }
  const char* caption() const override { return "Background"; }

 protected:
  bool recompute(plot_view& view, xy_data_for_3& xy) override;
  std::uint64_t source_stamp(plot_view& view) override;

 private:
  // The line's first and last index on the observed abscissa.
  bool ends(int& i1, int& i2);
};
