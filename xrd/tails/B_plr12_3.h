#pragma once

#include <cstdint>

#include "xrd/plots/plot_view.h"
#include "xrd/plots/plot_xy_3.h"

class B_ex_consts_3;

// A marker of one end of a tail's index range: a vertical line at x(nBpts_i1)
// or x(nBpts_i2) of its side, in views that show the observed profile.
// Dragging it sets that index within the limits of B_ex_consts_3.
class B_plr12_3 : public plot_xy_3 {
 public:
  virtual bool right_side() const = 0;
  // nBpts_i2 rather than nBpts_i1.
  virtual bool second() const = 0;
  std::uint32_t show_mask() const override { return show_bits::observed; }
  bool drag_marker_to(double x) override;
  bool is_marker() const override { return true; }

 protected:
  std::uint64_t source_stamp(plot_view& view) override;
  bool recompute(plot_view& view, xy_data_for_3& xy) override;

 private:
  B_ex_consts_3* consts();
  // The marker's x; an unset right index is placed first.
  bool marker_x(double& x);
};
