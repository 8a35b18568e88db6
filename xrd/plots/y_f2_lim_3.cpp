#include "xrd/plots/y_f2_lim_3.h"

#include <algorithm>
#include <cmath>

#include "core/paths.h"
#include "xrd/chain/ptr_classes_4.h"
#include "xrd/chain/xy_yobs_4.h"

bool y_f2_lim_3::marker_x(double& x) {
  xy_yobs_4* chain = observed();
  if (!chain || !chain->run_transform_stages()) return false;
  x = chain->limit_index_or_last() * chain->display_axis.xd + chain->display_axis.x1;
  return true;
}

std::uint64_t y_f2_lim_3::source_stamp(plot_view& view) {
  double x = 0.0;
  if (!marker_x(x)) return 0;
  return stamp_of({x, view.y_bottom(), view.y_top()});
}

bool y_f2_lim_3::recompute(plot_view& view, xy_data_for_3& xy) {
  xy_yobs_4* chain = observed();
  double x = 0.0;
  if (!marker_x(x)) return false;
  // The marker shows where the inverse cuts: an unset limit becomes the last
  // frequency here as it does there.
  if (std::fabs(chain->limit_index() - xy_yobs_3::unset) < 1e-9) chain->set_limit_index(chain->limit_index_or_last());
  vertical_line(xy, x, view.y_bottom(), view.y_top());
  return true;
}

bool y_f2_lim_3::drag_marker_to(double x) {
  xy_yobs_4* chain = observed();
  if (!chain || !chain->run_transform_stages() || chain->display_axis.xd == 0.0) return false;
  // Kept on the axis, where a typed limit must lie too.
  const double last = chain->display_axis.n > 0 ? chain->display_axis.n - 1 : 0;
  chain->set_limit_index(std::clamp((x - chain->display_axis.x1) / chain->display_axis.xd, 0.0, last));
  assoc_class* file = data_file();
  node_list others;
  if (ptr_classes_4* tied = chain->tied_files()) others = tied->targets();
  if (file) redraw_file(*file);
  // The files that divide by this one must divide again.
  for (assoc_class* other : others) {
    if (other == file) continue;
    if (assoc_class* flag = find(*other, "fBft_do_br")) flag->set_int(1);
    redraw_file(*other);
  }
  return true;
}
