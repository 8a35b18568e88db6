#include "template/get_objs_3.h"
#include "xrd/files/load_brml_3.h"
#include "xrd/files/load_cpi_3.h"
#include "xrd/files/load_gsas_3.h"
#include "xrd/files/load_ras_3.h"
#include "xrd/files/load_rasx_3.h"
#include "xrd/files/load_raw_3.h"
#include "xrd/files/load_xdd_3.h"
#include "xrd/files/load_xrdml_3.h"
#include "xrd/files/load_xy_3.h"
#include "xrd/chain/ptr_class_4.h"
#include "xrd/chain/ptr_classes_4.h"
#include "xrd/files/xdd_10.h"
#include "xrd/files/xdd_data_3.h"
#include "xrd/xrd_classes.h"
#include "xrd/curves/xy_data_3.h"

void register_data_file_classes() {
  register_class<xdd_10>("xdd");
  register_class<xdd_data_3>("xdd_data");
  register_class<load_xdd_3>("load_xdd");
  register_class<load_cpi_3>("load_cpi");
  register_class<load_xy_3>("load_xy");
  register_class<load_xrdml_3>("load_xrdml");
  register_class<load_ras_3>("load_ras");
  register_class<load_brml_3>("load_brml");
  register_class<load_rasx_3>("load_rasx");
  register_class<load_gsas_3>("load_gsas");
  register_class<load_raw_3>("load_raw");
  register_class<xobs_3>("xPobs");
  register_class<ptr_class_4>("ptr_class_4");
  register_class<ptr_classes_4>("ptr_classes_4");
}
