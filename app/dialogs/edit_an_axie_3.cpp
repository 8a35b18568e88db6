#include "app/dialogs/edit_an_axie_3.h"

#include <string>
#include <utility>

#include "app/views/TDrawView.h"
#include "core/error_message.h"
#include "core/text_helpers.h"

int edit_an_axie_3::index_of_control(int control) {
  for (int i = 0; i < 4; ++i)
    if (control_ids[i] == control) return i;
  return -1;
}

bool edit_an_axie_3::apply(TDrawView& view, const char* text) const {
  static constexpr const char* names[4] = {"x1", "x2", "y1", "y2"};
  const std::optional<double> number = whole_number(text ? text : "");
  if (!number) {
    report_error((std::string(names[index_]) + ": \"" + (text ? text : "") + "\" is not a number").c_str());
    return false;
  }
  const double v = *number;
  view.zoom_by([&] {
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
  });
  view.recompute_scale();
  view.push_limits();
  view.invalidate_all();
  return true;
}
