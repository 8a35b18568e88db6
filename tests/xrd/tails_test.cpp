#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "chain_test_tree.h"
#include "xrd/B_ex_consts_3.h"
#include "xrd/plot_xy_3.h"

namespace {

using namespace chain_test;

// A profile on 10 .. 20 (201 points, step 0.05) with its origin at 15 and the
// background 2 + 0.1 (x - 15), whose wings are exactly the tail model with
// the coefficients a.
struct wings {
  double a[3];
  double operator()(double x) const {
    const double d = x - 15.0;
    return 2.0 + 0.1 * (x - 15.0) + a[0] / (std::fabs(d) + 1e-7) + a[1] / (d * d + 1e-7) +
           a[2] / (std::fabs(d * d * d) + 1e-7) + 500.0 * gaussian(x, 15.0, 0.1);
  }
};

class Tails : public ::testing::Test {
 protected:
  void load(const wings& w) {
    file = t.add_file("/d/a.xdd", 10.0, 0.05, 201, w);
    tree::option(file, "fft_zero")->set_text("15");
    tree::option(file, "aBo_bkg")->set_double(2.0);
    tree::option(file, "aB1_bkg")->set_double(0.1);
  }
  B_ex_consts_3* side(bool right) { return tree::node<B_ex_consts_3>(file, right ? "ex_r_consts" : "ex_l_consts"); }
  assoc_class* option(bool right, const char* name) { return find(*side(right), name); }
  xy_yobs_4& p() { return *tree::yobs(file); }

