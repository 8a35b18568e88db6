#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

#include "../chain_test_tree.h"
#include "xrd/plots/plot_xy_3.h"

namespace {

using namespace chain_test;

struct stages {
  int transform, shift, inverse, quotient, deconvolution;
  bool operator==(const stages&) const = default;
};
std::ostream& operator<<(std::ostream& os, const stages& s) {
  return os << "{transform " << s.transform << ", shift " << s.shift << ", inverse " << s.inverse << ", quotient "
            << s.quotient << ", deconvolution " << s.deconvolution << "}";
}
stages runs_of(const xy_yobs_4& p) {
  return {p.runs.transform, p.runs.shift, p.runs.inverse, p.runs.quotient, p.runs.deconvolution};
}
stages operator-(const stages& a, const stages& b) {
  return {a.transform - b.transform, a.shift - b.shift, a.inverse - b.inverse, a.quotient - b.quotient,
          a.deconvolution - b.deconvolution};
}

// Two files, the first divided by the second, and a third that could be the
// reference instead; every result of the first requested once.
class Chain : public ::testing::Test {
 protected:
  Chain() {
    a = t.add_file("/d/a.xdd", 20.0, 0.02, 200, [](double x) { return 2.0 + 100 * gaussian(x, 22.0, 0.1); });
    b = t.add_file("/d/b.xdd", 20.0, 0.02, 200, [](double x) { return 1.0 + 100 * gaussian(x, 22.0, 0.06); });
    c = t.add_file("/d/c.xdd", 20.0, 0.02, 200, [](double x) { return 1.0 + 100 * gaussian(x, 22.0, 0.05); });
    EXPECT_EQ(tree::option(a, "ref_prof")->set_text_with_limits("/d/b.xdd"), 0);
    request_all();
  }
  void request_all() {
    ASSERT_TRUE(tree::yobs(a)->run_deconvolution());
    ASSERT_TRUE(tree::yobs(a)->run_inverse());
  }
  tree t;
  assoc_class* a = nullptr;
  assoc_class* b = nullptr;
  assoc_class* c = nullptr;
};

TEST_F(Chain, RunsEveryStageOnceAndThenNothingUntilSomethingChanges) {
  EXPECT_EQ(runs_of(*tree::yobs(a)), (stages{1, 1, 1, 1, 1}));
  EXPECT_EQ(tree::yobs(b)->runs.transform, 1) << "the reference transformed itself once";
  request_all();
  tree::yobs(a)->run_quotient();
  EXPECT_EQ(runs_of(*tree::yobs(a)), (stages{1, 1, 1, 1, 1}));
  for (const char* flag : {"fBft_recal", "fBft_shift", "fBft_do_inv", "fBft_do_deconv", "fBft_do_br"})
    EXPECT_EQ(tree::option(a, flag)->get_int(), 0) << flag << " is cleared by its stage";
}

struct change_case {
  const char* name;
  std::function<void(assoc_class* a, assoc_class* b, assoc_class* c)> change;
  stages redone;
};
void PrintTo(const change_case& c, std::ostream* os) { *os << c.name; }

class AChange : public Chain, public ::testing::WithParamInterface<change_case> {};

TEST_P(AChange, RedoesExactlyTheStagesThatDependOnIt) {
  xy_yobs_4& p = *tree::yobs(a);
  const stages before = runs_of(p);
  GetParam().change(a, b, c);
  request_all();
  EXPECT_EQ(runs_of(p) - before, GetParam().redone);
  request_all();
  EXPECT_EQ(runs_of(p) - before, GetParam().redone) << "and only once";
}

INSTANTIATE_TEST_SUITE_P(
    Options, AChange,
    ::testing::Values(change_case{"the_background_level_redoes_everything",
                                  [](assoc_class* a, auto, auto) { tree::option(a, "aBo_bkg")->set_double(1.5); },
                                  {1, 1, 1, 1, 1}},
                      change_case{"the_background_slope_redoes_everything",
                                  [](assoc_class* a, auto, auto) { tree::option(a, "aB1_bkg")->set_double(0.5); },
                                  {1, 1, 1, 1, 1}},
                      change_case{"the_doubling_redoes_everything",
                                  [](assoc_class* a, auto, auto) {
                                    tree::option(a, "fBreq_doubler")->set_text_with_limits("1");
                                  },
                                  {1, 1, 1, 1, 1}},
                      change_case{"a_profile_marked_changed_redoes_everything",
                                  [](assoc_class* a, auto, auto) {
                                    tree::yobs(a)->y[10] += 1.0f;
                                    tree::yobs(a)->set_text("1");
                                  },
                                  {1, 1, 1, 1, 1}},
                      change_case{"the_origin_redoes_the_shift_and_the_division",
                                  [](assoc_class* a, auto, auto) { tree::option(a, "fft_zero")->set_text("22.01"); },
                                  {0, 1, 0, 1, 1}},
                      change_case{"the_wavelength_redoes_the_shift_and_the_division",
                                  [](assoc_class* a, auto, auto) { tree::option(a, "lBamda")->set_double(1.54); },
                                  {0, 1, 0, 1, 1}},
                      change_case{"the_limit_redoes_the_inverse_and_the_division",
                                  [](assoc_class* a, auto, auto) { tree::option(a, "fBft_f2_lim")->set_double(30); },
                                  {0, 0, 1, 1, 1}},
                      change_case{"another_reference_redoes_the_division",
                                  [](assoc_class* a, auto, auto) { tree::option(a, "ref_prof")->set_text("/d/c.xdd"); },
                                  {0, 0, 0, 1, 1}},
                      change_case{"a_change_of_the_reference_redoes_the_division",
                                  [](auto, assoc_class* b, auto) { tree::option(b, "aBo_bkg")->set_double(0.5); },
                                  {0, 0, 0, 1, 1}},
                      change_case{"the_reference_limit_redoes_the_division",
                                  [](auto, assoc_class* b, auto) { tree::option(b, "fBft_f2_lim")->set_double(20); },
                                  {0, 0, 0, 1, 1}},
                      change_case{"a_flag_set_by_hand_redoes_its_stage_only",
                                  [](assoc_class* a, auto, auto) { tree::option(a, "fBft_do_br")->set_int(1); },
                                  {0, 0, 0, 0, 1}},
                      change_case{"a_change_of_an_unrelated_file_redoes_nothing",
                                  [](auto, auto, assoc_class* c) { tree::option(c, "aBo_bkg")->set_double(0.5); },
                                  {0, 0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

// ------------------------------------------------------------- plots

TEST_F(Chain, APlotRecomputesOnlyInAViewThatShowsItsFamilyAndOnlyAfterAChange) {
  auto* re = tree::node<plot_xy_3>(a, "re");
  fake_view view;
  view.bits = show_bits::observed | show_bits::inverse;
  EXPECT_FALSE(re->update(view));
  EXPECT_EQ(re->recomputations, 0);

  view.bits = show_bits::transform_re_im;
  EXPECT_TRUE(re->update(view));
  EXPECT_FALSE(re->update(view));
  EXPECT_EQ(re->recomputations, 1);
  EXPECT_EQ(view.redraws, 1) << "the view is asked to redraw only after a recomputation";

  tree::option(a, "fft_zero")->set_text("22.05");
  EXPECT_TRUE(re->update(view));
  EXPECT_EQ(re->recomputations, 2);

  const stages before = runs_of(*tree::yobs(a));
  tree::node<assoc_class>(a, "xy_re")->set_text("1");
  EXPECT_TRUE(re->update(view)) << "a display marked dirty is redone";
  EXPECT_EQ(runs_of(*tree::yobs(a)), before) << "from the chain's current results";
}

TEST_F(Chain, ShowingTheProfileRedoesNothingButAProfileMarkedChangedRedoesItsChain) {
  auto* yobs = tree::node<plot_xy_3>(a, "yobs");
  fake_view view;
  view.bits = show_bits::observed;
  const stages before = runs_of(*tree::yobs(a));
  EXPECT_TRUE(yobs->update(view));
  request_all();
  EXPECT_EQ(runs_of(*tree::yobs(a)), before);

  tree::yobs(a)->set_text("1");
  EXPECT_TRUE(yobs->update(view));
  EXPECT_FALSE(tree::yobs(a)->dirty);
  request_all();
  EXPECT_EQ(runs_of(*tree::yobs(a)) - before, (stages{1, 1, 1, 1, 1}));
}

TEST(Plots, TheQuotientFamiliesDoNothingWithoutAReference) {
  tree t;
  assoc_class* a = t.add_file("/d/a.xdd", 0.0, 0.1, 64, [](double x) { return gaussian(x, 3.0, 0.4); });
  fake_view view;
  view.bits = 0x7f0;
  for (const char* name : {"br_re", "br_im", "br_mod", "deconv"}) {
    auto* plot = tree::node<plot_xy_3>(a, name);
    EXPECT_FALSE(plot->update(view)) << name;
    EXPECT_EQ(plot->curve()->y.count(), 0) << name;
  }
  EXPECT_EQ(tree::yobs(a)->runs.quotient, 0);
  EXPECT_TRUE(tree::node<plot_xy_3>(a, "inv")->update(view)) << "the inverse needs no reference";
}

}  // namespace
