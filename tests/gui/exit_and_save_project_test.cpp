#include <QAction>

#include "app/shell/menu_commands.h"
#include "gui_fixture.h"

namespace {

std::string contents_of(const std::filesystem::path& path) {
  std::ifstream f(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

TEST_F(Gui, AnsweringNoAtExitLeavesEveryFileLoaded) {
  load({line("a.xdd"), line("b.xdd", 40.2), line("c.xdd", 39.8)});
  ASSERT_EQ(file_count(), 3);
  for (int i = 1; i < 3; ++i) find(*file(i), "fBft_f2_lim")->set_text_with_limits("5");
  screen->queued_yes_no = {true, false};  // b may go, c is kept
  trigger(command_id::exit);
  EXPECT_TRUE(screen->queued_yes_no.empty()) << "both modified files were asked about";
  EXPECT_TRUE(window().isVisible());
  EXPECT_EQ(file_count(), 3) << "not even the unmodified file was unloaded";
  ASSERT_FALSE(views().empty());
  EXPECT_EQ(views().front()->files().size(), 3u) << "the view still shows them";
}

TEST_F(Gui, PressingCtrlSSavesTheProjectToItsFileWithoutADialog) {
  load({line("a.xdd")});
  QAction* item = window().action(command_id::save_project);
  ASSERT_NE(item, nullptr);
  EXPECT_TRUE(item->text().startsWith("Save &Project\t")) << item->text().toStdString();
  EXPECT_FALSE(item->text().endsWith("\t")) << "the key is shown beside the item";

  window().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
  // Without a project, Ctrl+S asks for its name.
  platform_types::file_answer chosen;
  chosen.result = platform_types::file_answer::status::chosen;
  chosen.paths = {(dir / "p.PRJ").string()};
  screen->queued_files.push_back(chosen);
  QTest::keyClick(&window(), Qt::Key_S, Qt::ControlModifier);
  settle();
  EXPECT_TRUE(screen->queued_files.empty()) << "the name was asked for";
  ASSERT_TRUE(std::filesystem::exists(dir / "p.PRJ"));

  find(*file(0), "fBft_f2_lim")->set_text_with_limits("6");
  QTest::keyClick(&window(), Qt::Key_S, Qt::ControlModifier);
  settle();
  EXPECT_NE(contents_of(dir / "p.PRJ").find("\nfBft_f2_lim xdd 6.0000"), std::string::npos)
      << "saved to the same file, without a dialog:\n"
      << contents_of(dir / "p.PRJ");
  EXPECT_EQ(status(4138), (dir / "p.PRJ").string());
}

}  // namespace
