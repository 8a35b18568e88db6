#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "../chain_test_tree.h"
#include "io/string_in.h"
#include "xrd/measures/peak_measures.h"
#include "xrd/plots/plot_xy_3.h"
#include "xrd/chain/ptr_classes_4.h"
#include "xrd/chain/ref_prof_3.h"

namespace {

using namespace chain_test;

class Reference : public ::testing::Test {
 protected:
  Reference() {
    a = t.add_file("/d/a.xdd", -1.0, 0.01, 201, [](double x) { return 100 * gaussian(x, 0.0, 0.10); });
    b = t.add_file("/d/b.xdd", -1.0, 0.01, 201, [](double x) { return 100 * gaussian(x, 0.0, 0.06); });
    c = t.add_file("/d/c.xdd", -1.0, 0.01, 201, [](double x) { return 100 * gaussian(x, 0.0, 0.05); });
  }
  ref_prof_3* ref(assoc_class* file) { return tree::node<ref_prof_3>(file, "ref_prof"); }
  static bool tied(assoc_class* from, assoc_class* to) {
    return tree::node<ptr_classes_4>(from, "xdds_tied_to")->refers_to(to);
  }
  tree t;
  assoc_class* a = nullptr;
  assoc_class* b = nullptr;
  assoc_class* c = nullptr;
};

TEST_F(Reference, AssigningTiesBothFilesAndClearingUntiesThem) {
  EXPECT_EQ(ref(a)->set_text_with_limits("/d/b.xdd"), 0);
  EXPECT_TRUE(tied(a, b));
  EXPECT_TRUE(tied(b, a));
  EXPECT_EQ(ref(a)->reference_profile(), tree::yobs(b));
  EXPECT_EQ(t.views()->redrawn.back(), a);

  EXPECT_EQ(ref(a)->set_text_with_limits("/d/c.xdd"), 0);
  EXPECT_FALSE(tied(a, b)) << "the old reference is let go";
  EXPECT_FALSE(tied(b, a));
  EXPECT_TRUE(tied(a, c));
  EXPECT_TRUE(tied(c, a));

  EXPECT_EQ(ref(a)->set_text_with_limits(""), 0);
  EXPECT_FALSE(tied(a, c));
  EXPECT_FALSE(tied(c, a));
  EXPECT_EQ(ref(a)->reference_profile(), nullptr);
  EXPECT_FALSE(tree::yobs(a)->run_quotient());
}

TEST_F(Reference, AFileNamedAsItsOwnOrAnUnloadedReferenceIsRefusedAndKeepsTheOneItHad) {
  const struct {
    const char* typed;
    const char* message;
  } rows[] = {{"/d/a.xdd", "Cannot assign a reference profile to itself for : /d/a.xdd"},
              {"/d/nowhere.xdd", "ref_prof: \"/d/nowhere.xdd\" is not a loaded data file"}};
  for (const auto& r : rows) {
    shown_errors shown;
    ref(a)->set_text("/d/b.xdd");
    EXPECT_EQ(ref(a)->set_text_with_limits(r.typed), 2) << r.typed;
    ASSERT_EQ(shown.messages().size(), 1u) << r.typed;
    EXPECT_EQ(shown.messages()[0].text, r.message);
    EXPECT_STREQ(ref(a)->get_text(), "/d/b.xdd") << r.typed;
    EXPECT_TRUE(tied(a, b)) << "the reference it had stays: " << r.typed;
    EXPECT_FALSE(tied(a, a));
    EXPECT_NE(ref(a)->reference_profile(), nullptr) << r.typed;
  }
}

TEST_F(Reference, UnloadingTheReferenceLeavesNothingBehind) {
  ref(a)->set_text("/d/b.xdd");
  ASSERT_TRUE(tree::yobs(a)->run_quotient());
  t.files->delete_child(b);
  EXPECT_EQ(ref(a)->reference_profile(), nullptr);
  EXPECT_EQ(tree::node<ptr_classes_4>(a, "xdds_tied_to")->targets().size(), 0u);
  EXPECT_FALSE(tree::yobs(a)->run_quotient());
  fake_view view;
  view.bits = show_bits::quotient_mod;
  EXPECT_FALSE(tree::node<plot_xy_3>(a, "br_mod")->update(view));
}

TEST_F(Reference, APathReadFromAProjectIsAttachedWhenFirstNeeded) {
  string_in in("/d/b.xdd");
  ref(a)->read_for_project(in);
  EXPECT_STREQ(ref(a)->get_text(), "/d/b.xdd");
  EXPECT_EQ(ref(a)->reference_profile(), tree::yobs(b));
  EXPECT_TRUE(tied(a, b));
  EXPECT_TRUE(tied(b, a));
}

// Gaussian(sigma 0.10) = Gaussian(0.08) convolved with Gaussian(0.06).
TEST(Deconvolution, OfTwoGaussiansLeavesTheGaussianOfTheDifferenceOfTheirVariances) {
  tree t;
  assoc_class* obs = t.add_file("/d/obs.xdd", -5.0, 0.01, 1001, [](double x) { return 80 * gaussian(x, 0.0, 0.10); });
  assoc_class* ins = t.add_file("/d/ins.xdd", -5.0, 0.01, 1001, [](double x) { return 50 * gaussian(x, 0.0, 0.06); });
  for (assoc_class* f : {obs, ins}) {
    tree::option(f, "fft_zero")->set_text("0");
    tree::option(f, "fBft_f2_lim")->set_double(100);
  }
  ASSERT_EQ(tree::option(obs, "ref_prof")->set_text_with_limits("/d/ins.xdd"), 0);
  fake_view view;
  view.bits = show_bits::deconvoluted;
  ASSERT_TRUE(tree::node<plot_xy_3>(obs, "deconv")->update(view));

  auto* d = tree::node<xy_data_3>(obs, "xy_deconv");
  ASSERT_EQ(d->y.count(), 1001);
  const peak_measures::result width = peak_measures::fwhm(*d, -1e9, 1e9);
  ASSERT_TRUE(width.ok);
  EXPECT_NEAR(width.value, 2.3548 * 0.08, 0.01 * 2.3548 * 0.08);
  const peak_measures::result centre = peak_measures::centroid(*d, -1e9, 1e9, 0, 1);
  EXPECT_NEAR(centre.value, 0.0, 1e-3) << "zero offset falls on the origin";
  float top = d->y[0];
  for (int i = 0; i < d->y.count(); ++i) top = std::max(top, d->y[i]);
  EXPECT_FLOAT_EQ(top, 80.0f) << "it has the observed profile's height";
}

TEST_F(Reference, AnUnsetLimitStandsForTheLastFrequencyInTheQuotient) {
  ref(a)->set_text("/d/b.xdd");
  xy_yobs_4& p = *tree::yobs(a);
  ASSERT_TRUE(p.run_quotient());
  ASSERT_DOUBLE_EQ(tree::option(a, "fBft_f2_lim")->get_double(), -999.0);
  const float_vec unset = p.fft.quotient_mod;
  const int last = p.fft.frequency_count() - 1;
  tree::option(a, "fBft_f2_lim")->set_double(last);
  tree::option(b, "fBft_f2_lim")->set_double(last);
  ASSERT_TRUE(p.run_quotient());
  ASSERT_EQ(unset.count(), p.fft.quotient_mod.count());
  EXPECT_GT(unset[0], 0.0f);
  for (int j = 0; j <= last; ++j) ASSERT_EQ(unset[j], p.fft.quotient_mod[j]) << "frequency " << j;
}

TEST_F(Reference, AnEditedCurveRecalculatesTheFilesTiedToIt) {
  ref(a)->set_text("/d/b.xdd");
  tree::yobs(a)->run_deconvolution();
  auto* plot = tree::node<plot_xy_3>(b, "yobs");
  EXPECT_EQ(plot->change_script, "j fBft_recal 1");
  t.views()->redrawn.clear();
  plot->curve_changed();
  EXPECT_EQ(tree::option(b, "fBft_recal")->get_int(), 1) << "the change script ran on the plot";
  EXPECT_EQ(tree::node<recalc_stand_in>(a, "for_recalcs_ref")->executions, 1);
  EXPECT_EQ(tree::option(a, "fBft_do_deconv")->get_int(), 1) << "the recalculation's script ran";
  EXPECT_EQ(t.views()->redrawn, (std::vector<assoc_class*>{b, a}));
}

TEST_F(Reference, DraggingTheLimitMarkerAsksTheFilesDividedByThisOneToDivideAgainAndStopsAtTheAxisEnd) {
  ref(a)->set_text("/d/b.xdd");
  tree::yobs(a)->run_deconvolution();
  tree::yobs(b)->run_transform_stages();
  auto* marker = tree::node<plot_xy_3>(b, "y_f2_lim");
  const x1_xd_x2_3& axis = tree::yobs(b)->display_axis;
  t.views()->redrawn.clear();
  ASSERT_TRUE(marker->drag_marker_to(axis.x1 + 12.5 * axis.xd));
  EXPECT_NEAR(tree::option(b, "fBft_f2_lim")->get_double(), 12.5, 1e-9);
  EXPECT_EQ(tree::option(a, "fBft_do_br")->get_int(), 1);
  EXPECT_EQ(t.views()->redrawn, (std::vector<assoc_class*>{b, a}));
  ASSERT_TRUE(marker->drag_marker_to(axis.x1 + 1e6 * axis.xd));
  EXPECT_EQ(tree::option(b, "fBft_f2_lim")->get_double(), axis.n - 1) << "dragged past the axis, it stops at its end";
}

TEST_F(Reference, DraggingTheOriginMarkerMovesTheOriginAndKeepsItOnTheScan) {
  auto* marker = tree::node<plot_xy_3>(a, "y_for_zero");
  ASSERT_TRUE(marker->drag_marker_to(0.25));
  EXPECT_NEAR(tree::option(a, "fft_zero")->get_double(), 125.0, 1e-9);
  EXPECT_EQ(t.views()->redrawn.back(), a);
  const double last = tree::yobs(a)->y.count() - 1;
  ASSERT_TRUE(marker->drag_marker_to(1e6));
  EXPECT_EQ(tree::option(a, "fft_zero")->get_double(), last) << "dragged past the scan's end";
  ASSERT_TRUE(marker->drag_marker_to(-1e6));
  EXPECT_EQ(tree::option(a, "fft_zero")->get_double(), 0.0) << "dragged before its start";
}

}  // namespace
