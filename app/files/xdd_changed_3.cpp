#include "app/files/xdd_changed_3.h"

assoc_class* xdd_changed_3::execute() {
  if (assoc_class* file = ancestor_named("xdd")) file->set_changed(true);
  return assoc_class::execute();
}
