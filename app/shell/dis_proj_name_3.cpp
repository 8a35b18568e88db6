#include "app/shell/dis_proj_name_3.h"

#include "app/shell/for_app_3.h"
#include "app/platform/platform.h"
#include "core/paths.h"

assoc_class* dis_proj_name_3::execute() {
  assoc_class* path = find(*this, "pDroj_path_name");
  const char* text = path ? path->get_text() : nullptr;
  if (platform* p = current_platform())
    p->set_status_text(status_gadget::project, text && *text ? text : " ");
  return assoc_class::execute();
}
