#include "xrd/plots/B_freq_plot_xy_3.h"

#include "xrd/curves/B_xy_re_im_3.h"
#include "xrd/chain/xy_yobs_4.h"

std::uint64_t B_freq_plot_xy_3::source_stamp(plot_view&) {
  xy_yobs_4* chain = observed();
  if (!chain || !chain->run_transform_stages()) return 0;
  return static_cast<std::uint64_t>(chain->runs.shift);
}

double B_freq_plot_xy_3::shared_factor(const char* scale_node, const float_vec& v, int stamp) {
  if (auto* display = dynamic_cast<B_xy_re_im_3*>(file_member(scale_, scale_node)))
    return display->factor_for(v, stamp);
  return B_xy_re_im_3::scale_to_100(v);
}
