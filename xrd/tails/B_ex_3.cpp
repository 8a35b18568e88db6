#include "xrd/tails/B_ex_3.h"

#include "xrd/tails/B_ex_consts_3.h"
#include "xrd/chain/xy_yobs_4.h"

B_ex_consts_3* B_ex_3::consts() {
  xy_yobs_4* chain = observed();
  return chain ? chain->tail_consts(right_side()) : nullptr;
}

std::uint64_t B_ex_3::source_stamp(plot_view&) {
  xy_yobs_4* chain = observed();
  B_ex_consts_3* c = consts();
  if (!chain || !c || chain->y.count() == 0) return 0;
  chain->ensure_origin();
  c->ensure_curve(*chain, *chain);
  return static_cast<std::uint64_t>(c->curve_runs);
}

bool B_ex_3::recompute(plot_view&, xy_data_for_3&) {
  // The constants wrote the curve while the stamp was taken.
  xy_yobs_4* chain = observed();
  return chain && consts() && chain->y.count() > 0;
}

bool B_ex_3::counts_in_extent() {
  xy_yobs_4* chain = observed();
  B_ex_consts_3* c = consts();
  return chain && c && chain->y.count() > 0 && c->active(chain->y.count() - 1);
}
