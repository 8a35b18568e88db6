#include "xrd/plots/re_3.h"

#include "xrd/curves/B_xy_re_im_3.h"
#include "xrd/chain/xy_yobs_4.h"

bool re_3::recompute(plot_view&, xy_data_for_3& xy) {
  xy_yobs_4* chain = observed();
  if (!chain || !chain->run_transform_stages()) return false;
  const float_vec& v = chain->fft.shifted_re;
  auto* display = dynamic_cast<B_xy_re_im_3*>(&xy);
  const double s = display ? display->factor_for(v, chain->runs.shift) : B_xy_re_im_3::scale_to_100(v);
  take(xy, chain->display_axis, v.data(), v.count(), s);
  return true;
}
