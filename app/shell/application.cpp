#include "app/shell/application.h"

#include "app/capture/capture_classes.h"
#include "app/dialogs/dialog_classes.h"
#include "app/project/project_classes.h"
#include "app/report/report_classes.h"
#include "app/shell/shell_classes.h"
#include "app/text/text_classes.h"
#include "app/views/view_classes.h"
#include "xrd/xrd_classes.h"

void register_all_classes() {
  register_xrd_classes();
  register_dialog_classes();
  register_shell_classes();
  register_project_classes();
  register_view_classes();
  register_capture_classes();
  register_report_classes();
  register_text_classes();
}
