#include <algorithm>
#include <string>
#include <vector>

#include "core/paths.h"
#include "xrd/curves/xy_data_3.h"
#include "view_bench.h"

namespace {

TEST_F(Views, BackquoteAndTildeShowTheNextAndPreviousFileAloneAndWrapAround) {
  TDrawView* v = open({peak("a.xdd"), peak("b.xdd"), peak("c.xdd", 50.0)});
  const struct {
    char key;
    const char* shows;
  } steps[] = {{'`', "b.xdd,Yo"}, {'`', "c.xdd,Yo"}, {'`', "a.xdd,Yo"}, {'~', "c.xdd,Yo"}, {'~', "b.xdd,Yo"}};
  for (const auto& s : steps) {
    key(v, s.key);
    EXPECT_EQ(title(v), s.shows) << "after '" << s.key << "'";
    EXPECT_EQ(v->lines().size(), 1u);
  }
  key(v, '~');
  key(v, '~');
  EXPECT_EQ(title(v), "c.xdd,Yo") << "'~' on the first file shows the last";
  EXPECT_DOUBLE_EQ(v->y2, 150.0) << "and shows all of it";
  key(v, 'l');
  EXPECT_EQ(title(v), "a.xdd ...,Yo") << "'l' shows every loaded file again";
  EXPECT_EQ(v->lines().size(), 3u);
}

TEST_F(Views, XSetsTheStatusBarsOriginAtTheMouseAndASecondXTakesItAway) {
  TDrawView* v = open({peak("a.xdd")});
  plain_window(v);
  limits(v, 0.0, 20.0, 0.0, 100.0);  // 20 pixels a degree from 0
  move(v, 250, 100);
  EXPECT_EQ(screen.status_text(2050), "x= 12.5000");
  key(v, 'x');
  EXPECT_EQ(screen.status_text(2050), "x= 0.0000");
  move(v, 300, 100);
  EXPECT_EQ(screen.status_text(2050), "x= 2.5000") << "15 less the origin 12.5";
  EXPECT_EQ(screen.status_text(2051), "y= 50.0000") << "y keeps its own origin, off";
  key(v, 'x');
  EXPECT_EQ(screen.status_text(2050), "x= 15.0000");
  key(v, 'y');
  move(v, 300, 150);
  EXPECT_EQ(screen.status_text(2051), "y= -25.0000");
}

TEST_F(Views, BAndTPutALimitAtTheMouseAndSwapRatherThanTurnTheViewUpsideDown) {
  TDrawView* v = open({peak("a.xdd")});
  const struct {
    const char* name;
    char key;
    int mouse_y;  // pixel; 200 - 2 y in the plain window
    double y1, y2;
    std::uint32_t fixes_freed;
  } rows[] = {{"b raises the bottom", 'b', 100, 50, 100, 0x005},
              {"b above the top swaps", 'b', -200, 100, 200, 0x005},
              {"t lowers the top", 't', 50, 0, 75, 0x002},
              {"t below the bottom swaps", 't', 400, -100, 0, 0x002}};
  for (const auto& c : rows) {
    plain_window(v);
    v->display_flags.set(c.fixes_freed);
    move(v, 100, c.mouse_y);
    key(v, c.key);
    EXPECT_DOUBLE_EQ(v->y1, c.y1) << c.name;
    EXPECT_DOUBLE_EQ(v->y2, c.y2) << c.name;
    EXPECT_EQ(v->display_flags.bits() & 0x007, 0u) << c.name << ": the limit no longer follows the data";
    paint(v);
    EXPECT_DOUBLE_EQ(v->y1, c.y1) << c.name << ": the next paint keeps a limit put by hand";
    EXPECT_DOUBLE_EQ(v->y2, c.y2) << c.name;
  }
}

TEST_F(Views, MeasuringKeysWithoutExactlyOneFileAskForOne) {
  TDrawView* v = open({peak("a.xdd"), peak("b.xdd")});
  for (char c : {'h', 'c', 'i'}) key(v, c);
  EXPECT_EQ(shown("Must select only one file for FWHM"), 3) << "the same message for FWHM, centroid and area";
  screen.user_command(command_id::add_view);
  key(focused(), 'h');
  EXPECT_EQ(shown("Must select only one file for FWHM"), 4) << "and for a view without a file";
  EXPECT_EQ(screen.dialog_of_resource(4232), 0) << "no result was written";
}

TEST_F(Views, DraggingMovesTheCurveByTheDataDistanceOfTheMouse) {
  const struct {
    const char* name;
    const char* mode;
    int dx, dy;               // pixels
    double shift_x, shift_y;  // data units
  } rows[] = {{"right by one degree", "mAanip_x", 20, 0, 1.0, 0.0},
              {"left by half a degree", "mAanip_x", -10, 0, -0.5, 0.0},
              {"up by ten counts", "mAanip_y", 0, -20, 0.0, 10.0},
              {"down by five counts", "mAanip_y", 0, 10, 0.0, -5.0}};
  for (const auto& c : rows) {
    TDrawView* v = open({peak(std::to_string(&c - rows) + "a.xdd")});
    v->child_or_create(c.mode);
    find(*app, "set_cursors")->execute();
    EXPECT_EQ(screen.frame(v->frame())->cursor, 4157) << c.name << ": the view shows the cursor of dragging";
    plain_window(v);
    assoc_class* file = v->files().front();
    auto* curve = dynamic_cast<xy_data_3*>(find(*file, "xy_yobs"));
    ASSERT_NE(curve, nullptr);
    ASSERT_FALSE(file->is_changed());

    screen.clear_calls();
    press(v, button::left, 40, 200);  // on the baseline at x = 22
    EXPECT_TRUE(screen.called("capture_mouse " + std::to_string(v->frame()))) << c.name;
    const std::vector<std::string> held = paint(v);
    ASSERT_GE(held.size(), 3u);
    EXPECT_TRUE(held[2].starts_with("pen ") && held[2].ends_with(" 1 dot"))
        << c.name << ": the curve being dragged is drawn thin and dotted";
    const std::vector<std::string> handles = calls_starting(held, "ellipse");
    ASSERT_EQ(handles.size(), 21u) << c.name << ": a handle on every second of the 41 points";
    EXPECT_EQ(handles.front(), "ellipse -3 197 3 203") << c.name;
    EXPECT_EQ(handles.back(), "ellipse 397 197 403 203") << c.name;

    move(v, 40 + c.dx, 200 + c.dy);
    release(v, button::left, 40 + c.dx, 200 + c.dy);
    EXPECT_NEAR(curve->x1, 20.0 + c.shift_x, 1e-9) << c.name;
    EXPECT_NEAR(curve->x2, 40.0 + c.shift_x, 1e-9) << c.name;
    EXPECT_NEAR(curve->y[curve->index_of(30.0 + c.shift_x)], 100.0 + c.shift_y, 1e-4) << c.name;
    EXPECT_NEAR(curve->y[curve->index_of(22.0 + c.shift_x)], c.shift_y, 1e-4) << c.name;
    EXPECT_TRUE(file->is_changed()) << c.name;
    EXPECT_TRUE(screen.called("release_mouse")) << c.name;
    const std::vector<std::string> after = paint(v);
    ASSERT_GE(after.size(), 3u);
    EXPECT_EQ(after[2], held[2].substr(0, held[2].size() - 3) + "solid")
        << c.name << ": the pen is restored after the release";
    EXPECT_TRUE(calls_starting(after, "ellipse").empty()) << c.name << ": and the handles are gone";
  }
}

TEST_F(Views, APressOnNoCurveSetsX1WithTheLeftButtonAndX2WithTheRight) {
  TDrawView* v = open({peak("a.xdd")});
  v->child_or_create("mAanip_x");
  plain_window(v);
  press(v, button::left, 100, 20);  // x = 25, y = 90: far from the curve
  EXPECT_DOUBLE_EQ(v->x1, 25.0);
  EXPECT_DOUBLE_EQ(v->x2, 40.0);
  EXPECT_EQ(screen.status_text(2052), "x(25.000, 40.000)  y(0, 100)");
  // Now 15 degrees over 400 pixels: pixel 200 is x = 32.5.
  press(v, button::right, 200, 20);
  EXPECT_DOUBLE_EQ(v->x1, 25.0);
  EXPECT_DOUBLE_EQ(v->x2, 32.5);
  EXPECT_FALSE(files()->child(0)->is_changed()) << "no curve was moved";
}

}  // namespace
