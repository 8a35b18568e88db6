#include "app/dialogs/history_dlg_3.h"

std::unique_ptr<assoc_class> history_dlg_3::clone_empty() const { return clone_like(*this); }

assoc_class* history_dlg_3::set_text(const char* line) {
  last_line_ = line ? line : "";
  const std::string added = last_line_ + "\r\n";
  history_ += added;
  platform* p = current_platform();
  if (!p || is_modal()) return this;
  if (window()) {
    p->edit_append(window(), edit_id, added);
  } else if (!ensure_window(*p)) {
    return this;
  }
  if (!p->dialog_shown(window())) p->show_dialog(window(), true);
  return this;
}

void history_dlg_3::window_made(platform& p, platform::dialog_id d) { p.edit_set_text(d, edit_id, history_); }
