#include "app/views/dis_button_3.h"

#include "app/views/TDrawView.h"
#include "app/views/file_button_on_off.h"
#include "app/views/view_recs_9.h"

assoc_class* dis_button_3::execute() {
  view_recs_9* views = view_list(*this);
  TDrawView* focused = views ? views->focused() : nullptr;
  assoc_class* file = get_object();
  if (focused && focused == views->working()) {
    if (auto* button = dynamic_cast<file_button_on_off*>(file ? file->find_child("fbutonoff") : nullptr))
      button->show(focused->line_of(file) != nullptr);
    focused->invalidate_all();
  }
  return assoc_class::execute();
}
