#include "app/report/inp_edit_return_pressed_3.h"

#include "app/report/input_vw_3.h"

assoc_class* inp_edit_return_pressed_3::execute() {
  if (auto* editor = dynamic_cast<input_vw_3*>(parent())) editor->apply_edit();
  return assoc_class::execute();
}

assoc_class* inp_hide_3::execute() {
  if (auto* editor = dynamic_cast<input_vw_3*>(parent())) editor->hide_selected_lines();
  return assoc_class::execute();
}
