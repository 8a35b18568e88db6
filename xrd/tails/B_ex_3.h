#pragma once

#include <cstdint>

#include "xrd/plots/plot_view.h"
#include "xrd/plots/plot_xy_3.h"

class B_ex_consts_3;

// Draws one extrapolated tail, in views that show the observed profile. The
// side's constants compute the curve (refitting it first when asked to).
class B_ex_3 : public plot_xy_3 {
 public:
  virtual bool right_side() const = 0;
  std::uint32_t show_mask() const override { return show_bits::observed; }
  // A tail that is not used shows the model over its range, but is no part
  // of the data.
  bool counts_in_extent() override;

 protected:
  std::uint64_t source_stamp(plot_view& view) override;
  bool recompute(plot_view& view, xy_data_for_3& xy) override;

 private:
  B_ex_consts_3* consts();
};
