#pragma once

#include "xrd/plots/B_freq_plot_xy_3.h"

// A plot of a result of the chain that needs the reference profile: it does
// nothing while no reference is attached.
class B_freq_plot_xy_4 : public B_freq_plot_xy_3 {
 public:
  bool update(plot_view& view) override;
};
