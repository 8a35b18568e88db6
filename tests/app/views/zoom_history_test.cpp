#include <functional>
#include <string>

#include "zoom_bench.h"

namespace {

using gesture = std::function<void(TDrawView*)>;

class ZoomHistory : public Zoom {
 protected:
  // A view of one triangle showing x 22 to 38 and y 10 to 90 of it, with
  // nothing to go back to.
  TDrawView* zoomed_in_view(const std::string& name) {
    TDrawView* v = plain_view(name);
    v->child_or_create("mAanip_x");
    limits(v, 22.0, 38.0, 10.0, 90.0);
    paint(v);
    return v;
  }
  void back() { screen.user_command(view_command::zoom_back); }
  void forward() { screen.user_command(view_command::zoom_forward); }
  bool can_go_back() { return enabled(view_command::zoom_back); }
  bool can_go_forward() { return enabled(view_command::zoom_forward); }
  void notch(TDrawView* v, int steps = 1, bool shift = false) {
    wheel(v, v->x_pixel(27.0), v->y_pixel(40.0), steps, shift);
  }
  void type_limit(int edit, const std::string& text) {
    screen.user_command(command_id::edit_scales);
    const int axes = screen.dialog_of_resource(4240);
    screen.user_types(axes, edit, text);
    screen.user_presses_enter(axes, edit);
  }
};

TEST_F(ZoomHistory, EveryWayOfMovingTheLimitsIsOneStepThatBackUndoesAndForwardRedoes) {
  const struct {
    const char* name;
    gesture act;
  } rows[] = {
      {"a notch of the wheel", [this](TDrawView* v) { notch(v); }},
      {"Shift and the wheel", [this](TDrawView* v) { notch(v, -1, true); }},
      {"a box drawn with Ctrl",
       [this](TDrawView* v) { ctrl_drag(v, v->x_pixel(25.0), v->y_pixel(30.0), v->x_pixel(32.0), v->y_pixel(60.0)); }},
      {"Show all", [this](TDrawView*) { screen.user_command(view_command::show_all); }},
      {"the s key", [this](TDrawView* v) { key(v, 's'); }},
      {"Show all views", [this](TDrawView*) { screen.user_command(view_command::show_all_views); }},
      {"x1 typed in the axes dialog", [this](TDrawView*) { type_limit(4244, "25"); }},
      {"y2 typed in the axes dialog", [this](TDrawView*) { type_limit(4247, "70"); }},
      {"the scroll button", [this](TDrawView*) { screen.user_presses_button(view_command::scroll, button::left); }},
      {"the extend-x button", [this](TDrawView*) { screen.user_presses_button(view_command::extend_x, button::right); }},
      {"the extend-y button", [this](TDrawView*) { screen.user_presses_button(view_command::extend_y, button::left); }},
      {"the a key", [this](TDrawView* v) { key(v, 'a'); }},
      {"the b key",
       [this](TDrawView* v) {
         move(v, 100, v->y_pixel(50.0));
         key(v, 'b');
       }},
      {"the t key",
       [this](TDrawView* v) {
         move(v, 100, v->y_pixel(50.0));
         key(v, 't');
       }},
      {"a left press that sets x1", [this](TDrawView* v) { press(v, button::left, v->x_pixel(24.0), v->y_pixel(85.0)); }},
      {"a right press that sets x2",
       [this](TDrawView* v) { press(v, button::right, v->x_pixel(36.0), v->y_pixel(85.0)); }},
  };
  for (const auto& r : rows) {
    TDrawView* v = zoomed_in_view(std::to_string(&r - rows) + ".xdd");
    EXPECT_FALSE(can_go_back()) << r.name;
    EXPECT_FALSE(can_go_forward()) << r.name;
    const view_limits before = shown_limits(v);
    r.act(v);
    const view_limits after = shown_limits(v);
    ASSERT_FALSE(after == before) << r.name << " moved the limits";
    EXPECT_TRUE(can_go_back()) << r.name;
    EXPECT_FALSE(can_go_forward()) << r.name;
    back();
    EXPECT_TRUE(shown_limits(v) == before) << r.name << ": Back returns to the limits before";
    EXPECT_EQ(status_limits(), limits_of(v)) << r.name << ": the status bar follows";
    EXPECT_FALSE(can_go_back()) << r.name << ": the one step";
    EXPECT_TRUE(can_go_forward()) << r.name;
    forward();
    EXPECT_TRUE(shown_limits(v) == after) << r.name << ": Forward to those after";
    EXPECT_EQ(status_limits(), limits_of(v)) << r.name;
    EXPECT_TRUE(can_go_back()) << r.name;
    EXPECT_FALSE(can_go_forward()) << r.name;
  }
}

TEST_F(ZoomHistory, BackAndForwardWalkSeveralStepsAndANewZoomAfterBackDropsForward) {
  TDrawView* v = zoomed_in_view("a.xdd");
  const view_limits start = shown_limits(v);
  notch(v);
  const view_limits wheeled = shown_limits(v);
  ctrl_drag(v, v->x_pixel(26.0), v->y_pixel(20.0), v->x_pixel(29.0), v->y_pixel(60.0));
  const view_limits boxed = shown_limits(v);
  screen.user_command(view_command::show_all);
  const view_limits all = shown_limits(v);
  back();
  EXPECT_TRUE(shown_limits(v) == boxed);
  back();
  EXPECT_TRUE(shown_limits(v) == wheeled);
  back();
  EXPECT_TRUE(shown_limits(v) == start);
  EXPECT_FALSE(can_go_back());
  forward();
  forward();
  EXPECT_TRUE(shown_limits(v) == boxed);
  EXPECT_TRUE(can_go_forward()) << "Show all is still ahead";
  move(v, 100, v->y_pixel(40.0));
  key(v, 't');  // a new zoom here
  EXPECT_FALSE(can_go_forward()) << "drops what was ahead";
  forward();
  EXPECT_FALSE(shown_limits(v) == all) << "Forward has nowhere to go";
  back();
  EXPECT_TRUE(shown_limits(v) == boxed);
}

TEST_F(ZoomHistory, WheelTurnsAndHeldButtonStepsMakeOneStepUntilAnotherGestureComesBetween) {
  TDrawView* v = zoomed_in_view("a.xdd");
  const view_limits start = shown_limits(v);
  notch(v);
  notch(v);
  notch(v, 2);
  const view_limits four_in = shown_limits(v);
  back();
  EXPECT_TRUE(shown_limits(v) == start) << "four notches, one step";
  EXPECT_FALSE(can_go_back());
  forward();
  EXPECT_TRUE(shown_limits(v) == four_in);

  notch(v);
  const view_limits five_in = shown_limits(v);
  notch(v, 1, true);
  back();
  EXPECT_TRUE(shown_limits(v) == five_in) << "a y zoom is a step apart from the x zoom before it";
  back();
  EXPECT_TRUE(shown_limits(v) == four_in) << "Forward then the wheel: Back is a gesture between";

  notch(v);
  const view_limits one_more = shown_limits(v);
  key(v, '1');  // a key between
  notch(v);
  back();
  EXPECT_TRUE(shown_limits(v) == one_more) << "a key came between";
  back();
  EXPECT_TRUE(shown_limits(v) == four_in);

  for (int i = 0; i < 3; ++i) screen.user_presses_button(view_command::scroll, button::right);
  EXPECT_DOUBLE_EQ(v->x1, four_in.x1 + 3 * (four_in.x2 - four_in.x1) / 10.0);
  back();
  EXPECT_TRUE(shown_limits(v) == four_in) << "the steps of a held scroll button go back in one";
}

TEST_F(ZoomHistory, TurningTheWheelInAndOutAgainLeavesNothingToGoBackTo) {
  TDrawView* v = zoomed_in_view("a.xdd");
  notch(v, 3);
  notch(v, -1);
  notch(v, -2);
  EXPECT_FALSE(can_go_back());
}

TEST_F(ZoomHistory, BackOverAYZoomLetsYFollowTheDataAgain) {
  TDrawView* v = zoomed_in_view("a.xdd");
  screen.user_command(view_command::fix_y2_max);
  paint(v);
  EXPECT_DOUBLE_EQ(v->y2, 100.0) << "y2 follows the top of the data";
  notch(v, 1, true);
  EXPECT_FALSE(screen.user_enabler(view_command::fix_y2_max).checked) << "a y zoom by hand ends it";
  paint(v);
  EXPECT_LT(v->y2, 100.0);
  back();
  EXPECT_TRUE(screen.user_enabler(view_command::fix_y2_max).checked);
  paint(v);
  EXPECT_DOUBLE_EQ(v->y2, 100.0);
}

TEST_F(ZoomHistory, EachViewAndEachOfItsFamiliesKeepsAHistoryOfItsOwn) {
  TDrawView* first = zoomed_in_view("a.xdd");
  notch(first);
  TDrawView* second = zoomed_in_view("b.xdd");
  ASSERT_NE(first, second);
  EXPECT_FALSE(can_go_back()) << "the new view has zoomed nowhere yet";
  screen.user_activates(first->frame());
  ASSERT_EQ(focused(), first);
  EXPECT_TRUE(can_go_back());

  const view_limits profile_start = shown_limits(first);
  notch(first);
  screen.user_command(view_command::show_transform_mod);
  EXPECT_FALSE(can_go_back()) << "the transform's x is another quantity";
  notch(first);
  const view_limits transform_zoomed = shown_limits(first);
  screen.user_command(view_command::show_observed);
  EXPECT_TRUE(can_go_back());
  back();
  EXPECT_TRUE(shown_limits(first) == profile_start) << "the profile's history is where it was";
  screen.user_command(view_command::show_transform_mod);
  EXPECT_TRUE(shown_limits(first) == transform_zoomed);
  back();
  EXPECT_FALSE(shown_limits(first) == transform_zoomed);
  EXPECT_FALSE(can_go_back());
}

}  // namespace
