// The Window menu (arranging the views, one view per file), closing a view
// and dropping files on the window.
#include "gui_fixture.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace {

// The views' windows as they sit in the client area.
std::vector<QRect> frames_of(qt_platform& screen, const std::vector<TDrawView*>& views) {
  std::vector<QRect> out;
  for (TDrawView* v : views)
    if (QMdiSubWindow* w = screen.frame_window(v->frame()); w && w->isVisible() && !w->isMinimized())
      out.push_back(w->geometry());
  return out;
}

TEST_F(Gui, ViewAllFilesMakesOneViewPerFileEachShowingAllOfItsFile) {
  load({line("a.xdd", 39.7), line("b.xdd", 40.3, 0.1, 300.0), line("c.xdd")});
  ASSERT_EQ(views().size(), 1u);
  trigger(1283);
  const std::vector<TDrawView*> all = views();
  ASSERT_EQ(all.size(), 3u);
  const char* titles[] = {"a.xdd,Yo", "b.xdd,Yo", "c.xdd,Yo"};
  for (std::size_t i = 0; i < all.size(); ++i) {
    EXPECT_EQ(title(all[i]), titles[i]);
    EXPECT_EQ(all[i]->lines().size(), 1u);
  }
  EXPECT_DOUBLE_EQ(all[1]->y2, 310.0) << "each view is scaled to its file";
  EXPECT_GT(count(shown(all[1]), cyan), 50) << "the second file keeps its colour in its own view";
  EXPECT_EQ(count(shown(all[1]), yellow), 0);
  EXPECT_EQ(frames_of(*screen, all).size(), 3u) << "every view is shown";
}

// A Window-menu arrangement: whether it lets the views overlap, and for the
// tiles whether they stand side by side (one row) or stacked (one column).
enum class tiles { none, side_by_side, stacked };
struct arrange_case {
  std::string name;
  int id;
  bool overlapping;
  tiles layout;
};
void PrintTo(const arrange_case& c, std::ostream* os) { *os << c.name; }

class Arrange : public Gui, public ::testing::WithParamInterface<arrange_case> {};

TEST_P(Arrange, KeepsEveryViewVisibleInsideTheClientArea) {
  const arrange_case& c = GetParam();
  load({line("a.xdd", 39.7)});
  load({line("b.xdd", 40.3)});
  load({line("c.xdd")});
  ASSERT_EQ(views().size(), 3u);
  TDrawView* before = focused();
  trigger(c.id);
  const std::vector<QRect> frames = frames_of(*screen, views());
  ASSERT_EQ(frames.size(), 3u) << "no view is hidden or minimised";
  const QRect client = window().mdi()->viewport()->rect();
  for (const QRect& f : frames) EXPECT_TRUE(client.contains(f)) << "inside the client area";
  bool overlap = false;
  for (std::size_t i = 0; i < frames.size(); ++i)
    for (std::size_t j = i + 1; j < frames.size(); ++j) {
      overlap = overlap || frames[i].intersects(frames[j]);
      EXPECT_NE(frames[i].topLeft(), frames[j].topLeft());
    }
  EXPECT_EQ(overlap, c.overlapping);
  for (const QRect& f : frames) {
    if (c.layout == tiles::side_by_side) {
      EXPECT_EQ(f.top(), client.top());
      EXPECT_EQ(f.height(), client.height()) << "each view as tall as the client";
    }
    if (c.layout == tiles::stacked) {
      EXPECT_EQ(f.left(), client.left());
      EXPECT_EQ(f.width(), client.width()) << "each view as wide as the client";
    }
  }
  EXPECT_EQ(focused(), before) << "the focused view keeps the focus";
  EXPECT_GT(count(shown(views()[0]), yellow), 50) << "the views still paint their curves";
  EXPECT_GT(count(shown(views()[1]), cyan), 50);
}

INSTANTIATE_TEST_SUITE_P(Window, Arrange,
                         ::testing::Values(arrange_case{"Cascade", 24361, true, tiles::none},
                                           arrange_case{"TileVerticalSideBySide", 24362, false, tiles::side_by_side},
                                           arrange_case{"TileHorizontalStacked", 24363, false, tiles::stacked}),
                         [](const auto& info) { return info.param.name; });

