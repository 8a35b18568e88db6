#include "numerics/fit_9.h"
#include "numerics/linear_regression_3.h"
#include "template/get_objs_3.h"
#include "xrd/plots/br_im_3.h"
#include "xrd/plots/button_pressed_3.h"
#include "xrd/plots/br_mod_3.h"
#include "xrd/plots/al_3.h"
#include "xrd/plots/br_re_3.h"
#include "xrd/plots/deconv_3.h"
#include "xrd/tails/ex_l_3.h"
#include "xrd/tails/ex_l_consts_3.h"
#include "xrd/tails/ex_r_3.h"
#include "xrd/tails/ex_r_consts_3.h"
#include "xrd/chain/fft_zero_3.h"
#include "xrd/chain/option_limits.h"
#include "xrd/plots/im_3.h"
#include "xrd/plots/inv_3.h"
#include "xrd/measures/left_right_pressed_3.h"
#include "xrd/plots/mod_3.h"
#include "xrd/tails/pl1_3.h"
#include "xrd/tails/pl2_3.h"
#include "xrd/tails/pr1_3.h"
#include "xrd/tails/pr2_3.h"
#include "xrd/plots/re_3.h"
#include "xrd/chain/ref_prof_3.h"
#include "xrd/measures/temp_line_3.h"
#include "xrd/xrd_classes.h"
#include "xrd/curves/xy_br_im_3.h"
#include "xrd/curves/xy_br_mod_3.h"
#include "xrd/curves/xy_al_3.h"
#include "xrd/curves/xy_br_re_3.h"
#include "xrd/curves/xy_deconv_3.h"
#include "xrd/curves/xy_ex_l_3.h"
#include "xrd/curves/xy_ex_r_3.h"
#include "xrd/curves/xy_f2_lim_3.h"
#include "xrd/curves/xy_im_3.h"
#include "xrd/curves/xy_inv_3.h"
#include "xrd/curves/xy_l1_3.h"
#include "xrd/curves/xy_l2_3.h"
#include "xrd/curves/xy_mod_3.h"
#include "xrd/curves/xy_r1_3.h"
#include "xrd/curves/xy_r2_3.h"
#include "xrd/curves/xy_re_3.h"
#include "xrd/curves/xy_y_for_bkg_3.h"
#include "xrd/curves/xy_y_for_zero_3.h"
#include "xrd/chain/xy_yobs_4.h"
#include "xrd/plots/y_f2_lim_3.h"
#include "xrd/plots/y_for_bkg_3.h"
#include "xrd/plots/y_for_zero_3.h"
#include "xrd/plots/yobs_3.h"

void register_chain_classes() {
  install_option_limits();
  register_class<xy_l1_3>("xy_l1");
  register_class<pl1_3>("pl1");
  register_class<xy_l2_3>("xy_l2");
  register_class<pl2_3>("pl2");
  register_class<xy_r1_3>("xy_r1");
  register_class<pr1_3>("pr1");
  register_class<xy_r2_3>("xy_r2");
  register_class<pr2_3>("pr2");
  register_class<xy_ex_l_3>("xy_ex_l");
  register_class<ex_l_3>("ex_l");
  register_class<xy_ex_r_3>("xy_ex_r");
  register_class<ex_r_3>("ex_r");
  register_class<left_right_pressed_3>("left_right_pressed");
  register_class<temp_line_3>("temp_line");
  register_class<button_pressed_3>("but_pr");
  register_class<ex_l_consts_3>("ex_l_consts");
  register_class<ex_r_consts_3>("ex_r_consts");
  register_class<xy_yobs_4>("xy_yobs");
  register_class<fft_zero_3>("fft_zero");
  register_class<yobs_3>("yobs");
  register_class<xy_y_for_bkg_3>("xy_y_for_bkg");
  register_class<y_for_bkg_3>("y_for_bkg");
  register_class<xy_re_3>("xy_re");
  register_class<re_3>("re");
  register_class<xy_im_3>("xy_im");
  register_class<im_3>("im");
  register_class<xy_mod_3>("xy_mod");
  register_class<mod_3>("mod");
  register_class<xy_y_for_zero_3>("xy_y_for_zero");
  register_class<y_for_zero_3>("y_for_zero");
  register_class<xy_inv_3>("xy_inv");
  register_class<inv_3>("inv");
  register_class<xy_f2_lim_3>("xy_f2_lim");
  register_class<y_f2_lim_3>("y_f2_lim");
  register_class<ref_prof_3>("ref_prof");
  register_class<xy_deconv_3>("xy_deconv");
  register_class<deconv_3>("deconv");
  register_class<xy_br_re_3>("xy_br_re");
  register_class<br_re_3>("br_re");
  register_class<xy_al_3>("xy_al");
  register_class<al_3>("al");
  register_class<xy_br_im_3>("xy_br_im");
  register_class<br_im_3>("br_im");
  register_class<xy_br_mod_3>("xy_br_mod");
  register_class<br_mod_3>("br_mod");
  register_class<fit_9>("fit");
  register_class<linear_regression_3>("lin_reg");
}
