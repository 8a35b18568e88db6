#include "xrd/plots/inv_3.h"

#include <algorithm>

#include "xrd/chain/xy_yobs_4.h"

std::uint64_t inv_3::source_stamp(plot_view&) {
  xy_yobs_4* chain = observed();
  if (!chain || !chain->run_inverse()) return 0;
  return static_cast<std::uint64_t>(chain->runs.inverse);
}

bool inv_3::recompute(plot_view&, xy_data_for_3& xy) {
  xy_yobs_4* chain = observed();
  if (!chain || !chain->run_inverse()) return false;
  const int n = std::min(chain->ft_input.count(), chain->fft.inv.count());
  take(xy, chain->ft_input_axis, chain->fft.inv.data(), n, 1.0);
  return true;
}
