#include "app/dialogs/edit_an_axie_3.h"

#include <cstdlib>
#include <utility>

#include "app/views/TDrawView.h"

int edit_an_axie_3::index_of_control(int control) {
  for (int i = 0; i < 4; ++i)
    if (control_ids[i] == control) return i;
  return -1;
}

void edit_an_axie_3::apply(TDrawView& view, const char* text) const {
  const double v = std::atof(text ? text : "");
  switch (index_) {
    case 0:
      view.x1 = v;
      break;
    case 1:
      view.x2 = v;
      break;
    case 2:
      view.display_flags.clear(view_bits::fix_y1_at_min | view_bits::fix_y1_at_zero);
      view.y1 = v;
      break;
    default:
      view.display_flags.clear(view_bits::fix_y2_at_max);
      view.y2 = v;
      break;
  }
  if (view.x1 > view.x2) std::swap(view.x1, view.x2);
  if (view.y1 > view.y2) std::swap(view.y1, view.y2);
  view.recompute_scale();
  view.push_limits();
  view.invalidate_all();
}
