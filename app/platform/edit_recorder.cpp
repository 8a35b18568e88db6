#include "app/platform/edit_recorder.h"

#include "core/assoc_class.h"

void tell_edit_done(assoc_class& context, const std::string& what) {
  if (auto* recorder = dynamic_cast<edit_recorder*>(context.app_object())) recorder->edit_done(what);
}

void tell_edits_settled(assoc_class& context) {
  if (auto* recorder = dynamic_cast<edit_recorder*>(context.app_object())) recorder->edits_settled();
}
