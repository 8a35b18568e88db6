#include "xrd/tails/B_plr12_3.h"

#include "core/text_helpers.h"
#include "xrd/tails/B_ex_consts_3.h"
#include "xrd/chain/xy_yobs_4.h"

B_ex_consts_3* B_plr12_3::consts() {
  xy_yobs_4* chain = observed();
  return chain ? chain->tail_consts(right_side()) : nullptr;
}

bool B_plr12_3::marker_x(double& x) {
  xy_yobs_4* chain = observed();
  B_ex_consts_3* c = consts();
  if (!chain || !c || chain->y.count() == 0) return false;
  const int last = chain->y.count() - 1;
  if (right_side()) {
    const double stored = second() ? c->second_option() : c->first_option();
    if (stored == -1.0) c->set_index(second(), second() ? last : last - 4);
  }
  const int index = second() ? c->second_index() : c->first_index();
  x = chain->x1 + index * chain->xd;
  return true;
}

std::uint64_t B_plr12_3::source_stamp(plot_view& view) {
  double x = 0.0;
  if (!marker_x(x)) return 0;
  return stamp_of({x, view.y_bottom(), view.y_top()});
}

bool B_plr12_3::recompute(plot_view& view, xy_data_for_3& xy) {
  double x = 0.0;
  if (!marker_x(x)) return false;
  vertical_line(xy, x, view.y_bottom(), view.y_top());
  return true;
}

bool B_plr12_3::drag_marker_to(double x) {
  xy_yobs_4* chain = observed();
  B_ex_consts_3* c = consts();
  if (!chain || !c || chain->y.count() == 0 || !(chain->xd > 0.0)) return false;
  const int last = chain->y.count() - 1;
  const int index = B_ex_consts_3::limited_index(right_side(), second(), nearest((x - chain->x1) / chain->xd), last);
  c->set_index(second(), index);
  if (assoc_class* file = data_file()) redraw_file(*file);
  return true;
}
