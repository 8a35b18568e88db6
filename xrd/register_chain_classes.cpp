#include <initializer_list>

#include "numerics/fit_9.h"
#include "numerics/linear_regression_3.h"
#include "template/get_objs_3.h"
#include "xrd/br_im_3.h"
#include "xrd/br_mod_3.h"
#include "xrd/br_re_3.h"
#include "xrd/deconv_3.h"
#include "xrd/ex_l_3.h"
#include "xrd/ex_l_consts_3.h"
#include "xrd/ex_r_3.h"
#include "xrd/ex_r_consts_3.h"
#include "xrd/fft_zero_3.h"
#include "xrd/im_3.h"
#include "xrd/inv_3.h"
#include "xrd/left_right_pressed_3.h"
#include "xrd/mod_3.h"
#include "xrd/pl1_3.h"
#include "xrd/pl2_3.h"
#include "xrd/pr1_3.h"
#include "xrd/pr2_3.h"
#include "xrd/re_3.h"
#include "xrd/ref_prof_3.h"
#include "xrd/temp_line_3.h"
#include "xrd/xrd_classes.h"
#include "xrd/xy_br_im_3.h"
#include "xrd/xy_br_mod_3.h"
#include "xrd/xy_br_re_3.h"
#include "xrd/xy_deconv_3.h"
#include "xrd/xy_ex_l_3.h"
#include "xrd/xy_ex_r_3.h"
#include "xrd/xy_f2_lim_3.h"
#include "xrd/xy_im_3.h"
#include "xrd/xy_inv_3.h"
#include "xrd/xy_l1_3.h"
#include "xrd/xy_l2_3.h"
#include "xrd/xy_mod_3.h"
#include "xrd/xy_r1_3.h"
#include "xrd/xy_r2_3.h"
#include "xrd/xy_re_3.h"
#include "xrd/xy_y_for_bkg_3.h"
#include "xrd/xy_y_for_zero_3.h"
#include "xrd/xy_yobs_4.h"
#include "xrd/y_f2_lim_3.h"
#include "xrd/y_for_bkg_3.h"
#include "xrd/y_for_zero_3.h"
#include "xrd/yobs_3.h"

using xy_l1_3_creator = creator_3<xy_l1_3>;
using pl1_3_creator = creator_3<pl1_3>;
using xy_l2_3_creator = creator_3<xy_l2_3>;
using pl2_3_creator = creator_3<pl2_3>;
using xy_r1_3_creator = creator_3<xy_r1_3>;
using pr1_3_creator = creator_3<pr1_3>;
using xy_r2_3_creator = creator_3<xy_r2_3>;
using pr2_3_creator = creator_3<pr2_3>;
using xy_ex_l_3_creator = creator_3<xy_ex_l_3>;
using ex_l_3_creator = creator_3<ex_l_3>;
using xy_ex_r_3_creator = creator_3<xy_ex_r_3>;
using ex_r_3_creator = creator_3<ex_r_3>;
using left_right_pressed_3_creator = creator_3<left_right_pressed_3>;
using temp_line_3_creator = creator_3<temp_line_3>;
using ex_l_consts_3_creator = creator_3<ex_l_consts_3>;
using ex_r_consts_3_creator = creator_3<ex_r_consts_3>;
using xy_yobs_4_creator = creator_3<xy_yobs_4>;
using fft_zero_3_creator = creator_3<fft_zero_3>;
using yobs_3_creator = creator_3<yobs_3>;
using xy_y_for_bkg_3_creator = creator_3<xy_y_for_bkg_3>;
using y_for_bkg_3_creator = creator_3<y_for_bkg_3>;
using xy_re_3_creator = creator_3<xy_re_3>;
using re_3_creator = creator_3<re_3>;
using xy_im_3_creator = creator_3<xy_im_3>;
using im_3_creator = creator_3<im_3>;
using xy_mod_3_creator = creator_3<xy_mod_3>;
using mod_3_creator = creator_3<mod_3>;
using xy_y_for_zero_3_creator = creator_3<xy_y_for_zero_3>;
using y_for_zero_3_creator = creator_3<y_for_zero_3>;
using xy_inv_3_creator = creator_3<xy_inv_3>;
using inv_3_creator = creator_3<inv_3>;
using xy_f2_lim_3_creator = creator_3<xy_f2_lim_3>;
using y_f2_lim_3_creator = creator_3<y_f2_lim_3>;
using ref_prof_3_creator = creator_3<ref_prof_3>;
using xy_deconv_3_creator = creator_3<xy_deconv_3>;
using deconv_3_creator = creator_3<deconv_3>;
using xy_br_re_3_creator = creator_3<xy_br_re_3>;
using br_re_3_creator = creator_3<br_re_3>;
using xy_br_im_3_creator = creator_3<xy_br_im_3>;
using br_im_3_creator = creator_3<br_im_3>;
using xy_br_mod_3_creator = creator_3<xy_br_mod_3>;
using br_mod_3_creator = creator_3<br_mod_3>;
using fit_9_creator = creator_3<fit_9>;
using linear_regression_3_creator = creator_3<linear_regression_3>;

