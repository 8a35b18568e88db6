// Axes, legend, line patterns and the light background, as a person sees
// them in the workbench's views.
#include <algorithm>

#include <QSettings>

#include "app/platform/command_ids.h"
#include "app/qt/qt_surface.h"
#include "app/views/colors_3.h"
#include "app/views/for_dr_vw_3.h"
#include "app/views/paper_surface.h"
#include "gui_fixture.h"

namespace {

class PlotLook : public Gui {
 protected:
  PlotLook() { choose(true, true, false); }
  // The look a person chose in an earlier run, as this run reads it at start.
  void choose(bool axes, bool legend, bool light) {
    screen->set_setting(view_look::axes_key, axes ? "1" : "0");
    screen->set_setting(view_look::legend_key, legend ? "1" : "0");
    screen->set_setting(view_look::light_key, light ? "1" : "0");
    view_look::load(*screen);
  }
  // A flat scan at `level` counts with one line at 40 degrees.
  std::string flat(const std::string& name, double level = 100.0, int points = 201) {
    std::ofstream f(dir / name);
    const double step = 2.0 / (points - 1);
    f << "A flat scan\n39 " << step << " 41\n1 1 1.5406\n";
    for (int i = 0; i < points; ++i) {
      const double x = 39.0 + step * i;
      f << level + 500.0 * std::exp(-(x - 40.0) * (x - 40.0) / 0.005) << "\n";
    }
    return (dir / name).string();
  }
  // Starts the workbench again, as a person does the next day.
  void restart() {
    session.reset();
    session = std::make_unique<application_session>();
    app = session->app();
    app->init_main_window();
    settle();
  }
};

bool is(const QImage& img, int x, int y, QColor c) { return img.pixelColor(x, y) == c; }

TEST_F(PlotLook, TickNumbersArePaintedInTheMarginsAndTheCurveStaysInsideThePlot) {
  load({line("a.xdd")});
  TDrawView* v = focused();
  ASSERT_NE(v, nullptr);
  const QImage img = shown(v);
  ASSERT_GT(v->left, 20) << "the plot leaves room for the y numbers";
  ASSERT_LT(v->bottom, img.height() - 20) << "and for the x numbers and caption";
  int in_left_margin = 0, in_bottom_margin = 0, curve_inside = 0, curve_outside = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = 0; x < img.width(); ++x) {
      const QColor c = img.pixelColor(x, y);
      const bool inside = x >= v->left && x <= v->right && y >= v->top && y <= v->bottom;
      if (c == yellow) (inside ? curve_inside : curve_outside) += 1;
      // Beyond the frame, one pixel outside the plot, and its ticks.
      if (c != black && x < v->left - 8) ++in_left_margin;
      if (c != black && y > v->bottom + 8) ++in_bottom_margin;
    }
  EXPECT_GT(in_left_margin, 30) << "the y numbers";
  EXPECT_GT(in_bottom_margin, 30) << "the x numbers and the caption";
  EXPECT_GT(curve_inside, 100) << "the curve is drawn";
  EXPECT_EQ(curve_outside, 0) << "nothing of the curve outside the plot";
  EXPECT_EQ(img.pixelColor(v->left - 1, (v->top + v->bottom) / 2), white) << "the plot's frame";
}

