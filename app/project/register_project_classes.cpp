#include "app/project/app_closing_to_proj_3.h"
#include "app/project/proj_check_no_xdd_3.h"
#include "app/project/proj_open_3.h"
#include "app/project/proj_save_3.h"
#include "app/project/project_classes.h"
#include "app/project/set_proj_dirty_3.h"
#include "template/get_objs_3.h"

void register_project_classes() {
  register_class<proj_save_3>("proj_save");
  register_class<proj_open_3>("proj_open");
  register_class<app_closing_to_proj_3>("app_closing_to_proj");
  register_class<proj_check_no_xdd_3>("proj_check_no_xdd");
  register_class<set_proj_dirty_3>("set_proj_dirty");
}
