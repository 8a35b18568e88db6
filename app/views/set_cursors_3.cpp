#include "app/views/set_cursors_3.h"

#include "app/views/TDrawView.h"
#include "app/views/view_recs_9.h"

assoc_class* set_cursors_3::execute() {
  if (view_recs_9* views = view_list(*this))
    for (TDrawView* v : views->views()) v->apply_cursor();
  return assoc_class::execute();
}
