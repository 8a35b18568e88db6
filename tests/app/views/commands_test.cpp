#include <cstdio>
#include <string>
#include <vector>

#include "core/node_watch.h"
#include "view_bench.h"

namespace {

constexpr std::uint32_t fix_bits = 0x003;
constexpr std::uint32_t fourier_bits = 0x0f0;
constexpr std::uint32_t show_yobs = 0x100;

struct display_case {
  std::string name;
  int command;
  std::uint32_t bit;
  std::string title;
};
void PrintTo(const display_case& c, std::ostream* os) { *os << c.name; }

class FourierDisplay : public Views, public ::testing::WithParamInterface<display_case> {};

TEST_P(FourierDisplay, ReplacesTheProfileAndShowYobsBringsItBack) {
  const display_case& c = GetParam();
  TDrawView* v = open({peak("a.xdd")});
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->display_flags.bits(), show_yobs) << "a new view shows the observed profile";
  EXPECT_EQ(title(v), "a.xdd,Yo");

  screen.user_command(c.command);
  EXPECT_EQ(v->display_flags.bits() & (fourier_bits | show_yobs), c.bit) << "the profile is no longer shown";
  EXPECT_EQ(v->display_flags.bits() & fix_bits, fix_bits) << "y1 and y2 are pinned to the transform";
  EXPECT_EQ(title(v), "a.xdd" + c.title);
  EXPECT_TRUE(screen.user_enabler(c.command).checked);
  EXPECT_FALSE(screen.user_enabler(4251).checked) << "Show Yobs is unchecked";

  screen.user_command(4251);
  EXPECT_EQ(v->display_flags.bits() & (fourier_bits | show_yobs), show_yobs) << "every Fourier curve is cleared";
  EXPECT_EQ(title(v), "a.xdd,Yo");
  EXPECT_FALSE(screen.user_enabler(c.command).checked);
  EXPECT_TRUE(screen.user_enabler(4251).checked);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, FourierDisplay,
    ::testing::Values(display_case{"FT_real_and_imaginary", 4247, 0x010, ",FT(Yo),"},
                      display_case{"FT_modulus", 4248, 0x020, ",FT(Yo),"},
                      display_case{"FT_quotient_real_and_imaginary", 4249, 0x040, ",FT(Yo)/FT(Ref)"},
                      display_case{"FT_quotient_modulus", 4250, 0x080, ",FT(Yo)/FT(Ref)"}),
    [](const auto& info) { return info.param.name; });

struct all_views_case {
  std::string name;
  int all_command, this_command;
  std::uint32_t bit;
};
void PrintTo(const all_views_case& c, std::ostream* os) { *os << c.name; }

class AllViewsFix : public Views, public ::testing::WithParamInterface<all_views_case> {};

TEST_P(AllViewsFix, TogglesTheDefaultAndLeavesViewsThatMatchItUntouched) {
  const all_views_case& c = GetParam();
  TDrawView* first = open({peak("a.xdd")});
  TDrawView* second = open({peak("b.xdd")});
  ASSERT_TRUE(first && second && first != second);
  screen.user_activates(first->frame());
  screen.user_command(c.this_command);
  ASSERT_TRUE(first->display_flags.test(c.bit));
  screen.user_activates(second->frame());
  const int first_invalidated = screen.frame(first->frame())->invalidations;

  screen.user_command(c.all_command);
  EXPECT_TRUE(recs()->display_flags.test(c.bit)) << "the default for new views is on";
  EXPECT_TRUE(screen.user_enabler(c.all_command).checked);
  EXPECT_TRUE(first->display_flags.test(c.bit)) << "the view that had it on keeps it";
  EXPECT_EQ(screen.frame(first->frame())->invalidations, first_invalidated) << "and is not repainted";
  EXPECT_TRUE(second->display_flags.test(c.bit));
  EXPECT_TRUE(screen.user_enabler(c.this_command).checked);
  screen.user_command(command_id::add_view);
  EXPECT_TRUE(focused()->display_flags.test(c.bit)) << "a new view starts from the default";

  screen.user_command(c.all_command);
  EXPECT_FALSE(recs()->display_flags.test(c.bit));
  EXPECT_FALSE(screen.user_enabler(c.all_command).checked);
  for (TDrawView* v : views()) EXPECT_FALSE(v->display_flags.test(c.bit)) << title(v);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, AllViewsFix,
    ::testing::Values(all_views_case{"y1_to_zero", 3149, view_command::fix_y1_zero, 0x004},
                      all_views_case{"y2_at_max", 3150, view_command::fix_y2_max, 0x002},
                      all_views_case{"y1_at_min", 3151, view_command::fix_y1_min, 0x001}),
    [](const auto& info) { return info.param.name; });

