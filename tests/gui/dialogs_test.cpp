// The dialogs and questions a person meets: the axes dialog, the options
// dialog, the About box and the question asked before the window closes.
#include "gui_fixture.h"

#include <QLineEdit>

namespace {

class Axes : public Gui {
 protected:
  // Types a number into one of the axes dialog's edits and presses Enter.
  static void enter(dialog_window* axes, int control, const char* text) {
    QLineEdit* edit = axes->line(control);
    ASSERT_NE(edit, nullptr) << "edit " << control;
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Return);
    settle();
  }
  // What the edits show: x1, x2, y1, y2.
  static QStringList limits_shown(dialog_window* axes) {
    QStringList texts;
    for (int control : {4244, 4246, 4245, 4247}) texts << (axes->line(control) ? axes->line(control)->text() : "?");
    return texts;
  }
};

TEST_F(Axes, EditXyScalesShowsTheFocusedViewsLimitsAndEnterAppliesOne) {
  load({line("a.xdd")});
  TDrawView* v = focused();
  ASSERT_NE(v, nullptr);
  trigger(4244);
  dialog_window* axes = dialog(4240);
  ASSERT_NE(axes, nullptr);
  EXPECT_TRUE(axes->isVisible());
  EXPECT_EQ(axes->windowTitle(), "Window: a.xdd,Yo");
  EXPECT_EQ(limits_shown(axes), QStringList({"39.0000", "41.0000", "10.0", "1010.0"}));

  enter(axes, 4244, "40.05");
  EXPECT_DOUBLE_EQ(v->x1, 40.05);
  EXPECT_EQ(status(2052), "x(40.050, 41.000)  y(10, 1010)");
  EXPECT_EQ(limits_shown(axes), QStringList({"40.0500", "41.0000", "10.0", "1010.0"}));
  EXPECT_TRUE(near(shown(v), yellow, v->x_pixel(40.118), v->y_pixel(510.0)))
      << "the right flank is drawn at its place in the narrower range";

}

TEST_F(Axes, ALimitTypedPastTheOtherEndSwapsThem) {
  const struct {
    int control;
    const char* text;
    const char* status;
  } rows[] = {{4244, "45", "x(41.000, 45.000)  y(10, 1010)"},
              {4246, "30", "x(30.000, 41.000)  y(10, 1010)"},
              {4245, "2000", "x(30.000, 41.000)  y(1010, 2000)"},
              {4247, "-5", "x(30.000, 41.000)  y(-5, 1010)"}};
  load({line("a.xdd")});
  TDrawView* v = focused();
  trigger(4244);
  dialog_window* axes = dialog(4240);
  ASSERT_NE(axes, nullptr);
  for (const auto& r : rows) {
    enter(axes, r.control, r.text);
    EXPECT_EQ(status(2052), r.status) << "after " << r.text << " in edit " << r.control;
    EXPECT_LT(v->x1, v->x2);
    EXPECT_LT(v->y1, v->y2);
  }
  EXPECT_EQ(limits_shown(axes), QStringList({"30.0000", "41.0000", "-5.0", "1010.0"}));
}

TEST_F(Axes, TheAxesDialogFollowsTheFocusToAnotherView) {
  load({line("a.xdd")});
  trigger(4244);
  dialog_window* axes = dialog(4240);
  ASSERT_NE(axes, nullptr);
  load({line("b.xdd", 40.0, 0.1, 200.0)});
  ASSERT_EQ(views().size(), 2u);
  EXPECT_EQ(axes->windowTitle(), "Window: b.xdd,Yo");
  EXPECT_EQ(limits_shown(axes), QStringList({"39.0000", "41.0000", "10.0", "210.0"}));
  enter(axes, 4244, "40");
  EXPECT_DOUBLE_EQ(focused()->x1, 40.0) << "the limit goes to the view now focused";
  EXPECT_DOUBLE_EQ(views().front()->x1, 39.0) << "not to the first";
}

TEST_F(Gui, TheOptionsDialogsCloseBoxAndEscapeHideItAndShowOptionsBringsTheSameWindowBack) {
  trigger(4156);  // Show Options
  dialog_window* options = dialog(4148);
  ASSERT_NE(options, nullptr);
  EXPECT_TRUE(options->isVisible());
  EXPECT_EQ(options->windowTitle(), "Options");
  options->close();
  settle();
  EXPECT_FALSE(options->isVisible());
  trigger(4156);
  ASSERT_EQ(dialog(4148), options) << "the same window";
  EXPECT_TRUE(options->isVisible());
  QTest::keyClick(options, Qt::Key_Escape);
  settle();
  EXPECT_FALSE(options->isVisible());
  EXPECT_EQ(dialog(4148), options);
}

TEST_F(Gui, AboutShowsTheApplicationsName) {
  trigger(205);
  ASSERT_EQ(screen->messages.size(), 1u);
  EXPECT_EQ(screen->messages.front().rfind("XRD Fourier Workbench\n", 0), 0u) << screen->messages.front();
}

TEST_F(Gui, ClosingWhileAChangedFileIsKeptAsksEachTimeAndKeepsTheWindow) {
  load({line("a.xdd")});
  file(0)->set_changed(true);
  for (int attempt = 1; attempt <= 2; ++attempt) {
    screen->queued_yes_no.push_back(false);
    window().close();
    settle();
    EXPECT_TRUE(screen->queued_yes_no.empty()) << "attempt " << attempt << " asked";
    EXPECT_TRUE(window().isVisible()) << "attempt " << attempt;
    EXPECT_EQ(file_count(), 1);
    EXPECT_EQ(views().size(), 1u);
  }
  screen->queued_yes_no.push_back(false);
  trigger(24310);  // Exit
  EXPECT_TRUE(screen->queued_yes_no.empty());
  EXPECT_TRUE(window().isVisible()) << "Exit asks the same";
}

}  // namespace
