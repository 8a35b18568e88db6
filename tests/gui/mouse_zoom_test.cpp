// Zooming a graph view with the real mouse: the wheel, a touchpad, a box
// drawn with Ctrl, and View > Back and Forward.
#include "gui_fixture.h"

#include <QWheelEvent>

#include <algorithm>

#include "app/shell/for_app_3.h"

namespace {

const QColor box_grey(160, 160, 160);

class MouseZoom : public Gui {
 protected:
  // One Gaussian line in a view that has been painted, so that the view's
  // mapping is the one on screen.
  TDrawView* painted_view() {
    load({line("a.xdd")});
    TDrawView* v = focused();
    if (v) shown(v);
    return v;
  }
  // A turn of the wheel over a point of the widget, in eighths of a degree
  // (120 is one notch of a mouse wheel).
  static void turn(QWidget* w, QPoint at, int eighths, Qt::KeyboardModifiers modifiers = {}) {
    QWheelEvent e(QPointF(at), QPointF(w->mapToGlobal(at)), QPoint(), QPoint(0, eighths), Qt::NoButton, modifiers,
                  Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &e);
    settle();
  }
  bool enabled(int id) {
    QAction* a = window().action(id);
    if (!a) return false;
    window().update_enablers(qobject_cast<QMenu*>(a->parent()));
    return a->isEnabled();
  }
  std::string limits_of(TDrawView* v) { return limits_text(v->x1, v->x2, v->y1, v->y2); }
  // The grey pixels of a row between two columns: the edge of a box.
  static int grey_along(const QImage& img, int y, int from_x, int to_x) {
    int n = 0;
    for (int x = std::min(from_x, to_x) + 1; x < std::max(from_x, to_x); ++x) n += img.pixelColor(x, y) == box_grey;
    return n;
  }
};

TEST_F(MouseZoom, TheWheelZoomsXAroundTheCursorShiftZoomsYAndATouchpadsSmallTurnsAddUpToANotch) {
  TDrawView* v = painted_view();
  ASSERT_NE(v, nullptr);
  graph_view_widget* w = widget(v);
  const QPoint at(v->x_pixel(39.6), v->y_pixel(300.0));
  const double x_under = v->x_world(at.x()), y_under = v->y_world(at.y());
  const struct {
    const char* name;
    std::vector<int> turns;  // eighths of a degree, one event each
    Qt::KeyboardModifiers modifiers;
    double x_range, y_range;  // after the turns
  } rows[] = {{"a notch away narrows x", {120}, {}, 2.0 / 1.25, 1000.0},
              {"with Shift a notch away narrows y", {120}, Qt::ShiftModifier, 2.0 / 1.25, 1000.0 / 1.25},
              {"three small turns of a touchpad are no notch yet", {-40, -40, -30}, {}, 2.0 / 1.25, 800.0},
              {"the fourth completes one: x widens", {-10}, {}, 2.0, 800.0},
              {"two notches at once", {240}, {}, 2.0 / 1.5625, 800.0}};
  for (const auto& r : rows) {
    for (int eighths : r.turns) turn(w, at, eighths, r.modifiers);
    EXPECT_NEAR(v->x2 - v->x1, r.x_range, 1e-9) << r.name;
    EXPECT_NEAR(v->y2 - v->y1, r.y_range, 1e-6) << r.name;
    EXPECT_NEAR(v->x_world(at.x()), x_under, 1e-9) << r.name << ": the value under the cursor stays";
    EXPECT_NEAR(v->y_world(at.y()), y_under, 1e-6) << r.name;
    EXPECT_EQ(status(2052), limits_of(v)) << r.name << ": the status bar follows";
  }
  // What is drawn follows: the rising flank crosses 510 counts a half
  // width (sigma sqrt(2 ln 2)) left of the top.
  const QImage img = shown(v);
  EXPECT_TRUE(near(img, yellow, v->x_pixel(40.0 - 0.11774), v->y_pixel(510.0))) << "the curve is drawn in the new limits";
}

TEST_F(MouseZoom, ACtrlDragZoomsToItsBoxAndBackAndForwardWalkTheHistory) {
  TDrawView* v = painted_view();
  ASSERT_NE(v, nullptr);
  graph_view_widget* w = widget(v);
  const std::string all = status(2052);
  EXPECT_FALSE(enabled(view_command::zoom_back)) << "nothing to go back to yet";
  EXPECT_FALSE(enabled(view_command::zoom_forward));
  const QPoint from(v->x_pixel(39.7), v->y_pixel(900.0));
  const QPoint to(v->x_pixel(40.4), v->y_pixel(200.0));
  const double x1 = v->x_world(from.x()), x2 = v->x_world(to.x());
  const double y1 = v->y_world(to.y()), y2 = v->y_world(from.y());

  hover(w, from);
  QTest::mousePress(w, Qt::LeftButton, Qt::ControlModifier, from);
  QTest::mouseEvent(QTest::MouseMove, w, Qt::NoButton, Qt::ControlModifier, to);
  settle();
  const QImage dragging = shown(v);
  const int width = to.x() - from.x();
  EXPECT_GT(grey_along(dragging, from.y(), from.x(), to.x()), width / 2) << "the box is drawn as it is dragged, dashed";
  EXPECT_LT(grey_along(dragging, from.y(), from.x(), to.x()), width - 1);
  EXPECT_GT(grey_along(dragging, to.y(), from.x(), to.x()), width / 2) << "its other side";
  EXPECT_EQ(status(2052), all) << "nothing zooms before the release";
  QTest::mouseRelease(w, Qt::LeftButton, Qt::ControlModifier, to);
  settle();
  EXPECT_NEAR(v->x1, x1, 1e-9);
  EXPECT_NEAR(v->x2, x2, 1e-9);
  EXPECT_NEAR(v->y1, y1, 1e-6);
  EXPECT_NEAR(v->y2, y2, 1e-6);
  const std::string boxed = status(2052);
  EXPECT_EQ(boxed, limits_of(v));
  const QImage released = shown(v);
  EXPECT_EQ(grey_along(released, from.y(), from.x(), to.x()), 0) << "the box goes with the release";
  EXPECT_EQ(grey_along(released, to.y(), from.x(), to.x()), 0);
  EXPECT_FALSE(file(0)->is_changed()) << "no curve was taken";

  trigger(view_command::zoom_back);
  EXPECT_EQ(status(2052), all) << "Back";
  EXPECT_FALSE(enabled(view_command::zoom_back));
  trigger(view_command::zoom_forward);
  EXPECT_EQ(status(2052), boxed) << "Forward";
  EXPECT_FALSE(enabled(view_command::zoom_forward));

  // A box taken back with Escape zooms nowhere.
  hover(w, from);
  QTest::mousePress(w, Qt::LeftButton, Qt::ControlModifier, from);
  QTest::mouseEvent(QTest::MouseMove, w, Qt::NoButton, Qt::ControlModifier, to);
  QTest::keyClick(w, Qt::Key_Escape);
  settle();
  EXPECT_EQ(grey_along(shown(v), from.y(), from.x(), to.x()), 0) << "Escape takes the box away at once";
  QTest::mouseRelease(w, Qt::LeftButton, Qt::ControlModifier, to);
  settle();
  EXPECT_EQ(status(2052), boxed);
}

}  // namespace