  tree t;
  assoc_class* file = nullptr;
};

struct fit_case {
  const char* name;
  bool right;
  bool use[3];
};
void PrintTo(const fit_case& c, std::ostream* os) { *os << c.name; }

class TailFit : public Tails, public ::testing::WithParamInterface<fit_case> {};

TEST_P(TailFit, RecoversTheCoefficientsOfTheTermsInUseAndLeavesTheOthers) {
  const fit_case& c = GetParam();
  wings w{{0.0, 0.0, 0.0}};
  const double truth[3] = {1.5, -4.0, 20.0};
  for (int k = 0; k < 3; ++k) w.a[k] = c.use[k] ? truth[k] : 0.0;
  load(w);
  option(c.right, "nBpts_i1")->set_double(c.right ? 160 : -30);
  option(c.right, "nBpts_i2")->set_double(c.right ? 230 : 40);
  option(c.right, "eBxtr_a2")->set_double(7.0);
  const char* use_names[3] = {"eBxtr_a1_use", "eBxtr_a2_use", "eBxtr_a3_use"};
  for (int k = 0; k < 3; ++k) option(c.right, use_names[k])->set_int(c.use[k] ? 1 : 0);

  ASSERT_TRUE(p().run_transform_stages());
  B_ex_consts_3& consts = *side(c.right);
  EXPECT_EQ(consts.fit_runs, 1);
  EXPECT_EQ(option(c.right, "dBo_ex_reg")->get_int(), 0);
  for (int k = 0; k < 3; ++k) {
    if (c.use[k])
      EXPECT_NEAR(consts.coefficient(k), truth[k], 1e-4 * std::fabs(truth[k])) << "a" << k + 1;
    else
      EXPECT_EQ(consts.coefficient(k), k == 1 ? 7.0 : 0.0) << "a" << k + 1 << " keeps its value";
  }

  // The transform input carries the tail, background removed.
  ASSERT_EQ(p().ft_input.count(), 201 + 30);
  const int first = c.right ? 201 : 0;
  for (int k = 0; k < 30; ++k) {
    const int index = c.right ? 201 + k : k - 30;
    const double x = 10.0 + index * 0.05;
    ASSERT_NEAR(p().ft_input[first + k], w(x) - (2.0 + 0.1 * (x - 15.0)), 1e-4) << "tail point " << k;
  }
  EXPECT_NEAR(p().ft_input_axis.x1, c.right ? 10.0 : 10.0 - 30 * 0.05, 1e-12);
}

INSTANTIATE_TEST_SUITE_P(Sides, TailFit,
                         ::testing::Values(fit_case{"left_first_term", false, {true, false, false}},
                                           fit_case{"left_first_and_third_terms", false, {true, false, true}},
                                           fit_case{"right_second_term", true, {false, true, false}},
                                           fit_case{"right_all_three_terms", true, {true, true, true}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Tails, WithNoTermInUseASideLeavesTheInputAlone) {
  load(wings{{1.0, 0.0, 0.0}});
  option(false, "nBpts_i1")->set_double(-50);
  option(true, "nBpts_i2")->set_double(260);
  ASSERT_TRUE(p().run_transform_stages());
  ASSERT_EQ(p().ft_input.count(), 201);
  EXPECT_EQ(p().ft_input_axis.x1, 10.0);
  for (int i = 0; i < 201; ++i)
    ASSERT_FLOAT_EQ(p().ft_input[i], static_cast<float>(p().y[i] - (2.0 + 0.1 * (10.0 + i * 0.05 - 15.0))));
}

TEST_F(Tails, ALeftStartOfMinus50AddsFiftyPointsAndARightEndOnTheLastPointNone) {
  load(wings{{1.0, 0.0, 0.0}});
  option(false, "eBxtr_a1_use")->set_int(1);
  option(false, "nBpts_i1")->set_double(-50);
  option(true, "eBxtr_a1_use")->set_int(1);
  option(true, "nBpts_i2")->set_double(200);
  ASSERT_TRUE(p().run_transform_stages());
  EXPECT_EQ(p().ft_input.count(), 251);
  EXPECT_NEAR(p().ft_input_axis.x1, 10.0 - 50 * 0.05, 1e-12);
  EXPECT_EQ(p().ft_input_axis.xd, 0.05);
}

TEST_F(Tails, TheCurveAndTheTransformFollowTheBackgroundAndTheCoefficients) {
  load(wings{{1.0, 0.0, 0.0}});
  option(false, "eBxtr_a1_use")->set_int(1);
  option(false, "nBpts_i1")->set_double(-20);
  fake_view view;
  view.bits = show_bits::observed;
  auto* tail = tree::node<plot_xy_3>(file, "ex_l");
  ASSERT_TRUE(tail->update(view));
  auto* curve = tree::node<xy_data_3>(file, "xy_ex_l");
  EXPECT_EQ(curve->y.count(), 20 + 20 + 1) << "from nBpts_i1 to nBpts_i2";
  EXPECT_NEAR(curve->x1, 9.0, 1e-12);
  p().run_transform_stages();
  const int transforms = p().runs.transform;

  tree::option(file, "aBo_bkg")->set_double(3.0);
  ASSERT_TRUE(tail->update(view));
  const double d = curve->x1 - 15.0;
  EXPECT_NEAR(curve->y[0], 3.0 + 0.1 * d + side(false)->coefficient(0) / std::fabs(d), 1e-5);

  option(false, "eBxtr_a1")->set_double(2.5);
  p().run_transform_stages();
  EXPECT_EQ(p().runs.transform, transforms + 1) << "one transform for both changes";
  EXPECT_EQ(side(false)->fit_runs, 1) << "a coefficient typed in is not refitted";
  EXPECT_NEAR(p().ft_input[0], 2.5 / 6.0, 1e-5) << "a1 / |d| at x = 9";
}

TEST_F(Tails, TheBackgroundLineRunsUnderTheProfileAndItsTails) {
  load(wings{{0.0, 0.0, 0.0}});
  option(false, "nBpts_i1")->set_double(-10);
  option(true, "nBpts_i2")->set_double(220);
  fake_view view;
  view.bits = show_bits::observed;
  ASSERT_TRUE(tree::node<plot_xy_3>(file, "y_for_bkg")->update(view));
  auto* line = tree::node<xy_data_3>(file, "xy_y_for_bkg");
  ASSERT_EQ(line->y.count(), 3);
  EXPECT_NEAR(line->x1, 9.5, 1e-12);
  EXPECT_NEAR(line->x2, 21.0, 1e-12);
  EXPECT_NEAR(line->y[0], 2.0 + 0.1 * (9.5 - 15.0), 1e-6);
  EXPECT_NEAR(line->y[2], 2.0 + 0.1 * (21.0 - 15.0), 1e-6);
}

// ------------------------------------------------------------- markers

struct marker_case {
  const char* name;
  const char* plot;
  int dragged_to;  // point index of the cursor
  const char* consts;
  const char* option;
  double expected;
};
void PrintTo(const marker_case& c, std::ostream* os) { *os << c.name; }

class MarkerDrag : public Tails, public ::testing::WithParamInterface<marker_case> {};

TEST_P(MarkerDrag, KeepsTheIndexWithinItsLimits) {
  const marker_case& c = GetParam();
  load(wings{{0.0, 0.0, 0.0}});
  ASSERT_TRUE(tree::node<plot_xy_3>(file, c.plot)->drag_marker_to(10.0 + c.dragged_to * 0.05 + 0.01));
  EXPECT_EQ(find(*tree::option(file, c.consts), c.option)->get_double(), c.expected);
  EXPECT_EQ(t.views()->redrawn.back(), file);
}

INSTANTIATE_TEST_SUITE_P(
    Tails, MarkerDrag,
    ::testing::Values(
        marker_case{"left_start_right_of_the_first_point_stays_at_0", "pl1", 3, "ex_l_consts", "nBpts_i1", 0},
        marker_case{"left_start_before_the_data_is_taken", "pl1", -12, "ex_l_consts", "nBpts_i1", -12},
        marker_case{"left_fit_end_stays_at_4_or_more", "pl2", 2, "ex_l_consts", "nBpts_i2", 4},
        marker_case{"left_fit_end_stays_on_the_data", "pl2", 230, "ex_l_consts", "nBpts_i2", 200},
        marker_case{"right_fit_start_stays_4_before_the_end", "pr1", 199, "ex_r_consts", "nBpts_i1", 196},
        marker_case{"right_fit_start_stays_on_the_data", "pr1", -5, "ex_r_consts", "nBpts_i1", 0},
        marker_case{"right_end_inside_the_data_is_the_last_point", "pr2", 150, "ex_r_consts", "nBpts_i2", 200},
        marker_case{"right_end_beyond_the_data_is_taken", "pr2", 240, "ex_r_consts", "nBpts_i2", 240}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Tails, UnsetRightMarkersArePlacedWhenFirstShown) {
  load(wings{{0.0, 0.0, 0.0}});
  fake_view view;
  view.bits = show_bits::observed;
  view.yb = 0;
  view.yt = 10;
  ASSERT_TRUE(tree::node<plot_xy_3>(file, "pr1")->update(view));
  ASSERT_TRUE(tree::node<plot_xy_3>(file, "pr2")->update(view));
  EXPECT_EQ(option(true, "nBpts_i1")->get_double(), 196);
  EXPECT_EQ(option(true, "nBpts_i2")->get_double(), 200);
  auto* start = tree::node<xy_data_3>(file, "xy_r1");
  ASSERT_EQ(start->y.count(), 3);
  EXPECT_NEAR(start->x1, 10.0 + 196 * 0.05, 1e-12);
  EXPECT_FLOAT_EQ(start->y[2], 10.0f);
}

}  // namespace
