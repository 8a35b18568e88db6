#include "xrd/plots/br_mod_3.h"

#include "xrd/chain/xy_yobs_4.h"

bool br_mod_3::recompute(plot_view&, xy_data_for_3& xy) {
  xy_yobs_4* chain = observed();
  if (!chain || !chain->run_quotient()) return false;
  const double s = shared_factor("xy_br_re", chain->fft.quotient_re, chain->runs.quotient);
  const float_vec& v = chain->fft.quotient_mod;
  take(xy, chain->display_axis, v.data(), v.count(), s);
  return true;
}
