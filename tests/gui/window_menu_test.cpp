// The Window menu as a person uses it: its list of the open views and texts,
// and its Next and Close.
#include <QPlainTextEdit>

#include "app/platform/command_ids.h"
#include "gui_fixture.h"

namespace {

// The entries of the Window menu below its commands: the windows' titles,
// the ticked one marked with a star.
QStringList listed(QMenu* menu) {
  QStringList out;
  for (QAction* a : menu->actions())
    if (!a->isSeparator() && !a->menu() && !a->data().isValid())
      out << (a->isChecked() ? "*" : "") + a->text();
  return out;
}

QAction* entry(QMenu* menu, const QString& text) {
  for (QAction* a : menu->actions())
    if (a->text() == text) return a;
  return nullptr;
}

TEST_F(Gui, TheWindowMenuListsTheViewsAndTextsTickingTheActiveOneAndChoosingOneActivatesIt) {
  QMenu* menu = open_menu("&Window");
  ASSERT_NE(menu, nullptr);
  EXPECT_TRUE(listed(menu).isEmpty()) << "no window, no list";
  close_menu(menu);

  load({line("a.xdd")});
  load({line("b.xdd")});
  trigger(command_id::new_txt);
  ASSERT_EQ(window().mdi()->subWindowList().size(), 3);
  const QString text_title = window().mdi()->activeSubWindow()->windowTitle();

  menu = open_menu("&Window");
  EXPECT_EQ(listed(menu), QStringList({"&1 a.xdd,Yo", "&2 b.xdd,Yo", "*&3 " + text_title}))
      << "each by its title, the active text ticked";
  QAction* first = entry(menu, "&1 a.xdd,Yo");
  ASSERT_NE(first, nullptr);
  first->trigger();
  close_menu(menu);
  EXPECT_EQ(window().mdi()->activeSubWindow(), window().mdi()->subWindowList().front());
  EXPECT_EQ(focused(), views().front()) << "the view chosen has the focus";

  menu = open_menu("&Window");
  EXPECT_EQ(listed(menu), QStringList({"*&1 a.xdd,Yo", "&2 b.xdd,Yo", "&3 " + text_title}))
      << "the list is made again each time the menu opens";
  close_menu(menu);
}

TEST_F(Gui, WindowNextAndCloseAreGreyWithoutWindowsToActOn) {
  auto enabled = [this](int id) {
    QMenu* menu = open_menu("&Window");
    const bool on = window().action(id)->isEnabled();
    close_menu(menu);
    return on;
  };
  EXPECT_FALSE(enabled(command_id::next_window));
  EXPECT_FALSE(enabled(command_id::close_window));
  load({line("a.xdd")});
  EXPECT_FALSE(enabled(command_id::next_window)) << "one window has no next";
  EXPECT_TRUE(enabled(command_id::close_window));
  load({line("b.xdd")});
  EXPECT_TRUE(enabled(command_id::next_window));

  trigger(command_id::next_window);
  EXPECT_EQ(focused(), views().front()) << "after the last comes the first";
  trigger(command_id::close_window);
  ASSERT_EQ(views().size(), 1u);
  EXPECT_EQ(title(views().front()), "b.xdd,Yo");
}

}  // namespace
