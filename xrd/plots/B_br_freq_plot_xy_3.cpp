#include "xrd/plots/B_br_freq_plot_xy_3.h"

#include "xrd/chain/xy_yobs_4.h"

std::uint64_t B_br_freq_plot_xy_3::source_stamp(plot_view&) {
  xy_yobs_4* chain = observed();
  if (!chain || !chain->run_quotient()) return 0;
  return static_cast<std::uint64_t>(chain->runs.quotient);
}