TEST_F(PlotLook, ALeftPressSetsTheLeftLimitToTheValueUnderItWithAxesOnAndOff) {
  for (const bool axes : {true, false}) {
    choose(axes, false, false);
    load({line(axes ? "on.xdd" : "off.xdd")});
    TDrawView* v = focused();
    ASSERT_NE(v, nullptr);
    graph_view_widget* w = widget(v);
    const QImage img = shown(v);
    // The plot's edges as the picture shows them: inside the frame, or the
    // whole window without axes.
    int first = 0, last = img.width() - 1;
    if (axes) {
      const int row = img.height() / 2;
      first = -1;
      for (int x = 0; x < img.width() / 2 && first < 0; ++x)
        if (is(img, x, row, white) && is(img, x, row - 5, white) && is(img, x, row + 5, white)) first = x + 1;
      for (int x = img.width() - 1; x > img.width() / 2; --x)
        if (is(img, x, row, white) && is(img, x, row - 5, white) && is(img, x, row + 5, white)) {
          last = x - 1;
          break;
        }
      ASSERT_GT(first, 10) << "the frame's left side";
    }
    const double x1 = v->x1, x2 = v->x2;
    const int at = first + (last - first) / 4;
    const double expected = x1 + (x2 - x1) * (at - first) / (last - first);
    hover(w, QPoint(at, 10));
    QTest::mouseClick(w, Qt::LeftButton, {}, QPoint(at, 10));
    settle();
    EXPECT_NEAR(v->x1, expected, (x2 - x1) / (last - first)) << (axes ? "with axes" : "without axes");
  }
}

TEST_F(PlotLook, TheLegendNamesEachCurveDrawnOnABoxInTheCurvesColour) {
  load({line("a.xdd"), line("b.xdd", 40.3)});
  TDrawView* v = focused();
  ASSERT_NE(v, nullptr);
  const QImage img = shown(v);
  std::vector<std::string> names;
  for (const legend_entry& e : v->drawn_curves()) names.push_back(e.name);
  EXPECT_EQ(names, (std::vector<std::string>{"a.xdd observed", "b.xdd observed"}));
  // The box stands at the plot's top right: a swatch of each colour in its
  // upper right quarter, on black, framed in white.
  int yellow_swatch = 0, cyan_swatch = 0;
  for (int y = v->top; y < v->top + 60; ++y)
    for (int x = (v->left + v->right) / 2; x <= v->right; ++x) {
      yellow_swatch += img.pixelColor(x, y) == yellow;
      cyan_swatch += img.pixelColor(x, y) == cyan;
    }
  EXPECT_GE(yellow_swatch, 20) << "a.xdd's swatch";
  EXPECT_GE(cyan_swatch, 20) << "b.xdd's swatch";

  trigger(view_command::legend);
  EXPECT_FALSE(view_look::current().legend);
  const QImage without = shown(v);
  // The box's frame and names are the only white in the plot's upper right.
  auto white_in_corner = [&](const QImage& picture) {
    int n = 0;
    for (int y = v->top; y < v->top + 60; ++y)
      for (int x = (v->left + v->right) / 2; x <= v->right; ++x) n += picture.pixelColor(x, y) == white;
    return n;
  };
  EXPECT_GT(white_in_corner(img), 100) << "the legend's box";
  EXPECT_EQ(white_in_corner(without), 0) << "View > Legend takes it away";
}

