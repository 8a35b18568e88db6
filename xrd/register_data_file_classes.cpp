#include "template/get_objs_3.h"
#include "xrd/load_cpi_3.h"
#include "xrd/load_xdd_3.h"
#include "xrd/ptr_class_4.h"
#include "xrd/ptr_classes_4.h"
#include "xrd/xdd_10.h"
#include "xrd/xdd_data_3.h"
#include "xrd/xrd_classes.h"
#include "xrd/xy_data_3.h"

using xdd_10_creator = creator_3<xdd_10>;
using xdd_data_3_creator = creator_3<xdd_data_3>;
using load_xdd_3_creator = creator_3<load_xdd_3>;
using load_cpi_3_creator = creator_3<load_cpi_3>;
using xobs_3_creator = creator_3<xobs_3>;
using ptr_class_4_creator = creator_3<ptr_class_4>;
using ptr_classes_4_creator = creator_3<ptr_classes_4>;

void register_data_file_classes() {
  static xdd_10_creator xdd("xdd");
  static xdd_data_3_creator xdd_data("xdd_data");
  static load_xdd_3_creator load_xdd("load_xdd");
  static load_cpi_3_creator load_cpi("load_cpi");
  static xobs_3_creator xobs("xPobs");
  static ptr_class_4_creator ptr_class("ptr_class_4");
  static ptr_classes_4_creator ptr_classes("ptr_classes_4");
  for (B_creator_3* c : {static_cast<B_creator_3*>(&xdd), static_cast<B_creator_3*>(&xdd_data),
                         static_cast<B_creator_3*>(&load_xdd), static_cast<B_creator_3*>(&load_cpi),
                         static_cast<B_creator_3*>(&xobs), static_cast<B_creator_3*>(&ptr_class),
                         static_cast<B_creator_3*>(&ptr_classes)})
    register_creator(*c);
}
