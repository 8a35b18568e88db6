#include "xrd/plots/yobs_3.h"

#include "xrd/chain/xy_yobs_4.h"

std::uint64_t yobs_3::source_stamp(plot_view&) { return 0; }

bool yobs_3::recompute(plot_view&, xy_data_for_3& xy) {
  // The profile is its own curve: there is nothing to compute, but a profile
  // marked dirty has changed, and all of its chain with it.
  if (xy_yobs_4* chain = observed(); chain && xy.dirty) chain->invalidate_chain();
  return true;
}
