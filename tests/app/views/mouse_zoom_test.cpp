#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/text_helpers.h"
#include "xrd/curves/xy_data_3.h"
#include "zoom_bench.h"

namespace {

constexpr std::uint32_t y_fixes = 0x007;

TEST_F(Zoom, TurningTheWheelKeepsTheValueUnderTheCursorAndScalesOneRangeByAQuarterANotch) {
  const struct {
    const char* name;
    int steps;
    bool shift;
    double at_x, at_y;  // where the cursor is, in data units
    std::uint32_t fixes_after;
  } rows[] = {{"a notch away narrows x", 1, false, 25.0, 50.0, y_fixes},
              {"two notches toward the user widen x", -2, false, 37.0, 80.0, y_fixes},
              {"with Shift a notch away narrows y and y stops following the data", 1, true, 25.0, 20.0, 0},
              {"with Shift three notches toward the user widen y", -3, true, 30.0, 90.0, 0}};
  TDrawView* v = plain_view();
  screen.user_command(command_id::edit_scales);
  const int axes = screen.dialog_of_resource(4240);
  ASSERT_NE(axes, 0);
  for (const auto& r : rows) {
    plain_window(v);
    paint(v);
    v->display_flags.set(y_fixes);
    const int px = v->x_pixel(r.at_x), py = v->y_pixel(r.at_y);
    const view_limits before = shown_limits(v);
    const double under_x = v->x_world(px), under_y = v->y_world(py);
    wheel(v, px, py, r.steps, r.shift);
    const double factor = std::pow(1.25, r.steps);
    EXPECT_NEAR(v->x_world(px), under_x, 1e-9) << r.name;
    EXPECT_NEAR(v->y_world(py), under_y, 1e-9) << r.name;
    EXPECT_NEAR(v->x2 - v->x1, (before.x2 - before.x1) / (r.shift ? 1.0 : factor), 1e-9) << r.name;
    EXPECT_NEAR(v->y2 - v->y1, (before.y2 - before.y1) / (r.shift ? factor : 1.0), 1e-9) << r.name;
    EXPECT_EQ(v->display_flags.bits() & y_fixes, r.fixes_after) << r.name;
    EXPECT_EQ(status_limits(), limits_of(v)) << r.name << ": the status bar follows";
    EXPECT_EQ(screen.control_text(axes, 4244), text_of(v->x1)) << r.name << ": and the axes dialog";
    EXPECT_EQ(screen.control_text(axes, 4246), text_of(v->x2)) << r.name;
    EXPECT_EQ(screen.status_text(2050), format_number("x= %-1.4f", under_x)) << r.name << ": the cursor's x";
  }
}

TEST_F(Zoom, TheWheelStopsNarrowingBeforeTheRangeIsTooSmallToDraw) {
  TDrawView* v = plain_view();
  const int px = v->x_pixel(30.0);
  const double under = v->x_world(px);
  for (int i = 0; i < 100; ++i) wheel(v, px, 100, 1);
  EXPECT_GE(v->x2 - v->x1, win_lims_9::smallest_range);
  EXPECT_LT(v->x2 - v->x1, 1.25 * win_lims_9::smallest_range) << "it went as far as it could";
  EXPECT_NEAR(v->x_world(px), under, 1e-9) << "with the value under the cursor kept";
  for (int i = 0; i < 400; ++i) wheel(v, px, 100, -1);
  EXPECT_LE(v->x2 - v->x1, 1e30) << "and widening stops while the numbers still mean something";
  wheel(v, px, 100, -2000);
  EXPECT_TRUE(std::isfinite(v->x1) && std::isfinite(v->x2)) << "even for a turn no wheel could make";
  EXPECT_EQ(status_limits().find("nan"), std::string::npos);
  EXPECT_EQ(status_limits().find("inf"), std::string::npos);
}

TEST_F(Zoom, ACtrlDragZoomsToTheWorldRectangleOfItsBox) {
  TDrawView* v = plain_view();
  v->display_flags.set(y_fixes);
  // Dragged from the lower right to the upper left: the box is the same.
  const int from_x = v->x_pixel(33.0), from_y = v->y_pixel(10.0);
  const int to_x = v->x_pixel(26.0), to_y = v->y_pixel(70.0);
  const double want_x1 = v->x_world(to_x), want_x2 = v->x_world(from_x);
  const double want_y1 = v->y_world(from_y), want_y2 = v->y_world(to_y);
  ctrl_press(v, from_x, from_y);
  EXPECT_TRUE(screen.called("capture_mouse " + std::to_string(v->frame()))) << "the drag keeps the mouse";
  move(v, to_x, to_y);
  EXPECT_EQ(v->x1, 20.0) << "nothing zooms before the release";
  const std::vector<std::string> drawn = paint(v);
  const std::vector<std::string> boxes = calls_starting(drawn, "rectangle");
  ASSERT_FALSE(boxes.empty()) << "the box is drawn while it is dragged";
  EXPECT_EQ(boxes.back(), call("rectangle", {to_x, to_y, from_x, from_y}));
  EXPECT_TRUE(std::find(drawn.begin(), drawn.end(), "pen 160 160 160 1 dash") != drawn.end()) << "dashed grey";
  release(v, button::left, to_x, to_y);
  EXPECT_DOUBLE_EQ(v->x1, want_x1);
  EXPECT_DOUBLE_EQ(v->x2, want_x2);
  EXPECT_DOUBLE_EQ(v->y1, want_y1);
  EXPECT_DOUBLE_EQ(v->y2, want_y2);
  EXPECT_EQ(v->display_flags.bits() & y_fixes, 0u) << "y stays where the box put it";
  EXPECT_EQ(status_limits(), limits_of(v));
  EXPECT_TRUE(calls_starting(paint(v), "rectangle").empty()) << "the box goes with the release";
  EXPECT_DOUBLE_EQ(v->y2, want_y2) << "the paint after keeps the box's y";
  EXPECT_FALSE(files()->child(0)->is_changed());
}

TEST_F(Zoom, ABoxOfAFewPixelsOrOneTakenBackLeavesTheLimits) {
  const struct {
    const char* name;
    int dx, dy;          // the drag, in pixels
    char key;            // typed during the drag (0: none)
    bool right_press;    // a right press during the drag
  } rows[] = {{"a box 4 pixels wide", 4, 80, 0, false},
              {"a box 4 pixels high", 120, -4, 0, false},
              {"a click with Ctrl", 0, 0, 0, false},
              {"Escape during the drag", 120, -80, 27, false},
              {"a right press during the drag", 120, -80, 0, true}};
  TDrawView* v = plain_view();
  const view_limits before = shown_limits(v);
  for (const auto& r : rows) {
    const int x = v->x_pixel(25.0), y = v->y_pixel(20.0);
    ctrl_press(v, x, y);
    move(v, x + r.dx, y + r.dy);
    if (r.key) key(v, r.key);
    if (r.right_press) mouse(v, action::press, button::right, x + r.dx, y + r.dy);
    if (r.key || r.right_press) {
      EXPECT_FALSE(v->zoom_box_shown()) << r.name;
      EXPECT_TRUE(calls_starting(paint(v), "rectangle").empty()) << r.name << ": the box is gone at once";
      move(v, x + 2 * r.dx, y + 2 * r.dy);
    }
    release(v, button::left, x + 2 * r.dx, y + 2 * r.dy);
    EXPECT_TRUE(shown_limits(v) == before) << r.name;
    EXPECT_FALSE(v->zoom_box_shown()) << r.name;
    EXPECT_FALSE(enabled(view_command::zoom_back)) << r.name << ": and leaves nothing to go back to";
  }
  EXPECT_EQ(v->x1, 20.0) << "the right press set no measuring cursor";
  EXPECT_EQ(v->x2, 40.0);
}

TEST_F(Zoom, ACtrlPressTakesNoCurveAndSetsNoMeasuringCursor) {
  TDrawView* v = plain_view();
  v->child_or_create("mAanip_x");
  assoc_class* file = v->files().front();
  auto* curve = dynamic_cast<xy_data_3*>(find(*file, "xy_yobs"));
  ASSERT_NE(curve, nullptr);
  const struct {
    const char* name;
    double x, y;  // where the press is, in data units
  } rows[] = {{"on the curve's baseline", 22.0, 0.0}, {"on its top", 30.0, 100.0}, {"far from it", 25.0, 90.0}};
  for (const auto& r : rows) {
    const int px = v->x_pixel(r.x), py = v->y_pixel(r.y);
    ctrl_drag(v, px, py, px + 1, py + 1);
    move(v, px + 40, py + 20);
    EXPECT_DOUBLE_EQ(curve->x1, 20.0) << r.name << ": the curve stayed";
    EXPECT_DOUBLE_EQ(curve->y[curve->index_of(30.0)], 100.0) << r.name;
    EXPECT_FALSE(file->is_changed()) << r.name;
    EXPECT_DOUBLE_EQ(v->x1, 20.0) << r.name << ": no cursor set x1";
    EXPECT_DOUBLE_EQ(v->x2, 40.0) << r.name;
  }
  // Without Ctrl the same press is the one it always was.
  press(v, button::left, v->x_pixel(25.0), v->y_pixel(90.0));
  EXPECT_NEAR(v->x1, 25.0, 0.05);
}

}  // namespace
