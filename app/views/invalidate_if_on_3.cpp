#include "app/views/invalidate_if_on_3.h"

#include "app/views/TDrawView.h"
#include "app/views/view_recs_9.h"

assoc_class* invalidate_if_on_3::execute_with(assoc_class* file) {
  if (view_recs_9* views = view_list(*this); views && file)
    for (TDrawView* v : views->views())
      if (v->line_of(file)) v->invalidate_all();
  return assoc_class::execute();
}

assoc_class* invalidate_if_on_3::execute() { return execute_with(ancestor_named("xdd")); }