TEST_F(Views, ViewSelectedFilesOpensOneViewPerLineInTheOrderOfTheLines) {
  TDrawView* old = open({peak("a.xdd"), peak("b.xdd"), peak("c.xdd")});
  ASSERT_NE(old, nullptr);
  // Off and on again: the first file's line is now the last.
  screen.user_presses_button(4010, button::left);
  screen.user_presses_button(4010, button::left);
  ASSERT_EQ(title(old), "b.xdd ...,Yo");
  node_watch old_view(old);

  screen.user_command(command_id::view_selected_files);
  EXPECT_FALSE(old_view) << "the old view is gone";
  std::vector<std::string> titles;
  for (TDrawView* v : views()) {
    titles.push_back(title(v));
    EXPECT_EQ(v->lines().size(), 1u);
  }
  EXPECT_EQ(titles, (std::vector<std::string>{"b.xdd,Yo", "c.xdd,Yo", "a.xdd,Yo"}));
  EXPECT_TRUE(screen.client_shown());
}

TEST_F(Views, ViewAllFilesWithNothingLoadedLeavesTheViewsAlone) {
  screen.user_command(command_id::add_view);
  TDrawView* v = focused();
  ASSERT_NE(v, nullptr);
  const int frames = screen.last_frame();
  screen.user_command(command_id::view_all_files);
  EXPECT_EQ(views(), std::vector<TDrawView*>{v});
  EXPECT_TRUE(screen.frame(v->frame())->exists);
  EXPECT_EQ(screen.last_frame(), frames) << "no frame was made";
}

TEST_F(Views, ViewSelectedFilesNeedsAFileAndAFocusedView) {
  EXPECT_FALSE(screen.user_enabler(command_id::view_selected_files).enabled) << "with no file loaded";
  ASSERT_NE(session->load_file(peak("a.xdd")), nullptr);
  ASSERT_TRUE(views().empty());
  EXPECT_FALSE(screen.user_enabler(command_id::view_selected_files).enabled) << "with no view focused";
  screen.user_command(command_id::add_view);
  EXPECT_TRUE(screen.user_enabler(command_id::view_selected_files).enabled);
}

TEST_F(Views, ClosingAViewsFrameTakesItOffTheListAndTheFocusMovesOn) {
  TDrawView* first = open({peak("a.xdd")});
  TDrawView* second = open({peak("b.xdd")});
  ASSERT_TRUE(first && second && focused() == second);
  EXPECT_TRUE(screen.user_closes_frame(second->frame()));
  EXPECT_EQ(views(), std::vector<TDrawView*>{first});
  EXPECT_EQ(focused(), first);
  screen.user_idles();
  screen.user_command(view_command::show_all);
  EXPECT_EQ(title(first), "a.xdd,Yo");
}

struct step_case {
  std::string name;
  int id;
  platform_types::mouse_button pressed;
  double x1, x2, y1, y2;
  std::uint32_t fixes_left;
};
void PrintTo(const step_case& c, std::ostream* os) { *os << c.name; }

class ControlBarStep : public Views, public ::testing::WithParamInterface<step_case> {};

TEST_P(ControlBarStep, MovesTheLimitsByATenthOfTheRange) {
  const step_case& c = GetParam();
  TDrawView* v = open({peak("a.xdd")});
  ASSERT_NE(v, nullptr);
  plain_window(v);  // x 20 to 40, y 0 to 100: steps of 2 and 10
  v->display_flags.set(0x007);
  screen.user_presses_button(c.id, c.pressed);
  EXPECT_DOUBLE_EQ(v->x1, c.x1);
  EXPECT_DOUBLE_EQ(v->x2, c.x2);
  EXPECT_DOUBLE_EQ(v->y1, c.y1);
  EXPECT_DOUBLE_EQ(v->y2, c.y2);
  EXPECT_EQ(v->display_flags.bits() & 0x007, c.fixes_left) << "a limit moved by hand no longer follows the data";
  char status[64];
  std::snprintf(status, sizeof status, "x(%.3f, %.3f)  y(%.0f, %.0f)", c.x1, c.x2, c.y1, c.y2);
  EXPECT_EQ(screen.status_text(2052), status);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, ControlBarStep,
    ::testing::Values(step_case{"scroll_left", 1009, platform_types::mouse_button::left, 18, 38, 0, 100, 0x007},
                      step_case{"scroll_right", 1009, platform_types::mouse_button::right, 22, 42, 0, 100, 0x007},
                      step_case{"extend_left", 1010, platform_types::mouse_button::left, 18, 40, 0, 100, 0x007},
                      step_case{"extend_right", 1010, platform_types::mouse_button::right, 20, 42, 0, 100, 0x007},
                      step_case{"extend_up", 1014, platform_types::mouse_button::left, 20, 40, 0, 110, 0x005},
                      step_case{"extend_down", 1014, platform_types::mouse_button::right, 20, 40, -10, 100, 0x002}),
    [](const auto& info) { return info.param.name; });

}  // namespace
