#include "app/views/new_xdd_for_vws_3.h"

#include "app/views/TDrawView.h"
#include "app/views/view_recs_9.h"
#include "core/paths.h"

assoc_class* new_xdd_for_vws_3::execute() {
  view_recs_9* views = view_list(*this);
  TDrawView* last = views ? views->last_view() : nullptr;
  assoc_class* loaded = find(*this, "xAdd_recs");
  assoc_class* newest = loaded ? loaded->last_child() : nullptr;
  if (last && newest && !last->line_of(newest)) {
    last->add_file(newest);
    last->lines_changed();
    last->show_all();
  }
  return assoc_class::execute();
}
