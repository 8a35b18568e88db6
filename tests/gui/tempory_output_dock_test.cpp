// "Tempory output", where the measuring keys write their results: docked
// under the views, where it covers no plot, and each line saying which file,
// which window and what unit.
#include <QDockWidget>
#include <QPlainTextEdit>

#include "gui_fixture.h"

namespace {

class TemporyOutput : public Gui {
 protected:
  QDockWidget* dock() { return window().findChild<QDockWidget*>("tempory_output"); }
  QStringList lines() {
    dialog_window* d = dialog(4232);
    return d && d->text(4233) ? d->text(4233)->toPlainText().split('\n', Qt::SkipEmptyParts) : QStringList();
  }
  void key(TDrawView* v, char c) {
    QTest::keyClick(widget(v), c);
    settle();
  }
};

TEST_F(TemporyOutput, IsADockUnderTheViewsThatCoversNoneOfThem) {
  load({line("a.xdd")});
  TDrawView* v = focused();
  EXPECT_EQ(dock(), nullptr) << "made with the first result";
  key(v, 'h');
  ASSERT_NE(dock(), nullptr);
  EXPECT_TRUE(dock()->isVisible());
  EXPECT_EQ(dock()->windowTitle(), "Tempory output");
  EXPECT_FALSE(dock()->isFloating());
  EXPECT_EQ(window().dockWidgetArea(dock()), Qt::BottomDockWidgetArea);
  EXPECT_EQ(dialog(4232)->parentWidget(), dock()) << "the same output, docked";
  const QRect views_area = window().mdi()->geometry();
  EXPECT_FALSE(dock()->geometry().intersects(views_area));
  EXPECT_GE(dock()->geometry().top(), views_area.bottom()) << "under the views";
  EXPECT_GT(views_area.height(), dock()->height()) << "the views keep most of the room";
  EXPECT_FALSE(widget(v)->visibleRegion().isEmpty()) << "the view is seen";
}

TEST_F(TemporyOutput, CanBeFloatedAndDockedAgainAndComesBackWithTheNextResultAfterClosing) {
  load({line("a.xdd")});
  TDrawView* v = focused();
  key(v, 'h');
  ASSERT_NE(dock(), nullptr);
  dock()->setFloating(true);
  settle();
  EXPECT_TRUE(dock()->isFloating());
  EXPECT_TRUE(dock()->isWindow()) << "a window of its own";
  key(v, 'c');
  EXPECT_EQ(lines().size(), 2) << "a floating output is written as well";
  dock()->setFloating(false);
  settle();
  EXPECT_EQ(window().dockWidgetArea(dock()), Qt::BottomDockWidgetArea);

  dock()->close();
  settle();
  EXPECT_FALSE(dock()->isVisible());
  key(v, 'i');
  EXPECT_TRUE(dock()->isVisible()) << "the next result shows it again";
  EXPECT_EQ(lines().size(), 3) << "with every line written before";
}

TEST_F(TemporyOutput, EachLineNamesTheFileTheWindowAndTheUnit) {
  load({line("a.xdd", 40.0, 0.1)});
  TDrawView* v = focused();
  key(v, 'h');
  key(v, 'c');
  key(v, 'i');
  const QStringList got = lines();
  ASSERT_EQ(got.size(), 3);
  // A Gaussian of sigma 0.1: 2 sqrt(2 ln 2) 0.1 = 0.2355 wide at half height.
  EXPECT_EQ(got[0], "a.xdd 39.00–41.00°: FWHM = 0.2355°");
  EXPECT_TRUE(got[1].startsWith("a.xdd 39.00–41.00°: Centroid = 40.0000")) << got[1].toStdString();
  EXPECT_TRUE(got[1].endsWith("°"));
  // 1000 high, sigma 0.1: 1000 * 0.1 * sqrt(2 pi) = 250.663 above the flat 10.
  EXPECT_TRUE(got[2].startsWith("a.xdd 39.00–41.00°: Area = 250.6")) << got[2].toStdString();
  EXPECT_TRUE(got[2].endsWith(" counts·°")) << got[2].toStdString();
}

}  // namespace
