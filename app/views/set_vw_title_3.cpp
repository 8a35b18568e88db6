#include "app/views/set_vw_title_3.h"

#include "app/views/TDrawView.h"
#include "app/views/view_recs_9.h"

assoc_class* set_vw_title_3::execute() {
  auto* view = dynamic_cast<TDrawView*>(get_object());
  if (!view) view = dynamic_cast<TDrawView*>(ancestor_named("drvw"));
  if (!view) {
    view_recs_9* views = view_list(*this);
    view = views ? views->focused() : nullptr;
  }
  if (view) view->set_title();
  return assoc_class::execute();
}
