// A graph view as a person sees it: the curves it paints, dragging a curve
// with the mouse, and the measuring keys.
#include "gui_fixture.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include "xrd/curves/xy_data_3.h"

namespace {

// The rows of a picture that hold at least `least` pixels of a colour.
std::vector<int> rows_of(const QImage& img, QColor c, int least) {
  std::vector<int> rows;
  for (int y = 0; y < img.height(); ++y) {
    int n = 0;
    for (int x = 0; x < img.width(); ++x) n += img.pixelColor(x, y) == c;
    if (n >= least) rows.push_back(y);
  }
  return rows;
}

TEST_F(Gui, LoadingTwoFilesMakesOneViewTitledByTheFirstDrawingBothInTheirColoursWithTheirFileButtons) {
  EXPECT_EQ(button(4010), nullptr) << "no file, no file button";
  load({line("a.xdd", 39.7), line("b.xdd", 40.3)});
  ASSERT_EQ(views().size(), 1u);
  EXPECT_EQ(title(focused()), "a.xdd ...,Yo");
  ASSERT_NE(button(4010), nullptr);
  ASSERT_NE(button(4011), nullptr);
  EXPECT_TRUE(button(4010)->property("ticked").toBool()) << "the focused view shows the first file";
  EXPECT_TRUE(button(4011)->property("ticked").toBool()) << "and the second";
  EXPECT_EQ(status(2052), "x(39.000, 41.000)  y(10, 1010)") << "the view shows all of both files";
  const QImage img = shown(focused());
  EXPECT_GT(count(img, yellow), 50) << "the first file is drawn in the first colour";
  EXPECT_GT(count(img, cyan), 50) << "the second in the second";
  EXPECT_GT(count(img, black), img.width() * img.height() / 2) << "on black";
  EXPECT_EQ(window().windowTitle(), "XRD Fourier Workbench");
}

TEST_F(Gui, TheDottedZeroLineAppearsOnlyWhileZeroIsInsideTheYRange) {
  load({line("a.xdd")});
  TDrawView* v = focused();
  ASSERT_NE(v, nullptr);
  const QImage before = shown(v);
  EXPECT_GT(count(before, yellow), 50);
  EXPECT_EQ(count(before, cyan), 0) << "y runs from 10 up: no zero line";

  trigger(4244);  // Edit x-y scales
  dialog_window* axes = dialog(4240);
  ASSERT_NE(axes, nullptr);
  QLineEdit* y1 = axes->line(4245);
  ASSERT_NE(y1, nullptr);
  y1->selectAll();
  QTest::keyClicks(y1, "-200");
  QTest::keyClick(y1, Qt::Key_Return);
  settle();
  const QImage after = shown(v);
  const std::vector<int> rows = rows_of(after, cyan, after.width() / 3);
  ASSERT_EQ(rows.size(), 1u) << "one light-cyan row across the view";
  EXPECT_LT(count(after, cyan), after.width()) << "dotted, not solid";
  // Zero lies a sixth of the way up from -200 to 1010.
  EXPECT_NEAR(rows.front(), after.height() * (1.0 - 200.0 / 1210.0), 2.0);
  EXPECT_GT(count(after, yellow), 50) << "the curve is still drawn";
}

TEST_F(Gui, HWithOneFileWritesItsWidthToTheTemporaryOutputAndDrawsTheHalfHeightLineOnce) {
  load({line("a.xdd", 40.0, 0.1)});
  TDrawView* v = focused();
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(dialog(4232), nullptr);
  QTest::keyClick(widget(v), 'h');
  // The measuring line is drawn by the next paint only.
  const std::vector<int> measuring = rows_of(shown(v), white, 20);
  settle();
  dialog_window* history = dialog(4232);
  ASSERT_NE(history, nullptr) << "the first result opens the dialog";
  EXPECT_TRUE(history->isVisible());
  EXPECT_EQ(history->windowTitle(), "Tempory output");
  ASSERT_NE(history->text(4233), nullptr);
  // A Gaussian of sigma 0.1: 2 sqrt(2 ln 2) 0.1 = 0.2355 wide at half height.
  EXPECT_EQ(history->text(4233)->toPlainText(), "a.xdd 39.00–41.00°: FWHM = 0.2355°\n");

  ASSERT_EQ(measuring.size(), 1u) << "a white line at half height";
  EXPECT_NEAR(measuring.front(), v->y_pixel(10.0 + 500.0), 2.0);
  widget(v)->update();
  EXPECT_TRUE(rows_of(shown(v), white, 20).empty()) << "the next paint leaves it out";

  QTest::keyClick(widget(v), 'c');
  settle();
  EXPECT_TRUE(history->text(4233)->toPlainText().startsWith(
      "a.xdd 39.00–41.00°: FWHM = 0.2355°\na.xdd 39.00–41.00°: Centroid = 40.0000"))
      << "the centroid is added under the width";
}

// A drag of the curve with the mouse: plain, it moves the curve by the
// data distance of the mouse; with Shift, it stretches the curve about the
// point where the drag began.
struct drag_case {
  std::string name;
  Qt::KeyboardModifiers modifiers;
  int dx;  // pixels
  double width_factor;
};
void PrintTo(const drag_case& c, std::ostream* os) { *os << c.name; }

class CurveDrag : public Gui, public ::testing::WithParamInterface<drag_case> {};

TEST_P(CurveDrag, MovesTheCurveUnderTheMouseAndMarksItsFileChanged) {
  const drag_case& c = GetParam();
  load({line("a.xdd", 40.0)});
  TDrawView* v = focused();
  ASSERT_NE(v, nullptr);
  v->child_or_create("mAanip_x");
  find(*app, "set_cursors")->execute();
  graph_view_widget* w = widget(v);
  EXPECT_EQ(w->cursor().shape(), Qt::SizeAllCursor) << "the view shows the cursor of dragging";
  auto* curve = dynamic_cast<xy_data_3*>(find(*file(0), "xy_yobs"));
  ASSERT_NE(curve, nullptr);
  ASSERT_FALSE(file(0)->is_changed());
  // The right flank at half height (sigma sqrt(2 ln 2) right of the top).
  const double flank = 40.0 + 0.11774;
  const int half = v->y_pixel(510.0);
  const QImage before = shown(v);
  ASSERT_TRUE(near(before, yellow, v->x_pixel(flank), half));

  // On the rising flank, at the point 39.9.
  const QPoint at(v->x_pixel(39.9), v->y_pixel(10.0 + 1000.0 * std::exp(-0.5)));
  const double anchor = v->x_world(at.x());
  hover(w, at);
  EXPECT_NEAR(std::stod(status(2050).substr(3)), anchor, 1e-4) << "the status bar shows the x under the mouse";
  QTest::mousePress(w, Qt::LeftButton, c.modifiers, at);
  settle();
  EXPECT_NE(shown(v), before) << "the curve being dragged is drawn thin and dotted, with handles";
  QTest::mouseEvent(QTest::MouseMove, w, Qt::NoButton, c.modifiers, at + QPoint(c.dx, 0));
  QTest::mouseRelease(w, Qt::LeftButton, c.modifiers, at + QPoint(c.dx, 0));
  settle();

  EXPECT_NEAR(curve->x2 - curve->x1, 2.0 * c.width_factor, 1e-6);
  if (c.width_factor == 1.0)
    EXPECT_NEAR(curve->x1, 39.0 + v->x_distance(c.dx), 1e-6) << "moved by the mouse's distance in data units";
  else
    EXPECT_NEAR((anchor - curve->x1) / (curve->x2 - curve->x1), (anchor - 39.0) / 2.0, 1e-6)
        << "the point where the drag began stays where it was";
  const double flank_now = curve->x1 + (flank - 39.0) * (curve->x2 - curve->x1) / 2.0;
  const QImage after = shown(v);
  EXPECT_TRUE(near(after, yellow, v->x_pixel(flank_now), half)) << "the flank is drawn where it went";
  EXPECT_FALSE(near(after, yellow, v->x_pixel(flank), half)) << "and no longer where it was";
  EXPECT_TRUE(file(0)->is_changed()) << "the file is marked changed";
  EXPECT_EQ(status(2052), "x(39.000, 41.000)  y(10, 1010)") << "the view's limits stay";
}

INSTANTIATE_TEST_SUITE_P(Drags, CurveDrag,
                         ::testing::Values(drag_case{"RightMovesTheCurveRight", Qt::NoModifier, 40, 1.0},
                                           drag_case{"LeftMovesTheCurveLeft", Qt::NoModifier, -25, 1.0},
                                           drag_case{"RightWithShiftStretchesItByAFifth", Qt::ShiftModifier, 20, 1.2},
                                           drag_case{"LeftWithShiftShrinksItByATenth", Qt::ShiftModifier, -10, 0.9}),
                         [](const auto& info) { return info.param.name; });

TEST_F(Gui, TheClickThatBringsAViewForwardIsNotActedOnThere) {
  load({line("a.xdd")});
  load({line("b.xdd")});
  TDrawView* behind = views().front();
  ASSERT_NE(focused(), behind);
  graph_view_widget* w = widget(behind);
  const QPoint beside(w->width() / 4, 10);  // far above the curve
  QTest::mouseClick(w, Qt::LeftButton, {}, beside);
  settle();
  EXPECT_EQ(focused(), behind) << "the view comes forward";
  EXPECT_DOUBLE_EQ(behind->x1, 39.0) << "and keeps its limits";
  hover(w, beside);
  QTest::mouseClick(w, Qt::LeftButton, {}, beside);
  settle();
  EXPECT_NEAR(behind->x1, 39.5, 0.01) << "the next click puts the left limit there";
  EXPECT_EQ(status(2052).substr(0, 7), "x(39.50") << "as the status bar shows";
}

}  // namespace
