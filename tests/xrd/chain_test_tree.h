#pragma once

// A small application tree for the tests of the Fourier chain, its displays,
// tails and measures: an "app" with loaded data files, each carrying its
// observed profile, the chain's options (with the change scripts the real
// template gives them), the display curves and their plot objects.

#include <cmath>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "../template/loaded_templates.h"
#include "core/paths.h"
#include "template/get_objs_3.h"
#include "template/tem_node_3.h"
#include "xrd/plot_view.h"
#include "xrd/xrd_classes.h"
#include "xrd/xy_yobs_4.h"

namespace chain_test {

inline const char* const templates =
    "start_templates\n"
    "{#app ;\n"
    "   app _tem_plate #app ;\n"
    "      invalidate_if_on ;\n"
    "      history_dlg ;\n"
    "      dAeletion_bin ;\n"
    "      mAanip_x ;\n"
    "      mAanip_y ;\n"
    "      cAapt ;\n"
    "      xdds ;\n"
    "         xAdd_recs ;\n"
    "            xdd ;\n"
    "               AxDdd_path_name _char* ;\n"
    "               AtBime _double _default 1 ;\n"
    "               xy_yobs ;\n"
    "               AfBft_recal _int _default 1 ;\n"
    "               AfBft_shift _int _default 1 ;\n"
    "               AfBft_do_inv _int _default 1 ;\n"
    "               AfBft_do_deconv _int _default 1 ;\n"
    "               AfBft_do_br _int _default 1 ;\n"
    "               AfBreq_doubler _int _min 0 _max 4 _default 0 _on_change j|fBft_recal|1 ;\n"
    "               AfBft_f2_lim _double _default -999 _on_change j|fBft_do_inv|1 ;\n"
    "               Afft_zero _double _default -999 _on_change j|fBft_shift|1 ;\n"
    "               AaBo_bkg _double _default 0 _on_change j|fBft_recal|1 ;\n"
    "               AaB1_bkg _double _default 0 _on_change j|fBft_recal|1 ;\n"
    "               AlBamda _double _default 0 _on_change j|fBft_shift|1 ;\n"
    "               Aref_prof _char* _on_change j|fBft_do_deconv|1|j|fBft_do_br|1 ;\n"
    "               Cxdds_tied_to _creator ptr_classes_4 ;\n"
    "               for_recalcs_ref _on_execution { j fBft_do_deconv 1 j fBft_do_br 1 } ;\n"
    "               ex_l_consts _tem_plate #ex_l_consts ;\n"
    "               ex_r_consts _tem_plate #ex_r_consts ;\n"
    "               xy_re ;\n"
    "               xy_im ;\n"
    "               xy_mod ;\n"
    "               xy_br_re ;\n"
    "               xy_br_im ;\n"
    "               xy_br_mod ;\n"
    "               xy_inv ;\n"
    "               xy_deconv ;\n"
    "               xy_y_for_bkg ;\n"
    "               xy_y_for_zero ;\n"
    "               xy_f2_lim ;\n"
    "               xy_ex_l ;\n"
    "               xy_ex_r ;\n"
    "               xy_l1 ;\n"
    "               xy_l2 ;\n"
    "               xy_r1 ;\n"
    "               xy_r2 ;\n"
    "               yobs ;\n"
    "               re ;\n"
    "               im ;\n"
    "               mod ;\n"
    "               br_re ;\n"
    "               br_im ;\n"
    "               br_mod ;\n"
    "               inv ;\n"
    "               deconv ;\n"
    "               y_for_bkg ;\n"
    "               y_for_zero ;\n"
    "               y_f2_lim ;\n"
    "               ex_l ;\n"
    "               ex_r ;\n"
    "               pl1 ;\n"
    "               pl2 ;\n"
    "               pr1 ;\n"
    "               pr2 ;\n"
    "}\n"
    "{#ex_l_consts ;\n"
    "   AeBxtr_a1 _double _default 0 _on_change j|dBo_ex_yc|1 ;\n"
    "   AeBxtr_a2 _double _default 0 _on_change j|dBo_ex_yc|1 ;\n"
    "   AeBxtr_a3 _double _default 0 _on_change j|dBo_ex_yc|1 ;\n"
    "   AeBxtr_a1_use _switch _default 0 _on_change j|dBo_ex_reg|1 ;\n"
    "   AeBxtr_a2_use _switch _default 0 _on_change j|dBo_ex_reg|1 ;\n"
    "   AeBxtr_a3_use _switch _default 0 _on_change j|dBo_ex_reg|1 ;\n"
    "   AnBpts_i1 _double _default 0 _on_change j|dBo_ex_reg|1 ;\n"
    "   AnBpts_i2 _double _default 20 _on_change j|dBo_ex_reg|1 ;\n"
    "   AdBo_ex_yc _int _default 1 ;\n"
    "   AdBo_ex_reg _int _default 0 ;\n"
    "}\n"
    "{#ex_r_consts ;\n"
    "   AeBxtr_a1 _double _default 0 _on_change j|dBo_ex_yc|1 ;\n"
    "   AeBxtr_a2 _double _default 0 _on_change j|dBo_ex_yc|1 ;\n"
    "   AeBxtr_a3 _double _default 0 _on_change j|dBo_ex_yc|1 ;\n"
    "   AeBxtr_a1_use _switch _default 0 _on_change j|dBo_ex_reg|1 ;\n"
    "   AeBxtr_a2_use _switch _default 0 _on_change j|dBo_ex_reg|1 ;\n"
    "   AeBxtr_a3_use _switch _default 0 _on_change j|dBo_ex_reg|1 ;\n"
    "   AnBpts_i1 _double _default -1 _on_change j|dBo_ex_reg|1 ;\n"
    "   AnBpts_i2 _double _default -1 _on_change j|dBo_ex_reg|1 ;\n"
    "   AdBo_ex_yc _int _default 1 ;\n"
    "   AdBo_ex_reg _int _default 0 ;\n"
    "}\n"
    "{#not_in_tem ;\n"
    "   pRath_name ;\n"
    "}\n"
    "end_templates\n";

inline const char* const outside =
    "start_out_side_recs {\n"
    "   {\"app_name\" {\"chain test\"}}\n"
    "   {\"win_misc\"\n"
    "      {^\"plot_type_opts\"\n"
    "         {\"yobs\" {\"_no_manip_x _not_for_xy_report\"}}\n"
    "         {\"y_for_zero\" {\"_no_capt\"} {\"_no_manip_y\"} {\"_something_else\"}}\n"
    "      }\n"
    "      {^\"on_change_of_plot_obj\"\n"
    "         {\"yobs\" {\"j fBft_recal 1\"}}\n"
    "      }\n"
    "   }\n"
    "}\n";

// The shell objects the chain reaches by name, as the tests see them.
struct views_stand_in : assoc_class {
  const char* class_name() const override { return "invalidate_if_on"; }
  assoc_class* execute_with(assoc_class* file) override {
    redrawn.push_back(file);
    return this;
  }
  std::vector<assoc_class*> redrawn;
};

struct history_stand_in : assoc_class {
  const char* class_name() const override { return "history_dlg"; }
  assoc_class* set_text(const char* text) override {
    lines.emplace_back(text ? text : "");
    return this;
  }
  std::vector<std::string> lines;
};

struct recalc_stand_in : assoc_class {
  const char* class_name() const override { return "for_recalcs_ref"; }
  assoc_class* execute() override {
    ++executions;
    return assoc_class::execute();
  }
  int executions = 0;
};

struct plain_stand_in : assoc_class {
  const char* class_name() const override { return "xdds"; }
};

inline void register_stand_ins() {
  register_xrd_classes();
  static creator_3<views_stand_in> views("invalidate_if_on");
  static creator_3<history_stand_in> history("history_dlg");
  static creator_3<recalc_stand_in> recalc("for_recalcs_ref");
  static creator_3<plain_stand_in> xdds("xdds");
  for (B_creator_3* c : std::initializer_list<B_creator_3*>{&views, &history, &recalc, &xdds})
    if (!class_registry().knows(c->class_name())) register_creator(*c);
}

// A graph view as the plots see it, recording what they ask of it.
struct fake_view : plot_view {
  std::uint32_t bits = 0;
  double xl = -1e30, xr = 1e30, yb = 0.0, yt = 100.0;
  int redraws = 0;
  std::uint32_t show_bits() const override { return bits; }
  double x_left() const override { return xl; }
  double x_right() const override { return xr; }
  double y_bottom() const override { return yb; }
  double y_top() const override { return yt; }
  void redraw() override { ++redraws; }
};

struct fake_surface : plot_surface {
  struct line {
    std::vector<double> x, y;
  };
  void polyline(const double* x, const double* y, int n) override {
    lines.push_back({std::vector<double>(x, x + n), std::vector<double>(y, y + n)});
  }
  void segment(double x1, double y1, double x2, double y2) override { segments.push_back({x1, y1, x2, y2}); }
  std::vector<line> lines;
  std::vector<std::vector<double>> segments;
};

struct app_node : assoc_class {
  const char* class_name() const override { return "app"; }
};

// The tree: app, the loaded files under "xdds" / "xAdd_recs".
class tree {
 public:
  explicit tree(const char* template_text = templates, const char* outside_text = outside)
      : t_(template_text, outside_text) {
    register_stand_ins();
    auto a = std::make_unique<app_node>();
    a->set_tem(template_tree().top_level("#app")->find_child("app"));
    app = root_.add_child(std::move(a));
    files = find(*app, "xAdd_recs");
    global_error_message().assign("");
  }

