#pragma once

#include <cstdint>

#include "xrd/plots/B_freq_plot_xy_4.h"

// A plot of the quotient of this file's transform by the reference's, on the
// display frequency axis.
class B_br_freq_plot_xy_3 : public B_freq_plot_xy_4 {
 protected:
  std::uint64_t source_stamp(plot_view& view) override;
};
