#include "app/views/dis_buttons_3.h"

#include "app/views/TDrawView.h"
#include "app/views/file_button_on_off.h"
#include "app/views/view_recs_9.h"
#include "core/paths.h"

assoc_class* dis_buttons_3::execute() {
  view_recs_9* views = view_list(*this);
  TDrawView* focused = views ? views->focused() : nullptr;
  if (focused && focused == views->working()) {
    if (assoc_class* loaded = find(*this, "xAdd_recs"))
      for (int i = 0; i < loaded->child_count(); ++i) {
        assoc_class* file = loaded->child(i);
        if (auto* button = dynamic_cast<file_button_on_off*>(file->find_child("fbutonoff")))
          button->show(focused->line_of(file) != nullptr);
      }
  }
  return assoc_class::execute();
}