  // A loaded file with the given path and profile y(x) on [x1, x1 + (n-1) xd].
  template <class F>
  assoc_class* add_file(const char* path, double x1, double xd, int n, F y) {
    assoc_class* file = files->create_child_by_name("xdd");
    find(*file, "xDdd_path_name")->set_text(path);
    xy_yobs_4* p = yobs(file);
    p->y.allocate(n);
    p->y.rebase(0);
    for (int i = 0; i < n; ++i) p->y[i] = static_cast<float>(y(x1 + i * xd));
    p->set_first_step_count(x1, xd, n);
    p->profile_changed();
    return file;
  }

  static xy_yobs_4* yobs(assoc_class* file) { return dynamic_cast<xy_yobs_4*>(find(*file, "xy_yobs")); }
  static assoc_class* option(assoc_class* file, const char* name) { return find(*file, name); }
  template <class T>
  static T* node(assoc_class* file, const char* name) {
    return dynamic_cast<T*>(find(*file, name));
  }
  views_stand_in* views() { return dynamic_cast<views_stand_in*>(find(*app, "invalidate_if_on")); }
  history_stand_in* history() { return dynamic_cast<history_stand_in*>(find(*app, "history_dlg")); }

  assoc_class* app = nullptr;
  assoc_class* files = nullptr;

 private:
  loaded_templates t_;
  top_3 root_;
};

inline double gaussian(double x, double centre, double sigma) {
  const double u = (x - centre) / sigma;
  return std::exp(-0.5 * u * u);
}

}  // namespace chain_test
