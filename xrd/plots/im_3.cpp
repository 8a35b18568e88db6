#include "xrd/plots/im_3.h"

#include "xrd/chain/xy_yobs_4.h"

bool im_3::recompute(plot_view&, xy_data_for_3& xy) {
  xy_yobs_4* chain = observed();
  if (!chain || !chain->run_transform_stages()) return false;
  const double s = shared_factor("xy_re", chain->fft.shifted_re, chain->runs.shift);
  const float_vec& v = chain->fft.shifted_im;
  take(xy, chain->display_axis, v.data(), v.count(), s);
  return true;
}
