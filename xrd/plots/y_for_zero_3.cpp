#include "xrd/plots/y_for_zero_3.h"

#include <algorithm>

#include "xrd/chain/xy_yobs_4.h"

std::uint64_t y_for_zero_3::source_stamp(plot_view& view) {
  xy_yobs_4* chain = observed();
  if (!chain) return 0;
  chain->ensure_origin();
  return stamp_of({chain->origin_x(), view.y_bottom(), view.y_top()});
}

bool y_for_zero_3::recompute(plot_view& view, xy_data_for_3& xy) {
  xy_yobs_4* chain = observed();
  if (!chain || chain->y.count() == 0) return false;
  chain->ensure_origin();
  vertical_line(xy, chain->origin_x(), view.y_bottom(), view.y_top());
  return true;
}

bool y_for_zero_3::drag_marker_to(double x) {
  xy_yobs_4* chain = observed();
  if (!chain || !(chain->xd > 0.0)) return false;
  // The origin stays on the scan however far the mouse goes: an origin off
  // the scan would be refused when the project is read again.
  const double last = chain->y.count() > 0 ? chain->y.count() - 1 : 0;
  chain->set_origin_index(std::clamp((x - chain->x1) / chain->xd, 0.0, last));
  if (assoc_class* file = data_file()) redraw_file(*file);
  return true;
}