TEST_F(Gui, ArrangeIconsLinesTheMinimisedViewsUpAlongTheBottom) {
  load({line("a.xdd")});
  load({line("b.xdd")});
  load({line("c.xdd")});
  const std::vector<TDrawView*> all = views();
  QMdiSubWindow* a = screen->frame_window(all[0]->frame());
  QMdiSubWindow* b = screen->frame_window(all[1]->frame());
  QMdiSubWindow* c = screen->frame_window(all[2]->frame());
  a->showMinimized();
  b->showMinimized();
  settle();
  a->move(200, 150);  // dragged away from the others
  const QRect open = c->geometry();
  trigger(24364);
  const int bottom = window().mdi()->viewport()->height();
  EXPECT_EQ(a->geometry().bottom() + 1, bottom);
  EXPECT_EQ(b->geometry().bottom() + 1, bottom);
  EXPECT_FALSE(a->geometry().intersects(b->geometry()));
  EXPECT_EQ(c->geometry(), open) << "a view that is not minimised stays where it is";
}

TEST_F(Gui, ClosingAViewWithItsCloseBoxHandsTheFocusToTheOtherView) {
  load({line("a.xdd")});
  load({line("b.xdd", 40.0, 0.1, 200.0)});
  ASSERT_EQ(views().size(), 2u);
  TDrawView* first = views().front();
  QMdiSubWindow* second = screen->frame_window(focused()->frame());
  ASSERT_TRUE(second->close());
  settle();
  ASSERT_EQ(views().size(), 1u);
  EXPECT_EQ(focused(), first);
  EXPECT_EQ(status(2052), "x(39.000, 41.000)  y(10, 1010)") << "the status bar shows the remaining view's limits";
  EXPECT_TRUE(button(4010)->property("ticked").toBool()) << "the buttons follow the remaining view";
  EXPECT_FALSE(button(4011)->property("ticked").toBool());
  EXPECT_EQ(file_count(), 2) << "closing a view unloads nothing";
  QTest::qWait(300);  // the closed view goes at idle time
  EXPECT_GT(count(shown(first), yellow), 50);
}

TEST_F(Gui, AFileDroppedOnTheWindowLoadsIntoANewViewAndJoinsTheRecentFiles) {
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(QString::fromStdString(line("dropped.xdd")))});
  QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window(), &enter);
  EXPECT_TRUE(enter.isAccepted()) << "the window takes files";
  QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window(), &drop);
  settle();
  ASSERT_EQ(views().size(), 1u);
  EXPECT_EQ(title(focused()), "dropped.xdd,Yo");
  ASSERT_FALSE(window().recent().isEmpty());
  EXPECT_TRUE(window().recent().front().endsWith("/dropped.xdd"));
}

TEST_F(Gui, TiledViewsStayTiledInsideTheClientWhenTheWindowIsResizedAndCascadedOnesAreLeft) {
  load({line("a.xdd", 39.7)});
  load({line("b.xdd", 40.3)});
  trigger(24362);  // Tile Vertical
  for (const QSize smaller : {QSize(-200, -150), QSize(120, 80)}) {
    window().resize(window().size() + smaller);
    settle();
    const QRect client = window().mdi()->viewport()->rect();
    const std::vector<QRect> frames = frames_of(*screen, views());
    ASSERT_EQ(frames.size(), 2u);
    for (const QRect& f : frames) {
      EXPECT_TRUE(client.contains(f)) << "no view is cut off below or right";
      EXPECT_EQ(f.height(), client.height()) << "each view as tall as the client";
    }
  }
  trigger(24361);  // Cascade
  const std::vector<QRect> cascaded = frames_of(*screen, views());
  window().resize(window().size() + QSize(-100, -60));
  settle();
  EXPECT_EQ(frames_of(*screen, views()), cascaded) << "cascaded views are not tiled again";
}

}  // namespace
