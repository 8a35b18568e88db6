#include "app/views/view_classes.h"

#include "app/views/colors_3.h"
#include "app/views/color_3.h"
#include "app/views/ctl_bar_9.h"
#include "app/views/dis_button_3.h"
#include "app/views/dis_buttons_3.h"
#include "app/views/drvw_bit_map_3.h"
#include "app/views/drvw_lam_cursor_3.h"
#include "app/views/file_button_on_off.h"
#include "app/views/for_dr_vw_3.h"
#include "app/views/invalidate_if_on_3.h"
#include "app/views/new_xdd_for_vws_3.h"
#include "app/views/set_cursors_3.h"
#include "app/views/set_vw_title_3.h"
#include "app/views/view_line_9.h"
#include "app/views/view_recs_9.h"
#include "app/views/vw_with_focus_3.h"
#include "template/get_objs_3.h"

void register_view_classes() {
  register_class<for_dr_vw_3>("drvw");
  register_class<view_recs_9>("view_recs");
  register_class<view_line_9>("view_line");
  register_class<vw_with_focus_3>("vw_with_focus");
  register_class<ctl_bar_9>("controlbar");
  register_class<colors_3>("colors");
  register_class<color_3>("color");
  register_class<file_button_on_off>("fbutonoff");
  register_class<dis_buttons_3>("dis_buttons");
  register_class<dis_button_3>("dis_button");
  register_class<invalidate_if_on_3>("invalidate_if_on");
  register_class<new_xdd_for_vws_3>("new_xdd_for_vws");
  register_class<set_vw_title_3>("set_vw_title");
  register_class<set_cursors_3>("set_cursors");
  register_class<drvw_bit_map_3>("drvw_bit_map");
  register_class<drvw_lam_cursor_3>("drvw_lam_cursor");
}
