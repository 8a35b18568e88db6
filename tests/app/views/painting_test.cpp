#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "view_bench.h"

namespace {

TEST_F(Views, AViewWithoutLinesPaintsBlackOnlyAndShowAllLeavesItsLimits) {
  screen.user_command(command_id::add_view);
  TDrawView* v = focused();
  ASSERT_NE(v, nullptr) << "Add View opens an empty view with the focus";
  EXPECT_EQ(paint(v), (std::vector<std::string>{"fill 0 0 0", "fill_rect 0 0 641 401"}))
      << "an empty 640 by 400 view is one black rectangle";
  const std::vector<double> before{v->x1, v->x2, v->y1, v->y2};
  screen.user_command(view_command::show_all);
  screen.user_command(view_command::show_all_views);
  EXPECT_EQ((std::vector<double>{v->x1, v->x2, v->y1, v->y2}), before);
}

TEST_F(Views, TheObservedProfileIsDrawnAtItsPixelsInItsFilesColour) {
  TDrawView* v = open({peak("a.xdd")});
  plain_window(v);
  std::vector<int> pixels;
  for (int i = 0; i <= 40; ++i) {
    const double y = std::max(0.0, 100.0 - 20.0 * std::fabs(0.5 * i - 10.0));
    pixels.push_back(10 * i);
    pixels.push_back(static_cast<int>(200 - 2 * y));
  }
  const std::vector<std::string> calls = paint(v);
  ASSERT_GE(calls.size(), 5u);
  EXPECT_EQ(calls[2], "pen 255 255 0 1 solid") << "the first file takes the first colour, yellow";
  EXPECT_EQ(calls[3], call("polyline", pixels));
  EXPECT_EQ(calls[4], "pixel 400 200 255 255 0") << "the last point is set in the pen's colour";
}

TEST_F(Views, TheZeroLineIsDrawnDottedInLightCyanOnlyWhenZeroIsInTheWindow) {
  TDrawView* v = open({peak("a.xdd")});
  plain_window(v);
  const struct {
    const char* where;
    double y1, y2;
    int row;  // -1: no zero line
  } rows[] = {{"along the bottom from zero up", 0.0, 100.0, 200},
              {"through the middle across zero", -50.0, 50.0, 100},
              {"along the top up to zero", -100.0, 0.0, 0},
              {"none when the window is above zero", 10.0, 100.0, -1},
              {"none when the window is below zero", -100.0, -10.0, -1}};
  for (const auto& r : rows) {
    limits(v, 20.0, 40.0, r.y1, r.y2);
    const std::vector<std::string> calls = paint(v);
    std::vector<std::string> zero_lines;
    for (std::size_t i = 0; i + 1 < calls.size(); ++i)
      if (calls[i] == "pen 0 255 255 1 dot") zero_lines.push_back(calls[i + 1]);
    // One line across the whole width of the plot.
    std::vector<std::string> expected;
    if (r.row >= 0) expected.push_back(call("line", {0, r.row, 400, r.row}));
    EXPECT_EQ(zero_lines, expected) << r.where;
  }
}

TEST_F(Views, FixedLimitsFollowTheShownDataWhenTheViewPaints) {
  TDrawView* v = open({peak("raised.xdd", 10.0)});
  const struct {
    const char* name;
    std::vector<int> commands;
    double y1, y2;  // after a paint, from the limits -50 and 500
  } rows[] = {{"nothing fixed keeps the limits", {}, -50.0, 500.0},
              {"y1 to zero", {view_command::fix_y1_zero}, 0.0, 500.0},
              {"y1 at the data minimum", {view_command::fix_y1_min}, 10.0, 500.0},
              {"y1 at the minimum wins over zero", {view_command::fix_y1_zero, view_command::fix_y1_min}, 10.0, 500.0},
              {"y2 at the data maximum", {view_command::fix_y2_max}, -50.0, 110.0}};
  for (const auto& c : rows) {
    plain_window(v);
    limits(v, 20.0, 40.0, -50.0, 500.0);
    v->display_flags.clear(0x007);
    for (int id : c.commands) screen.user_command(id);
    paint(v);
    EXPECT_DOUBLE_EQ(v->y1, c.y1) << c.name;
    EXPECT_DOUBLE_EQ(v->y2, c.y2) << c.name;
    EXPECT_EQ(screen.status_text(2052), limits_text(20, 40, c.y1, c.y2)) << c.name << ": the status bar follows";
  }
}

TEST_F(Views, TheLambdaCursorRepaintsOnlyItsLinesOverTheCachedPicture) {
  TDrawView* v = open({peak("a.xdd")});
  find(*app, "sBhow_lam_curcor")->set_int(1);
  assoc_class* cursor = find(*app, "drvw_lam_cursor");
  cursor->set_text("CuKa");
  EXPECT_STREQ(cursor->get_text(), "CuKa");
  plain_window(v);
  const std::vector<std::string> full = paint(v);
  ASSERT_FALSE(calls_starting(full, "polyline").empty()) << "the first paint draws the curves";
  move(v, 200, 50);  // 2 theta = 30 degrees
  EXPECT_EQ(v->paint_mode, 2) << "a move with the cursor on asks for the overlay only";
  const std::vector<std::string> overlay = paint(v);
  EXPECT_TRUE(calls_starting(overlay, "polyline").empty()) << "the curves come from the cached picture";
  EXPECT_EQ(calls_starting(overlay, "picture").size(), 1u);
  // CuKa: 2 theta_i = asin(lambda_i sin 15 deg / 1.5406) 360 / pi is 29.9992
  // for 1.54056 and 30.0755 for 1.54439, pixels 200 and 202; their
  // intensities 100 and 50 of 100 reach rows 0 and 100.
  const std::size_t pen = std::find(overlay.begin(), overlay.end(), "pen 0 255 255 2 solid") - overlay.begin();
  ASSERT_LT(pen + 2, overlay.size()) << "the overlay is drawn with a light-cyan pen of width 2";
  EXPECT_EQ(overlay[pen + 1], "line 200 200 200 0");
  EXPECT_EQ(overlay[pen + 2], "line 202 200 202 100");
  EXPECT_EQ(v->paint_mode, 1);

  cursor->set_text("NoSuchTube");
  EXPECT_STREQ(cursor->get_text(), "Error") << "a set that does not exist";
  move(v, 210, 50);
  EXPECT_EQ(v->paint_mode, 1) << "turns the cursor off: moves no longer repaint";
}

}  // namespace
