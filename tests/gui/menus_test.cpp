// The menu bar as a person meets it: its popups, which items are grey or
// ticked when a popup opens, and the hints in the status bar.
#include "gui_fixture.h"

namespace {

QStringList popup_titles(QMenuBar* bar) {
  QStringList titles;
  for (QAction* a : bar->actions())
    if (a->menu()) titles << a->text();
  return titles;
}

TEST_F(Gui, TheMenuBarHoldsFileEditViewWindowAndHelpInThatOrder) {
  EXPECT_EQ(popup_titles(window().menuBar()), QStringList({"&File", "&Edit", "&View", "&Window", "&Help"}));
}

// A View-menu item, the check marks it should show before and after it is
// chosen once, and what it does to the other items.
struct toggle_case {
  std::string name;
  int id;
  bool before, after;
  int cleared = 0;  // an item the choice unticks, 0 for none
};
void PrintTo(const toggle_case& c, std::ostream* os) { *os << c.name; }

class ViewMenuToggle : public Gui, public ::testing::WithParamInterface<toggle_case> {};

TEST_P(ViewMenuToggle, ShowsItsCheckMarkAsTheFocusedViewHasItsBit) {
  const toggle_case& c = GetParam();
  load({line("a.xdd")});
  ASSERT_NE(focused(), nullptr);
  QMenu* menu = open_menu("&View");
  ASSERT_NE(menu, nullptr);
  QAction* item = window().action(c.id);
  EXPECT_TRUE(item->isEnabled());
  EXPECT_EQ(item->isChecked(), c.before) << "before it is chosen";
  if (c.cleared) {
    EXPECT_TRUE(window().action(c.cleared)->isChecked());
  }
  close_menu(menu);

  trigger(c.id);
  menu = open_menu("&View");
  EXPECT_EQ(item->isChecked(), c.after) << "after it is chosen";
  if (c.cleared) {
    EXPECT_FALSE(window().action(c.cleared)->isChecked()) << "the other family is no longer shown";
  }
  close_menu(menu);

  trigger(c.id);
  menu = open_menu("&View");
  EXPECT_EQ(item->isChecked(), c.before) << "after it is chosen again";
  close_menu(menu);
}

INSTANTIATE_TEST_SUITE_P(
    Items, ViewMenuToggle,
    ::testing::Values(toggle_case{"FixY1ToZero", 3042, false, true}, toggle_case{"FixY2AtMax", 3043, false, true},
                      toggle_case{"FixY1AtMin", 3046, false, true},
                      toggle_case{"FixY1ToZeroInAllViews", 3149, false, true},
                      toggle_case{"TransformReIm", 4247, false, true, 4251},
                      toggle_case{"TransformModulus", 4248, false, true, 4251},
                      toggle_case{"QuotientReIm", 4249, false, true, 4251},
                      toggle_case{"QuotientModulus", 4250, false, true, 4251},
                      toggle_case{"Yobs", 4251, true, false}, toggle_case{"InverseTransform", 4252, false, true},
                      toggle_case{"DeconvolutedProfile", 4253, false, true}),
    [](const auto& info) { return info.param.name; });

TEST_F(Gui, TheHintOfTheItemUnderTheMouseShowsInTheStatusBar) {
  const struct {
    const char* popup;
    int id;
    const char* hint;
  } rows[] = {{"&File", 3153, "Load data file(s) into a new view "},
              {"&File", 24310, "Quit the application, prompting to save documents"},
              {"&Window", 1283, "Close all graphics views and create a new view for each file."},
              {"&Window", 24361, "Cascade open windows"}};
  load({line("a.xdd")});
  for (const auto& r : rows) {
    QMenu* menu = open_menu(r.popup);
    ASSERT_NE(menu, nullptr);
    QAction* item = window().action(r.id);
    QTest::mouseMove(menu, menu->actionGeometry(item).center());
    settle();
    EXPECT_EQ(menu->activeAction(), item);
    EXPECT_EQ(hint(), r.hint) << "over item " << r.id;
    close_menu(menu);
  }
}

}  // namespace
