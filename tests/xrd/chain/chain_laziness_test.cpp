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
struct chain_files {
  chain_files() {
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

class Chain : public ::testing::Test, public chain_files {};

TEST_F(Chain, RunsEveryStageOnceAndThenNothingUntilSomethingChanges) {
  EXPECT_EQ(runs_of(*tree::yobs(a)), (stages{1, 1, 1, 1, 1}));
  EXPECT_EQ(tree::yobs(b)->runs.transform, 1) << "the reference transformed itself once";
  request_all();
  tree::yobs(a)->run_quotient();
  EXPECT_EQ(runs_of(*tree::yobs(a)), (stages{1, 1, 1, 1, 1}));
  for (const char* flag : {"fBft_recal", "fBft_shift", "fBft_do_inv", "fBft_do_deconv", "fBft_do_br"})
    EXPECT_EQ(tree::option(a, flag)->get_int(), 0) << flag << " is cleared by its stage";
}

TEST(AChange, RedoesExactlyTheStagesThatDependOnItAndOnlyOnce) {
  using files = assoc_class* const[3];  // the sample a, its reference b, and c
  const struct {
    const char* name;
    std::function<void(files&)> change;
    stages redone;
  } rows[] = {
      {"the background level redoes everything", [](files& f) { tree::option(f[0], "aBo_bkg")->set_double(1.5); },
       {1, 1, 1, 1, 1}},
      {"the background slope redoes everything", [](files& f) { tree::option(f[0], "aB1_bkg")->set_double(0.5); },
       {1, 1, 1, 1, 1}},
      {"the doubling redoes everything",
       [](files& f) { tree::option(f[0], "fBreq_doubler")->set_text_with_limits("1"); }, {1, 1, 1, 1, 1}},
      {"a profile marked changed redoes everything",
       [](files& f) {
         tree::yobs(f[0])->y[10] += 1.0f;
         tree::yobs(f[0])->set_text("1");
       },
       {1, 1, 1, 1, 1}},
      {"the origin redoes the shift and the division",
       [](files& f) { tree::option(f[0], "fft_zero")->set_text("22.01"); }, {0, 1, 0, 1, 1}},
      {"the wavelength redoes the shift and the division",
       [](files& f) { tree::option(f[0], "lBamda")->set_double(1.54); }, {0, 1, 0, 1, 1}},
      {"the limit redoes the inverse and the division",
       [](files& f) { tree::option(f[0], "fBft_f2_lim")->set_double(30); }, {0, 0, 1, 1, 1}},
      {"another reference redoes the division", [](files& f) { tree::option(f[0], "ref_prof")->set_text("/d/c.xdd"); },
       {0, 0, 0, 1, 1}},
      {"a change of the reference redoes the division",
       [](files& f) { tree::option(f[1], "aBo_bkg")->set_double(0.5); }, {0, 0, 0, 1, 1}},
      {"the reference limit redoes the division",
       [](files& f) { tree::option(f[1], "fBft_f2_lim")->set_double(20); }, {0, 0, 0, 1, 1}},
      {"a flag set by hand redoes its stage only", [](files& f) { tree::option(f[0], "fBft_do_br")->set_int(1); },
       {0, 0, 0, 0, 1}},
      {"a change of an unrelated file redoes nothing", [](files& f) { tree::option(f[2], "aBo_bkg")->set_double(0.5); },
       {0, 0, 0, 0, 0}}};
  for (const auto& row : rows) {
    chain_files c;
    files f = {c.a, c.b, c.c};
    const stages before = runs_of(*tree::yobs(c.a));
    row.change(f);
    c.request_all();
    EXPECT_EQ(runs_of(*tree::yobs(c.a)) - before, row.redone) << row.name;
    c.request_all();
    EXPECT_EQ(runs_of(*tree::yobs(c.a)) - before, row.redone) << row.name << ", and only once";
  }
}

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

}  // namespace
