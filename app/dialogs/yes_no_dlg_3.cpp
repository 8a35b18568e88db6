#include "app/dialogs/yes_no_dlg_3.h"

#include <string>

#include "app/platform/platform.h"
#include "template/out_side_recs_3.h"

std::unique_ptr<assoc_class> yes_no_dlg_3::clone_empty() const { return clone_like(*this); }

assoc_class* yes_no_dlg_3::execute() {
  const char* question = get_text();
  const std::string text = question ? question : "";
  const char* caption = outside_value("app_name");
  // With no window system nobody can agree, and no is the answer that
  // changes nothing.
  platform* p = current_platform();
  const bool yes = p && p->ask_yes_no(caption ? caption : "", text);
  set_char(yes ? 'Y' : 'N');
  return assoc_class::execute();
}
