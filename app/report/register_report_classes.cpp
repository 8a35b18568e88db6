#include "app/report/report_classes.h"

#include "app/report/inp_edit_return_pressed_3.h"
#include "app/report/input_vw_3.h"
#include "template/get_objs_3.h"

void register_report_classes() {
  register_class<input_vw_3>("input_vw");
  register_class<inp_edit_return_pressed_3>("inp_edit_return_pressed");
  register_class<inp_hide_3>("inp_hide");
}
