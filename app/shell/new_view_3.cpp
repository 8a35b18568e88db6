#include "app/shell/new_view_3.h"

#include "app/shell/for_app_3.h"

assoc_class* new_view_3::execute() {
  if (auto* app = dynamic_cast<for_app_3*>(app_object())) app->new_graph_view();
  return assoc_class::execute();
}