void register_chain_classes() {
  static xy_l1_3_creator c_xy_l1("xy_l1");
  static pl1_3_creator c_pl1("pl1");
  static xy_l2_3_creator c_xy_l2("xy_l2");
  static pl2_3_creator c_pl2("pl2");
  static xy_r1_3_creator c_xy_r1("xy_r1");
  static pr1_3_creator c_pr1("pr1");
  static xy_r2_3_creator c_xy_r2("xy_r2");
  static pr2_3_creator c_pr2("pr2");
  static xy_ex_l_3_creator c_xy_ex_l("xy_ex_l");
  static ex_l_3_creator c_ex_l("ex_l");
  static xy_ex_r_3_creator c_xy_ex_r("xy_ex_r");
  static ex_r_3_creator c_ex_r("ex_r");
  static left_right_pressed_3_creator c_left_right_pressed("left_right_pressed");
  static temp_line_3_creator c_temp_line("temp_line");
  static ex_l_consts_3_creator c_ex_l_consts("ex_l_consts");
  static ex_r_consts_3_creator c_ex_r_consts("ex_r_consts");
  static xy_yobs_4_creator c_xy_yobs("xy_yobs");
  static fft_zero_3_creator c_fft_zero("fft_zero");
  static yobs_3_creator c_yobs("yobs");
  static xy_y_for_bkg_3_creator c_xy_y_for_bkg("xy_y_for_bkg");
  static y_for_bkg_3_creator c_y_for_bkg("y_for_bkg");
  static xy_re_3_creator c_xy_re("xy_re");
  static re_3_creator c_re("re");
  static xy_im_3_creator c_xy_im("xy_im");
  static im_3_creator c_im("im");
  static xy_mod_3_creator c_xy_mod("xy_mod");
  static mod_3_creator c_mod("mod");
  static xy_y_for_zero_3_creator c_xy_y_for_zero("xy_y_for_zero");
  static y_for_zero_3_creator c_y_for_zero("y_for_zero");
  static xy_inv_3_creator c_xy_inv("xy_inv");
  static inv_3_creator c_inv("inv");
  static xy_f2_lim_3_creator c_xy_f2_lim("xy_f2_lim");
  static y_f2_lim_3_creator c_y_f2_lim("y_f2_lim");
  static ref_prof_3_creator c_ref_prof("ref_prof");
  static xy_deconv_3_creator c_xy_deconv("xy_deconv");
  static deconv_3_creator c_deconv("deconv");
  static xy_br_re_3_creator c_xy_br_re("xy_br_re");
  static br_re_3_creator c_br_re("br_re");
  static xy_br_im_3_creator c_xy_br_im("xy_br_im");
  static br_im_3_creator c_br_im("br_im");
  static xy_br_mod_3_creator c_xy_br_mod("xy_br_mod");
  static br_mod_3_creator c_br_mod("br_mod");
  static fit_9_creator c_fit("fit");
  static linear_regression_3_creator c_lin_reg("lin_reg");
  for (B_creator_3* c : std::initializer_list<B_creator_3*>{&c_xy_l1,
                                                            &c_pl1,
                                                            &c_xy_l2,
                                                            &c_pl2,
                                                            &c_xy_r1,
                                                            &c_pr1,
                                                            &c_xy_r2,
                                                            &c_pr2,
                                                            &c_xy_ex_l,
                                                            &c_ex_l,
                                                            &c_xy_ex_r,
                                                            &c_ex_r,
                                                            &c_left_right_pressed,
                                                            &c_temp_line,
                                                            &c_ex_l_consts,
                                                            &c_ex_r_consts,
                                                            &c_xy_yobs,
                                                            &c_fft_zero,
                                                            &c_yobs,
                                                            &c_xy_y_for_bkg,
                                                            &c_y_for_bkg,
                                                            &c_xy_re,
                                                            &c_re,
                                                            &c_xy_im,
                                                            &c_im,
                                                            &c_xy_mod,
                                                            &c_mod,
                                                            &c_xy_y_for_zero,
                                                            &c_y_for_zero,
                                                            &c_xy_inv,
                                                            &c_inv,
                                                            &c_xy_f2_lim,
                                                            &c_y_f2_lim,
                                                            &c_ref_prof,
                                                            &c_xy_deconv,
                                                            &c_deconv,
                                                            &c_xy_br_re,
                                                            &c_br_re,
                                                            &c_xy_br_im,
                                                            &c_br_im,
                                                            &c_xy_br_mod,
                                                            &c_br_mod,
                                                            &c_fit,
                                                            &c_lin_reg})
    register_creator(*c);
}
