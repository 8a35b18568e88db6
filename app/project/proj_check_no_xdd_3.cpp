#include "app/project/proj_check_no_xdd_3.h"

#include "core/paths.h"

assoc_class* proj_check_no_xdd_3::execute() {
  assoc_class* files = find_existing(*this, "xAdd_recs");
  if (files && files->child_count() > 0) return this;
  set_text_named(*this, "pDroj_path_name", "");
  set_int_named(*this, "set_proj_dirty", 0);
  return assoc_class::execute();
}
