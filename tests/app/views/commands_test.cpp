#include <cstdio>
#include <string>
#include <vector>

#include "core/node_watch.h"
#include "view_bench.h"

namespace {

constexpr std::uint32_t fix_bits = 0x003;
constexpr std::uint32_t fourier_bits = 0x0f0;
constexpr std::uint32_t show_yobs = 0x100;

TEST_F(Views, EachFourierDisplayReplacesTheProfileAndShowYobsBringsItBack) {
  TDrawView* v = open({peak("a.xdd")});
  EXPECT_EQ(v->display_flags.bits(), show_yobs) << "a new view shows the observed profile";
  EXPECT_EQ(title(v), "a.xdd,Yo");
  const struct {
    const char* name;
    int command;
    std::uint32_t bit;
    const char* title;
  } rows[] = {{"FT real and imaginary", 4247, 0x010, "a.xdd,FT(Yo),"},
              {"FT modulus", 4248, 0x020, "a.xdd,FT(Yo),"},
              {"FT quotient real and imaginary", 4249, 0x040, "a.xdd,FT(Yo)/FT(Ref)"},
              {"FT quotient modulus", 4250, 0x080, "a.xdd,FT(Yo)/FT(Ref)"}};
  for (const auto& c : rows) {
    v->display_flags.clear(fix_bits);
    screen.user_command(c.command);
    EXPECT_EQ(v->display_flags.bits() & (fourier_bits | show_yobs), c.bit) << c.name << ": the profile goes";
    EXPECT_EQ(v->display_flags.bits() & fix_bits, fix_bits) << c.name << ": y1 and y2 are pinned to the transform";
    EXPECT_EQ(title(v), c.title) << c.name;
    EXPECT_TRUE(screen.user_enabler(c.command).checked) << c.name;
    EXPECT_FALSE(screen.user_enabler(4251).checked) << c.name << ": Show Yobs is unchecked";

    screen.user_command(4251);
    EXPECT_EQ(v->display_flags.bits() & (fourier_bits | show_yobs), show_yobs)
        << c.name << ": every Fourier curve goes";
    EXPECT_EQ(title(v), "a.xdd,Yo") << c.name;
    EXPECT_FALSE(screen.user_enabler(c.command).checked) << c.name;
    EXPECT_TRUE(screen.user_enabler(4251).checked) << c.name;
  }
}

TEST_F(Views, AnAllViewsFixTogglesTheDefaultAndLeavesViewsThatMatchItUntouched) {
  const struct {
    const char* name;
    int all_command, this_command;
    std::uint32_t bit;
  } rows[] = {{"y1 to zero", 3149, view_command::fix_y1_zero, 0x004},
              {"y2 at max", 3150, view_command::fix_y2_max, 0x002},
              {"y1 at min", 3151, view_command::fix_y1_min, 0x001}};
  for (const auto& c : rows) {
    const std::string n = std::to_string(&c - rows);
    TDrawView* first = open({peak("a" + n + ".xdd")});
    TDrawView* second = open({peak("b" + n + ".xdd")});
    ASSERT_NE(first, second) << c.name;
    screen.user_activates(first->frame());
    screen.user_command(c.this_command);
    ASSERT_TRUE(first->display_flags.test(c.bit)) << c.name;
    screen.user_activates(second->frame());
    const int first_invalidated = screen.frame(first->frame())->invalidations;

    screen.user_command(c.all_command);
    EXPECT_TRUE(recs()->display_flags.test(c.bit)) << c.name << ": the default for new views is on";
    EXPECT_TRUE(screen.user_enabler(c.all_command).checked) << c.name;
    EXPECT_TRUE(first->display_flags.test(c.bit)) << c.name << ": the view that had it on keeps it";
    EXPECT_EQ(screen.frame(first->frame())->invalidations, first_invalidated) << c.name << ": and is not repainted";
    EXPECT_TRUE(second->display_flags.test(c.bit)) << c.name;
    EXPECT_TRUE(screen.user_enabler(c.this_command).checked) << c.name;
    screen.user_command(command_id::add_view);
    EXPECT_TRUE(focused()->display_flags.test(c.bit)) << c.name << ": a new view starts from the default";

    screen.user_command(c.all_command);
    EXPECT_FALSE(recs()->display_flags.test(c.bit)) << c.name;
    EXPECT_FALSE(screen.user_enabler(c.all_command).checked) << c.name;
    for (TDrawView* v : views()) EXPECT_FALSE(v->display_flags.test(c.bit)) << c.name << ": " << title(v);
  }
}

TEST_F(Views, ViewSelectedFilesOpensOneViewPerLineInTheOrderOfTheLines) {
  TDrawView* old = open({peak("a.xdd"), peak("b.xdd"), peak("c.xdd")});
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

}  // namespace