// Pixels along a patterned curve alternate between its colour and the
// background; the observed profile is one unbroken line. Along the flat
// part left of the line for curves of fewer points than pixels; on the
// line's flank, column by column, for a dense one (its flat part lies under
// the dotted zero line).
TEST_F(PlotLook, TheCurvesOfOneFileAreToldApartByTheirPatterns) {
  choose(false, false, false);
  const struct {
    const char* what;
    int points;
    std::uint32_t family;
    bool broken;
  } rows[] = {
      {"the observed profile is solid", 201, show_bits::observed, false},
      {"the inverse is dotted", 201, show_bits::inverse, true},
      {"a dense observed profile is solid", 20001, show_bits::observed, false},
      {"a dense inverse is dotted across its columns", 20001, show_bits::inverse, true},
  };
  for (const auto& r : rows) {
    load({flat(std::string("flat") + std::to_string(&r - rows) + ".xdd", 100.0, r.points)});
    auto* v = dynamic_cast<for_dr_vw_3*>(view_list(*app)->last_view());
    ASSERT_NE(v, nullptr) << r.what;
    v->show_families(r.family);
    v->y1 = -200.0;
    v->y2 = 1000.0;
    v->display_flags.clear(view_bits::fix_y1_at_min | view_bits::fix_y2_at_max | view_bits::fix_y1_at_zero);
    v->recompute_scale();
    v->invalidate_all();
    settle();
    const QImage img = shown(v);
    const QColor ink = to_qcolor(colour_slots(*v)->colour_of(v->files().front()));
    const bool dense = r.points > 2 * img.width();
    std::vector<bool> lit;
    if (dense) {
      // Whether each column of the rising flank holds any of the curve.
      for (int x = v->x_pixel(39.9); x <= v->x_pixel(39.97); ++x) {
        bool on = false;
        for (int y = 0; y < img.height(); ++y) on |= img.pixelColor(x, y) == ink;
        lit.push_back(on);
      }
    } else {
      // Along the row where the flat part runs.
      const int from = v->x_pixel(39.1), to = v->x_pixel(39.7);
      int row = 0, most = 0;
      for (int y = 0; y < img.height(); ++y) {
        int n = 0;
        for (int x = from; x <= to; ++x) n += img.pixelColor(x, y) == ink;
        if (n > most) most = n, row = y;
      }
      for (int x = from; x <= to; ++x) {
        bool on = false;
        for (int dy = -1; dy <= 1; ++dy) on |= img.pixelColor(x, row + dy) == ink;
        lit.push_back(on);
      }
    }
    const int columns = static_cast<int>(lit.size());
    const int on = static_cast<int>(std::count(lit.begin(), lit.end(), true));
    int changes = 0;
    for (std::size_t i = 1; i < lit.size(); ++i) changes += lit[i] != lit[i - 1];
    ASSERT_GT(columns, 10) << r.what;
    if (r.broken) {
      EXPECT_GT(on, columns / 5) << r.what;
      EXPECT_LT(on, columns * 3 / 4) << r.what;
      EXPECT_GT(changes, columns / 4) << r.what;
    } else {
      EXPECT_EQ(on, columns) << r.what;
    }
    v->close_window();
    settle();
  }
}

TEST_F(PlotLook, TheLightBackgroundIsWhiteWithTheFiguresDarkenedColours) {
  load({line("a.xdd")});
  TDrawView* v = focused();
  ASSERT_NE(v, nullptr);
  trigger(view_command::light_background);
  const QImage img = shown(v);
  const QColor darkened = to_qcolor(readable_on_white({255, 255, 0}));
  EXPECT_EQ(img.pixelColor(v->right - 2, v->bottom - 2), white) << "white paper";
  EXPECT_EQ(img.pixelColor(2, 2), white) << "the margins too";
  EXPECT_EQ(count(img, yellow), 0) << "no yellow on white";
  EXPECT_GT(count(img, darkened), 100) << "the curve in its darkened colour";
  EXPECT_EQ(img.pixelColor(v->left - 1, (v->top + v->bottom) / 2), black) << "a black frame";
}

TEST_F(PlotLook, TheChoicesOfTheViewMenuAreKeptForTheNextRun) {
  load({line("a.xdd")});
  load({line("c.xdd")});
  for (TDrawView* each : views()) shown(each);
  ASSERT_GT(views().front()->left, 0) << "axes round every view";
  trigger(view_command::axes);
  for (TDrawView* each : views()) {
    shown(each);
    EXPECT_EQ(each->left, 0) << "View > Axes takes them from every view: " << title(each);
  }
  trigger(view_command::light_background);
  EXPECT_EQ(QSettings().value(view_look::axes_key).toString(), "0");
  EXPECT_EQ(QSettings().value(view_look::light_key).toString(), "1");
  view_look::current() = view_look{};  // what a new run starts from
  restart();
  EXPECT_FALSE(view_look::current().axes);
  EXPECT_TRUE(view_look::current().legend);
  EXPECT_TRUE(view_look::current().light);
  load({line("b.xdd")});
  TDrawView* v = focused();
  ASSERT_NE(v, nullptr);
  shown(v);
  EXPECT_EQ(v->left, 0) << "without axes the whole window is the plot";
  EXPECT_EQ(v->top, 0);
}

}  // namespace
