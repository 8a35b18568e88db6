#include "template/template_classes.h"

#include "template/get_objs_3.h"
#include "template/tem_funda_3.h"

using tem_node_3_creator = creator_3<tem_node_3>;
using tem_multiple_names_3_creator = creator_3<tem_multiple_names_3>;
using tem_funda_3_creator = creator_3<tem_funda_3>;
using inp_tem_rec_3_creator = creator_3<inp_tem_rec_3>;

void register_template_classes() {
  static tem_node_3_creator tem_node("tem_node");
  static tem_multiple_names_3_creator tem_multiple_names("tem_multiple_names");
  static tem_funda_3_creator tem_funda("tem_funda");
  static inp_tem_rec_3_creator inp_tem_rec("inp_tem_rec");
  for (B_creator_3* c : {static_cast<B_creator_3*>(&tem_node), static_cast<B_creator_3*>(&tem_multiple_names),
                         static_cast<B_creator_3*>(&tem_funda), static_cast<B_creator_3*>(&inp_tem_rec)})
    register_creator(*c);
}
