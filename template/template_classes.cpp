#include "template/template_classes.h"

#include "template/get_objs_3.h"
#include "template/tem_funda_3.h"

void register_template_classes() {
  register_class<tem_node_3>("tem_node");
  register_class<tem_multiple_names_3>("tem_multiple_names");
  register_class<tem_funda_3>("tem_funda");
  register_class<inp_tem_rec_3>("inp_tem_rec");
}
