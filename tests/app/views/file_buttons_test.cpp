#include <string>
#include <utility>
#include <vector>

#include "core/node_watch.h"
#include "core/paths.h"
#include "view_bench.h"

namespace {

constexpr int tick = 4100;
constexpr int cross = 4010;

class FileButtons : public Views {
 protected:
  // The file buttons in the bar, in order: id and glyph.
  std::vector<std::pair<int, int>> buttons() {
    std::vector<std::pair<int, int>> out;
    for (const platform_types::gadget& g : screen.control_buttons())
      if (g.id >= 4010 && g.id <= 4041) out.emplace_back(g.id, g.bitmap);
    return out;
  }
  platform_types::colour tint(int id) {
    for (const platform_types::gadget& g : screen.control_buttons())
      if (g.id == id) return g.tint;
    return {};
  }
  using glyphs = std::vector<std::pair<int, int>>;
};

TEST_F(FileButtons, EachLoadedFileGetsTheNextColourSlotAfterTheScrollButtons) {
  open({peak("a.xdd"), peak("b.xdd"), peak("c.xdd")});
  const std::vector<platform_types::gadget>& bar = screen.control_buttons();
  ASSERT_EQ(bar.size(), 9u);
  EXPECT_EQ(bar[0].id, 1014);
  EXPECT_EQ(bar[2].id, 1010);
  EXPECT_EQ(bar[4].id, 1009);
  EXPECT_EQ(buttons(), (glyphs{{4010, tick}, {4011, tick}, {4012, tick}})) << "the view shows all three";
  EXPECT_EQ(tint(4010), (platform_types::colour{255, 255, 0})) << "the colours of win_misc c file_colors, in order";
  EXPECT_EQ(tint(4011), (platform_types::colour{0, 255, 255}));
  EXPECT_EQ(tint(4012), (platform_types::colour{255, 0, 255}));
  const assoc_class* colours = query_object("win_misc c file_colors");
  ASSERT_NE(colours, nullptr) << "the colour record stays in the outside records";
  EXPECT_EQ(colours->child_count(), 32);
}

TEST_F(FileButtons, GlyphsFollowTheFocusedViewAndAPressTogglesItsFile) {
  TDrawView* both = open({peak("a.xdd"), peak("b.xdd")});
  screen.user_command(command_id::add_view);
  TDrawView* empty = focused();
  ASSERT_NE(empty, both);
  EXPECT_EQ(buttons(), (glyphs{{4010, cross}, {4011, cross}})) << "the new view shows no file";

  screen.user_presses_button(4011, button::left);
  EXPECT_EQ(title(empty), "b.xdd,Yo") << "the press adds the file to the focused view";
  EXPECT_EQ(buttons(), (glyphs{{4010, cross}, {4011, tick}}));
  EXPECT_EQ(both->lines().size(), 2u) << "the other view is left alone";

  screen.user_activates(both->frame());
  EXPECT_EQ(buttons(), (glyphs{{4010, tick}, {4011, tick}}));
  screen.user_presses_button(4010, button::left);
  EXPECT_EQ(title(both), "b.xdd,Yo") << "a second press takes the file out";
  EXPECT_EQ(buttons(), (glyphs{{4010, cross}, {4011, tick}}));
  screen.user_presses_button(4012, button::left);
  EXPECT_EQ(both->lines().size(), 1u) << "a button without a file does nothing";
}

TEST_F(FileButtons, UnloadingAFileTakesItsLineAtOnceFreesItAtIdleTimeAndItsSlotServesTheNextFile) {
  TDrawView* v = open({peak("a.xdd"), peak("b.xdd")});
  ASSERT_EQ(title(v), "a.xdd ...,Yo");
  node_watch line(v->lines().front());
  screen.queue_popup(view_command::file_unload);
  screen.user_presses_button(4010, button::right);
  EXPECT_EQ(file_count(), 1);
  EXPECT_EQ(v->lines().size(), 1u);
  EXPECT_EQ(title(v), "b.xdd,Yo");
  EXPECT_EQ(buttons(), (glyphs{{4011, tick}})) << "the unloaded file's button leaves the bar";
  EXPECT_TRUE(line) << "the line waits in the deletion bin";
  EXPECT_EQ(app->deletion_bin()->child_count(), 1);
  EXPECT_FALSE(calls_starting(paint(v), "polyline").empty()) << "the view still paints the other file";
  screen.user_idles();
  EXPECT_FALSE(line) << "idle time frees it";

  screen.queue_files({peak("c.xdd")});
  screen.user_command(command_id::load_data);
  EXPECT_EQ(buttons(), (glyphs{{4011, cross}, {4010, tick}})) << "the new file takes the first free slot";
  EXPECT_EQ(tint(4010), (platform_types::colour{255, 255, 0}));
  EXPECT_EQ(title(focused()), "c.xdd,Yo");
}

}  // namespace
