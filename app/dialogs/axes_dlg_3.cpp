#include "app/dialogs/axes_dlg_3.h"

#include <algorithm>
#include <cmath>

#include "app/dialogs/edit_an_axie_3.h"
#include "app/views/TDrawView.h"
#include "app/views/view_recs_9.h"
#include "core/numeric_abort.h"
#include "core/text_helpers.h"

TDrawView* axes_dlg_3::view() const { return dynamic_cast<TDrawView*>(view_.get()); }

std::string axes_dlg_3::y_format(double y1, double y2) {
  const double range = y2 - y1;
  double digits = range > 0.0 ? std::floor(10.0 / range) + 1.0 : 4.0;
  digits = std::clamp(digits, 0.0, 4.0);
  return "%-1." + std::to_string(static_cast<int>(digits)) + "f";
}

void axes_dlg_3::refresh() {
  platform* p = current_platform();
  if (!p || !window()) return;
  view_recs_9* views = view_list(*this);
  TDrawView* focused = views ? views->focused() : nullptr;
  if (!focused) return;
  if (focused != view()) link(focused, &view_);
  p->set_dialog_caption(window(), "Window: " + focused->title());
  p->edit_set_text(window(), edit_an_axie_3::control_ids[0], text_of(focused->x1));
  p->edit_set_text(window(), edit_an_axie_3::control_ids[1], text_of(focused->x2));
  const std::string y = y_format(focused->y1, focused->y2);
  p->edit_set_text(window(), edit_an_axie_3::control_ids[2], format_number(y.c_str(), focused->y1));
  p->edit_set_text(window(), edit_an_axie_3::control_ids[3], format_number(y.c_str(), focused->y2));
}

void axes_dlg_3::before_showing(platform&, platform::dialog_id) { refresh(); }

void axes_dlg_3::on_edit_enter(int control) {
  const int index = edit_an_axie_3::index_of_control(control);
  platform* p = current_platform();
  TDrawView* target = view();
  if (index < 0 || !p || !window() || !target) return;
  // The dialog's action: a numerical stage that gives up while the view
  // follows the new axis ends it with its message. A refused text gives way
  // to the limit there was.
  bool taken = true;
  run_action([&] { taken = edit_an_axie_3(index).apply(*target, p->edit_text(window(), control).c_str()); });
  if (!taken) refresh();
}
