#include "xrd/plots/y_for_bkg_3.h"

#include <algorithm>

#include "numerics/x1_xd_x2_3.h"
#include "xrd/tails/B_ex_consts_3.h"
#include "xrd/chain/xy_yobs_4.h"

bool y_for_bkg_3::ends(int& i1, int& i2) {
  xy_yobs_4* chain = observed();
  if (!chain || chain->y.count() == 0) return false;
  const int last = chain->y.count() - 1;
  i1 = 0;
  i2 = last;
  if (B_ex_consts_3* left = chain->tail_consts(false)) i1 = std::min(0, left->first_index());
  if (B_ex_consts_3* right = chain->tail_consts(true); right && right->second_option() >= 0.0)
    i2 = std::max(last, right->second_index());
  return true;
}

std::uint64_t y_for_bkg_3::source_stamp(plot_view&) {
  xy_yobs_4* chain = observed();
  int i1 = 0, i2 = 0;
  if (!chain || !ends(i1, i2)) return 0;
  chain->ensure_origin();
  return stamp_of({chain->x1, chain->xd, double(i1), double(i2), chain->background_level(), chain->background_slope(),
                   chain->centre_x()});
}

bool y_for_bkg_3::recompute(plot_view&, xy_data_for_3& xy) {
  xy_yobs_4* chain = observed();
  int i1 = 0, i2 = 0;
  if (!chain || !ends(i1, i2)) return false;
  chain->ensure_origin();
  const double first = chain->x1 + i1 * chain->xd;
  const double last = chain->x1 + i2 * chain->xd;
  const float line[3] = {static_cast<float>(chain->background_at(first)),
                         static_cast<float>(chain->background_at((first + last) / 2.0)),
                         static_cast<float>(chain->background_at(last))};
  take(xy, x1_xd_x2_3(first, (last - first) / 2.0, 3), line, 3, 1.0);
  return true;
}
