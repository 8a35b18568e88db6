#include "app/shell/view_for_each_file_3.h"

#include "app/shell/for_app_3.h"
#include "core/paths.h"

assoc_class* view_for_each_file_3::execute() {
  assoc_class* loaded = find(*this, "xAdd_recs");
  if (!loaded || loaded->child_count() == 0) return nullptr;
  node_list files;
  for (int i = 0; i < loaded->child_count(); ++i) files.push_back(loaded->child(i));
  if (auto* app = dynamic_cast<for_app_3*>(app_object())) app->one_view_per_file(files);
  return assoc_class::execute();
}
