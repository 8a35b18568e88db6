#pragma once

// A small application tree for the tests of the Fourier chain, its displays,
// tails and measures: an "app" with loaded data files, each carrying its
// observed profile, the chain's options (with the change scripts the real
// template gives them), the display curves and their plot objects.

#include <cmath>
#include <cstdint>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "../template/loaded_templates.h"
#include "core/paths.h"
#include "template/get_objs_3.h"
#include "template/tem_node_3.h"
#include "xrd/plots/plot_view.h"
#include "xrd/xrd_classes.h"
#include "xrd/chain/xy_yobs_4.h"

namespace chain_test {

// One template line per word, at the given depth, each with the attributes.
inline std::string template_lines(int depth, const std::string& words, const std::string& attributes = "") {
  std::istringstream in(words);
  std::string out;
  for (std::string w; in >> w;) out += std::string(3 * depth, ' ') + w + attributes + " ;\n";
  return out;
}

// The options of one tail; its fit range is i1 .. i2 by default.
inline std::string tail_template(const char* name, const char* i1, const char* i2) {
  return std::string("{") + name + " ;\n" +
         template_lines(1, "AeBxtr_a1 AeBxtr_a2 AeBxtr_a3", " _double _default 0 _on_change j|dBo_ex_yc|1") +
         template_lines(1, "AeBxtr_a1_use AeBxtr_a2_use AeBxtr_a3_use",
                        " _switch _default 0 _on_change j|dBo_ex_reg|1") +
         template_lines(1, "AnBpts_i1", std::string(" _double _default ") + i1 + " _on_change j|dBo_ex_reg|1") +
         template_lines(1, "AnBpts_i2", std::string(" _double _default ") + i2 + " _on_change j|dBo_ex_reg|1") +
         template_lines(1, "AdBo_ex_yc", " _int _default 1") + template_lines(1, "AdBo_ex_reg", " _int _default 0") +
         "}\n";
}

inline const std::string templates =
    "start_templates\n{#app ;\n   app _tem_plate #app ;\n" +
    template_lines(2, "invalidate_if_on history_dlg dAeletion_bin mAanip_x mAanip_y cAapt xdds") +
    template_lines(3, "xAdd_recs") + template_lines(4, "xdd") + template_lines(5, "AxDdd_path_name", " _char*") +
    template_lines(5, "AtBime", " _double _default 1") + template_lines(5, "xy_yobs") +
    template_lines(5, "AfBft_recal AfBft_shift AfBft_do_inv AfBft_do_deconv AfBft_do_br", " _int _default 1") +
    template_lines(5, "AfBreq_doubler", " _int _min 0 _max 4 _default 0 _on_change j|fBft_recal|1") +
    template_lines(5, "AfBft_f2_lim", " _double _default -999 _on_change j|fBft_do_inv|1") +
    template_lines(5, "AfBft_wiener", " _double _default 0 _on_change j|fBft_do_deconv|1") +
    template_lines(5, "Afft_zero", " _double _default -999 _on_change j|fBft_shift|1") +
    template_lines(5, "AaBo_bkg AaB1_bkg", " _double _default 0 _on_change j|fBft_recal|1") +
    template_lines(5, "AlBamda", " _double _default 0 _on_change j|fBft_shift|1") +
    template_lines(5, "Aref_prof", " _char* _on_change j|fBft_do_deconv|1|j|fBft_do_br|1") +
    template_lines(5, "Cxdds_tied_to", " _creator ptr_classes_4") +
    template_lines(5, "for_recalcs_ref", " _on_execution { j fBft_do_deconv 1 j fBft_do_br 1 }") +
    template_lines(5, "ex_l_consts", " _tem_plate #ex_l_consts") +
    template_lines(5, "ex_r_consts", " _tem_plate #ex_r_consts") +
    template_lines(5,
                   "xy_re xy_im xy_mod xy_br_re xy_br_im xy_br_mod xy_inv xy_deconv xy_y_for_bkg xy_y_for_zero "
                   "xy_f2_lim xy_ex_l xy_ex_r xy_l1 xy_l2 xy_r1 xy_r2 yobs re im mod br_re br_im br_mod inv deconv "
                   "y_for_bkg y_for_zero y_f2_lim ex_l ex_r pl1 pl2 pr1 pr2") +
    "}\n" + tail_template("#ex_l_consts", "0", "20") + tail_template("#ex_r_consts", "-1", "-1") +
    "{#not_in_tem ;\n   pRath_name ;\n}\nend_templates\n";

inline const char* const outside =
    "start_out_side_recs {\n"
    "   {\"app_name\" {\"chain test\"}}\n"
    "   {\"win_misc\"\n"
    "      {^\"plot_type_opts\"\n"
    "         {\"yobs\" {\"_no_manip_x _not_for_xy_report\"}}\n"
    "         {\"y_for_zero\" {\"_no_capt\"} {\"_no_manip_y\"} {\"_something_else\"}}\n"
    "      }\n"
    "      {^\"on_change_of_plot_obj\" {\"yobs\" {\"j fBft_recal 1\"}}}\n"
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
  void polyline(const double*, const double* y, int n) override { lines.emplace_back(y, y + n); }
  void segment(double x1, double y1, double x2, double y2) override { segments.push_back({x1, y1, x2, y2}); }
  std::vector<std::vector<double>> lines;  // the ordinates of each polyline
  std::vector<std::vector<double>> segments;
};

struct app_node : assoc_class {
  const char* class_name() const override { return "app"; }
};

// The tree: app, the loaded files under "xdds" / "xAdd_recs".
class tree {
 public:
  tree() : t_(templates, outside) {
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
  return std::exp(-0.5 * std::pow((x - centre) / sigma, 2));
}

}  // namespace chain_test
