#include "app/project/app_closing_to_proj_3.h"

#include <string>

#include "core/paths.h"

assoc_class* app_closing_to_proj_3::execute() {
  if (get_int_named(*this, "set_proj_dirty") != 0) {
    assoc_class* question = find(*this, "yes_no_dlg");
    if (!question) return nullptr;
    const char* path = get_text_named(*this, "pDroj_path_name");
    const std::string ask =
        std::string("Project : ") + (path ? path : "") + " has been Modified.\n Do you want to save it ?";
    question->set_text(ask.c_str());
    question->execute();
    const char* answer = question->get_text();
    if (answer && answer[0] == 'Y') {
      assoc_class* save = find(*this, "proj_save");
      if (!save || !save->execute()) {
        // Only the close-down makes this answer; outside it there is
        // nothing to veto.
        if (assoc_class* vote = find_existing(*this, "cBan_close")) vote->set_text("N");
      }
    }
  }
  return assoc_class::execute();
}
