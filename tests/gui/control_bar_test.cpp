// The control bar: the file buttons that take files in and out of the
// focused view, their popup, and the scroll and extend buttons.
#include "gui_fixture.h"

#include <QToolButton>

namespace {

TEST_F(Gui, ALeftClickOnAFileButtonTakesItsFileOutOfTheFocusedViewAndAnotherPutsItBack) {
  load({line("a.xdd", 39.7), line("b.xdd", 40.3)});
  TDrawView* v = focused();
  ASSERT_NE(v, nullptr);
  ASSERT_GT(count(shown(v), cyan), 50);

  QTest::mouseClick(button(4011), Qt::LeftButton);
  settle();
  EXPECT_EQ(title(v), "a.xdd,Yo");
  EXPECT_EQ(count(shown(v), cyan), 0) << "the second file's curve is gone";
  EXPECT_GT(count(shown(v), yellow), 50) << "the first one stays";
  ASSERT_NE(button(4011), nullptr);
  EXPECT_FALSE(button(4011)->property("ticked").toBool()) << "its button shows a cross";
  EXPECT_TRUE(button(4010)->property("ticked").toBool());
  EXPECT_EQ(file_count(), 2) << "the file stays loaded";

  QTest::mouseClick(button(4011), Qt::LeftButton);
  settle();
  EXPECT_EQ(title(v), "a.xdd ...,Yo");
  EXPECT_GT(count(shown(v), cyan), 50) << "the second file's curve is back";
  EXPECT_TRUE(button(4011)->property("ticked").toBool());
}

TEST_F(Gui, TheFileButtonsFollowTheFocusedView) {
  load({line("a.xdd", 39.7)});
  load({line("b.xdd", 40.3)});
  ASSERT_EQ(views().size(), 2u);
  EXPECT_FALSE(button(4010)->property("ticked").toBool()) << "the focused view shows the second file only";
  EXPECT_TRUE(button(4011)->property("ticked").toBool());
  TDrawView* first = views().front();
  QMdiSubWindow* sub = screen->frame_window(first->frame());
  window().mdi()->setActiveSubWindow(sub);
  settle();
  ASSERT_EQ(focused(), first);
  EXPECT_TRUE(button(4010)->property("ticked").toBool());
  EXPECT_FALSE(button(4011)->property("ticked").toBool());
}

TEST_F(Gui, ShowAllOfThisFileFromAFileButtonsPopupShowsThatFileAlone) {
  load({line("a.xdd", 39.7), line("b.xdd", 40.3, 0.1, 400.0)});
  TDrawView* v = focused();
  ASSERT_NE(v, nullptr);
  screen->queued_popups.push_back(3025);  // Show all of this file
  QWidget* b = button(4011);
  QTest::mousePress(b, Qt::RightButton);
  QTest::mouseRelease(b, Qt::RightButton);
  settle();
  EXPECT_TRUE(screen->queued_popups.empty()) << "the popup opened";
  EXPECT_EQ(title(v), "b.xdd,Yo");
  const QImage img = shown(v);
  EXPECT_EQ(count(img, yellow), 0);
  EXPECT_GT(count(img, cyan), 50);
  EXPECT_EQ(status(2052), "x(39.000, 41.000)  y(10, 410)") << "scaled to that file";
  EXPECT_FALSE(button(4010)->property("ticked").toBool());
  EXPECT_TRUE(button(4011)->property("ticked").toBool());
  EXPECT_EQ(file_count(), 2);
}

TEST_F(Gui, TheMouseOverAFileButtonShowsItsFileInTheStatusBarUntilItLeaves) {
  load({line("a.xdd"), line("b.xdd")});
  QWidget* b = button(4011);
  hover(b, b->rect().center());
  EXPECT_NE(hint().find("b.xdd"), std::string::npos) << hint();
  EXPECT_NE(hint().find("Npts= 201"), std::string::npos) << hint();
  hover(widget(focused()), QPoint(100, 100));
  EXPECT_EQ(hint(), "") << "and only while it is there";
}

// A press of a scroll or extend button, and where the focused view's limits
// go, in tenths of the ranges they had.
struct step_case {
  std::string name;
  int id;
  Qt::MouseButton mouse;
  double x1, x2, y1, y2;
  std::uint32_t fixes_left;  // of the limits that followed the data
};
void PrintTo(const step_case& c, std::ostream* os) { *os << c.name; }

class BarStep : public Gui, public ::testing::WithParamInterface<step_case> {};

TEST_P(BarStep, MovesTheFocusedViewsLimitsByATenthOfItsRange) {
  const step_case& c = GetParam();
  load({line("a.xdd")});  // x 39 to 41, y 10 to 1010
  TDrawView* v = focused();
  ASSERT_NE(v, nullptr);
  QWidget* b = button(c.id);
  ASSERT_NE(b, nullptr);
  EXPECT_TRUE(b->isEnabled());
  v->display_flags.set(0x007);
  QTest::mousePress(b, c.mouse);
  settle();
  EXPECT_NEAR(v->x1, 39.0 + 0.2 * c.x1, 1e-9);
  EXPECT_NEAR(v->x2, 41.0 + 0.2 * c.x2, 1e-9);
  EXPECT_NEAR(v->y1, 10.0 + 100.0 * c.y1, 1e-9);
  EXPECT_NEAR(v->y2, 1010.0 + 100.0 * c.y2, 1e-9);
  EXPECT_EQ(status(2052), limits_text(v->x1, v->x2, v->y1, v->y2));
  EXPECT_EQ(v->display_flags.bits() & 0x007, c.fixes_left) << "a limit moved by hand no longer follows the data";
  QTest::mouseRelease(b, c.mouse);
}

INSTANTIATE_TEST_SUITE_P(
    Buttons, BarStep,
    ::testing::Values(step_case{"ScrollLeftWithTheLeftButton", 1009, Qt::LeftButton, -1, -1, 0, 0, 0x007},
                      step_case{"ScrollRightWithTheRightButton", 1009, Qt::RightButton, 1, 1, 0, 0, 0x007},
                      step_case{"ExtendLeftWithTheLeftButton", 1010, Qt::LeftButton, -1, 0, 0, 0, 0x007},
                      step_case{"ExtendRightWithTheRightButton", 1010, Qt::RightButton, 0, 1, 0, 0, 0x007},
                      step_case{"ExtendUpWithTheLeftButton", 1014, Qt::LeftButton, 0, 0, 0, 1, 0x005},
                      step_case{"ExtendDownWithTheRightButton", 1014, Qt::RightButton, 0, 0, -1, 0, 0x002}),
    [](const auto& info) { return info.param.name; });

TEST_F(Gui, HoldingTheScrollButtonScrollsAgainWithEveryMoveOverItAndNowhereElse) {
  load({line("a.xdd")});
  TDrawView* v = focused();
  QWidget* b = button(1009);
  const QPoint c = b->rect().center();
  QTest::mousePress(b, Qt::LeftButton, {}, c);
  QTest::mouseMove(b, c + QPoint(1, 0));
  QTest::mouseMove(b, c + QPoint(2, 0));
  EXPECT_NEAR(v->x1, 39.0 - 3 * 0.2, 1e-9) << "one step for the press, one for each move";
  EXPECT_NEAR(v->x2, 41.0 - 3 * 0.2, 1e-9);
  QTest::mouseMove(b, QPoint(b->width() + 40, c.y()));
  QTest::mouseMove(b, QPoint(b->width() + 60, c.y() + 80));
  EXPECT_NEAR(v->x1, 39.0 - 3 * 0.2, 1e-9) << "moves off the button do not scroll";
  QTest::mouseRelease(b, Qt::LeftButton, {}, c);
  settle();
  ASSERT_NE(qobject_cast<QToolButton*>(b), nullptr);
  EXPECT_FALSE(qobject_cast<QToolButton*>(b)->isDown()) << "the button springs back";
}

}  // namespace
