#include "app/capture/capture_classes.h"

#include "app/capture/capture_3.h"
#include "app/capture/capture_as_txt_3.h"
#include "template/get_objs_3.h"

void register_capture_classes() {
  register_class<capture_3>("capture");
  register_class<capture_as_txt_3>("capture_as_txt");
}
