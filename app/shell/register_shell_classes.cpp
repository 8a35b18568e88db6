#include "app/files/do_unload_3.h"
#include "app/shell/dis_proj_name_3.h"
#include "app/shell/for_app_3.h"
#include "app/shell/hint_text_3.h"
#include "app/shell/new_view_3.h"
#include "app/files/ok_to_load_more_3.h"
#include "app/shell/shell_classes.h"
#include "app/shell/shell_nodes.h"
#include "app/shell/view_commands.h"
#include "app/shell/view_for_each_file_3.h"
#include "app/files/save_xdd_as_3.h"
#include "app/files/xdd_loaded_3.h"
#include "app/files/xdd_changed_3.h"
#include "app/files/xrd_open_dlg_3.h"
#include "template/get_objs_3.h"

void register_shell_classes() {
  register_class<for_app_3>("app");
  register_class<xdds_3>("xdds");
  register_class<client_win_3>("client_win");
  register_class<ok_to_load_more_3>("ok_to_load_more");
  register_class<xdd_loaded_3>("xdd_loaded");
  register_class<do_unload_3>("do_unload");
  register_class<dis_proj_name_3>("dis_proj_name");
  register_class<hint_text_3>("hint_text");
  register_class<xrd_open_dlg_3>("xrd_open_dlg");
  register_class<save_xdd_as_3>("save_xdd_as");
  register_class<xdd_changed_3>("xdd_changed");
  register_class<new_view_3>("new_view");
  register_class<view_for_each_file_3>("view_for_each_file");
  install_view_commands();
}
