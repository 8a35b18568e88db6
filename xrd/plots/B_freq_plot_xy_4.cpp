#include "xrd/plots/B_freq_plot_xy_4.h"

#include "xrd/chain/xy_yobs_4.h"

bool B_freq_plot_xy_4::update(plot_view& view) {
  xy_yobs_4* chain = observed();
  if (!chain || !chain->reference_profile()) {
    plot_3::update(view);
    return false;
  }
  return B_freq_plot_xy_3::update(view);
}
