#include "app/dialogs/ok_message_3.h"

#include <string>

#include "app/platform/platform.h"
#include "core/error_message.h"
#include "template/out_side_recs_3.h"

std::unique_ptr<assoc_class> ok_message_3::clone_empty() const { return clone_like(*this); }

assoc_class* ok_message_3::execute() {
  const char* value = get_text();
  std::string text = value ? value : "";
  for (char& c : text)
    if (c == '|') c = ' ';
  if (platform* p = current_platform()) {
    const char* caption = outside_value("app_name");
    p->message(platform_types::box_kind::warning, caption ? caption : "", text);
  } else {
    // No window: the message goes where shown errors go rather than nowhere.
    report_error(text.c_str());
  }
  return assoc_class::execute();
}
