#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "../chain_test_tree.h"
#include "xrd/tails/B_ex_consts_3.h"
#include "xrd/plots/plot_xy_3.h"

namespace {

using namespace chain_test;

double background(double x) { return 2.0 + 0.1 * (x - 15.0); }

// A profile on 10 .. 20 (201 points, step 0.05) with its origin at 15 and the
// background above, whose wings are exactly the tail model with the coefficients a.
struct wings {
  double a[3];
  double operator()(double x) const {
    const double d = x - 15.0;
    return background(x) + a[0] / (std::fabs(d) + 1e-7) + a[1] / (d * d + 1e-7) + a[2] / (std::fabs(d * d * d) + 1e-7) +
           500.0 * gaussian(x, 15.0, 0.1);
  }
};

// A loaded file with such a profile; `right` chooses the side of the tail options.
struct tailed_file {
  explicit tailed_file(const wings& w) : file(t.add_file("/d/a.xdd", 10.0, 0.05, 201, w)) {
    tree::option(file, "fft_zero")->set_text("15");
    tree::option(file, "aBo_bkg")->set_double(2.0);
    tree::option(file, "aB1_bkg")->set_double(0.1);
  }
  B_ex_consts_3* side(bool right) { return tree::node<B_ex_consts_3>(file, right ? "ex_r_consts" : "ex_l_consts"); }
  assoc_class* option(bool right, const char* name) { return find(*side(right), name); }
  xy_yobs_4& p() { return *tree::yobs(file); }
  xy_data_3* shown_curve(const char* plot, const char* curve, double yb = 0, double yt = 100) {
    fake_view view;
    view.bits = show_bits::observed;
    view.yb = yb;
    view.yt = yt;
    EXPECT_TRUE(tree::node<plot_xy_3>(file, plot)->update(view)) << plot;
    return tree::node<xy_data_3>(file, curve);
  }
  tree t;
  assoc_class* file;
};

TEST(TailFit, RecoversTheCoefficientsOfTheTermsInUseAndLeavesTheOthers) {
  const struct {
    const char* name;
    bool right;
    bool use[3];
  } rows[] = {{"left, first term", false, {true, false, false}},
              {"left, first and third terms", false, {true, false, true}},
              {"right, second term", true, {false, true, false}},
              {"right, all three terms", true, {true, true, true}}};
  const double truth[3] = {1.5, -4.0, 20.0};
  const char* use_names[3] = {"eBxtr_a1_use", "eBxtr_a2_use", "eBxtr_a3_use"};
  for (const auto& c : rows) {
    const wings w{{c.use[0] ? truth[0] : 0.0, c.use[1] ? truth[1] : 0.0, c.use[2] ? truth[2] : 0.0}};
    tailed_file f(w);
    f.option(c.right, "nBpts_i1")->set_double(c.right ? 160 : -30);
    f.option(c.right, "nBpts_i2")->set_double(c.right ? 230 : 40);
    f.option(c.right, "eBxtr_a2")->set_double(7.0);
    for (int k = 0; k < 3; ++k) f.option(c.right, use_names[k])->set_int(c.use[k] ? 1 : 0);
    ASSERT_TRUE(f.p().run_transform_stages()) << c.name;
    EXPECT_EQ(f.side(c.right)->fit_runs, 1) << c.name;
    for (int k = 0; k < 3; ++k) {
      if (c.use[k])
        EXPECT_NEAR(f.side(c.right)->coefficient(k), truth[k], 1e-4 * std::fabs(truth[k])) << c.name << ": a" << k + 1;
      else
        EXPECT_EQ(f.side(c.right)->coefficient(k), k == 1 ? 7.0 : 0.0)
            << c.name << ": a" << k + 1 << " keeps its value";
    }
    // The transform input carries the tail, background removed.
    ASSERT_EQ(f.p().ft_input.count(), 201 + 30) << c.name;
    for (int k = 0; k < 30; ++k) {
      const double x = 10.0 + (c.right ? 201 + k : k - 30) * 0.05;
      ASSERT_NEAR(f.p().ft_input[(c.right ? 201 : 0) + k], w(x) - background(x), 1e-4) << c.name << ": point " << k;
    }
    EXPECT_NEAR(f.p().ft_input_axis.x1, c.right ? 10.0 : 10.0 - 30 * 0.05, 1e-12) << c.name;
  }
}

TEST(Tails, ExtendTheInputOnlyOnASideWithATermInUseAndARangeBeyondTheData) {
  tailed_file f(wings{{1.0, 0.0, 0.0}});
  f.option(false, "nBpts_i1")->set_double(-50);
  f.option(true, "nBpts_i2")->set_double(260);
  ASSERT_TRUE(f.p().run_transform_stages());
  ASSERT_EQ(f.p().ft_input.count(), 201) << "no term in use";
  EXPECT_EQ(f.p().ft_input_axis.x1, 10.0);
  for (int i = 0; i < 201; ++i)
    ASSERT_FLOAT_EQ(f.p().ft_input[i], static_cast<float>(f.p().y[i] - background(10.0 + i * 0.05))) << i;

  f.option(false, "eBxtr_a1_use")->set_int(1);
  f.option(true, "eBxtr_a1_use")->set_int(1);
  f.option(true, "nBpts_i2")->set_double(200);
  ASSERT_TRUE(f.p().run_transform_stages());
  EXPECT_EQ(f.p().ft_input.count(), 251) << "fifty points on the left, none for a right end on the last point";
  EXPECT_NEAR(f.p().ft_input_axis.x1, 10.0 - 50 * 0.05, 1e-12);
  EXPECT_EQ(f.p().ft_input_axis.xd, 0.05);
}

TEST(Tails, TheCurveAndTheTransformFollowTheBackgroundAndTheCoefficients) {
  tailed_file f(wings{{1.0, 0.0, 0.0}});
  f.option(false, "eBxtr_a1_use")->set_int(1);
  f.option(false, "nBpts_i1")->set_double(-20);
  xy_data_3* curve = f.shown_curve("ex_l", "xy_ex_l");
  EXPECT_EQ(curve->y.count(), 20 + 20 + 1) << "from nBpts_i1 to nBpts_i2";
  EXPECT_NEAR(curve->x1, 9.0, 1e-12);
  f.p().run_transform_stages();
  const int transforms = f.p().runs.transform;
  tree::option(f.file, "aBo_bkg")->set_double(3.0);
  f.shown_curve("ex_l", "xy_ex_l");
  EXPECT_NEAR(curve->y[0], 3.0 + 0.1 * (9.0 - 15.0) + f.side(false)->coefficient(0) / 6.0, 1e-5);
  f.option(false, "eBxtr_a1")->set_double(2.5);
  f.p().run_transform_stages();
  EXPECT_EQ(f.p().runs.transform, transforms + 1) << "one transform for both changes";
  EXPECT_EQ(f.side(false)->fit_runs, 1) << "a coefficient typed in is not refitted";
  EXPECT_NEAR(f.p().ft_input[0], 2.5 / 6.0, 1e-5) << "a1 / |d| at x = 9";

  f.option(true, "nBpts_i2")->set_double(220);
  xy_data_3* line = f.shown_curve("y_for_bkg", "xy_y_for_bkg");
  ASSERT_EQ(line->y.count(), 3) << "the background line runs under the profile and its tails";
  EXPECT_NEAR(line->x1, 9.0, 1e-12);
  EXPECT_NEAR(line->x2, 21.0, 1e-12);
  EXPECT_NEAR(line->y[0], 3.0 + 0.1 * (9.0 - 15.0), 1e-6);
  EXPECT_NEAR(line->y[2], 3.0 + 0.1 * (21.0 - 15.0), 1e-6);
}

TEST(TailMarkers, KeepTheirIndexWithinItsLimitsWhenDragged) {
  const struct {
    const char* name;
    const char* plot;
    int dragged_to;  // point index of the cursor
    const char* option;
    double expected;
  } rows[] = {{"left start right of the first point stays at 0", "pl1", 3, "nBpts_i1", 0},
              {"left start before the data is taken", "pl1", -12, "nBpts_i1", -12},
              {"left fit end stays at 4 or more", "pl2", 2, "nBpts_i2", 4},
              {"left fit end stays on the data", "pl2", 230, "nBpts_i2", 200},
              {"right fit start stays 4 before the end", "pr1", 199, "nBpts_i1", 196},
              {"right fit start stays on the data", "pr1", -5, "nBpts_i1", 0},
              {"right end inside the data is the last point", "pr2", 150, "nBpts_i2", 200},
              {"right end beyond the data is taken", "pr2", 240, "nBpts_i2", 240}};
  for (const auto& c : rows) {
    tailed_file f(wings{{0.0, 0.0, 0.0}});
    ASSERT_TRUE(tree::node<plot_xy_3>(f.file, c.plot)->drag_marker_to(10.0 + c.dragged_to * 0.05 + 0.01)) << c.name;
    EXPECT_EQ(f.option(c.plot[1] == 'r', c.option)->get_double(), c.expected) << c.name;
    EXPECT_EQ(f.t.views()->redrawn.back(), f.file) << c.name;
  }
}

TEST(TailMarkers, UnsetRightMarkersArePlacedWhenFirstShown) {
  tailed_file f(wings{{0.0, 0.0, 0.0}});
  xy_data_3* start = f.shown_curve("pr1", "xy_r1", 0, 10);
  f.shown_curve("pr2", "xy_r2", 0, 10);
  EXPECT_EQ(std::pair(f.option(true, "nBpts_i1")->get_double(), f.option(true, "nBpts_i2")->get_double()),
            std::pair(196.0, 200.0));
  ASSERT_EQ(start->y.count(), 3);
  EXPECT_NEAR(start->x1, 10.0 + 196 * 0.05, 1e-12);
  EXPECT_FLOAT_EQ(start->y[2], 10.0f);
}

}  // namespace
