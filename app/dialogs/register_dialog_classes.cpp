#include "app/dialogs/dialog_classes.h"
#include "app/dialogs/axes_dlg_3.h"
#include "app/dialogs/history_dlg_3.h"
#include "app/dialogs/hlp_dlg_3.h"
#include "app/dialogs/ok_message_3.h"
#include "app/dialogs/open_save_3.h"
#include "app/dialogs/opts_a_3.h"
#include "app/dialogs/yes_no_dlg_3.h"
#include "template/get_objs_3.h"

void register_dialog_classes() {
  register_class<opts_a_3>("opts_a");
  register_class<history_dlg_3>("history_dlg");
  register_class<hlp_dlg_3>("hlp_dlg");
  register_class<yes_no_dlg_3>("yes_no_dlg");
  register_class<ok_message_3>("ok_message");
  register_class<open_save_3>("open_save");
  register_class<axes_dlg_3>("axes_dlg");
}
