#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

#include "../chain_test_tree.h"
#include "xrd/plots/plot_xy_3.h"
#include "xrd/measures/temp_line_3.h"

namespace {

using namespace chain_test;

// A triangle of height 5 at x = 10 with its feet at 5 and 15, on 0 elsewhere.
double triangle(double x) { return std::max(0.0, 5.0 - std::fabs(x - 10.0)); }
// The same on the background 2 + x / 10.
double sloped(double x) { return triangle(x) + 2.0 + x / 10.0; }

// How a history line of a.xdd starts: the file and the view's x window.
std::string window_of(double xl, double xr) {
  char text[64];
  std::snprintf(text, sizeof text, "a.xdd %.2f–%.2f°: ", xl, xr);
  return text;
}

TEST(Measures, ReadTheProfileInTheViewsWindowAboveItsBackgroundAndTellTheHistory) {
  const struct {
    const char* name;
    double (*profile)(double);  // over 0 .. 20; null: a constant 4 over 0 .. 5
    double step;
    double xl, xr;
    const char* command;
    const char* result;
  } rows[] = {{"its width at half height is half its base", triangle, 0.4, -1, 21, "FWHM", "FWHM = 5.0000"},
              {"a sample on the half level is its crossing", triangle, 0.5, -1, 21, "FWHM", "FWHM = 5.0000"},
              {"a sloping background is not part of the line", sloped, 0.5, -1, 21, "FWHM", "FWHM = 5.0000"},
              {"a window measures above the line through its own ends", sloped, 0.5, 0.4, 19.6, "FWHM",
               "FWHM = 5.0000"},
              {"a window on one flank crosses once", triangle, 0.5, 7, 10, "FWHM", "Error"},
              {"its centroid is its middle", sloped, 0.5, -1, 21, "Centroid", "Centroid = 10.0000"},
              {"its area is the area above the background", sloped, 0.5, -1, 21, "Area", "Area = 25.000"},
              {"a window beside the profile is empty", triangle, 1.0, 30, 40, "Area", "Error"},
              {"another command is an error", triangle, 1.0, -1, 21, "Median", "Error"},
              {"a constant curve has no area", nullptr, 0, -1, 21, "Area", "Area = 0.000"},
              {"a constant curve has no flank to cross", nullptr, 0, -1, 21, "FWHM", "Error"}};
  for (const auto& c : rows) {
    tree t;
    const int n = c.profile ? static_cast<int>(std::lround(20.0 / c.step)) + 1 : 11;
    assoc_class* file = c.profile ? t.add_file("/d/a.xdd", 0.0, c.step, n, c.profile)
                                  : t.add_file("/d/a.xdd", 0.0, 0.5, n, [](double) { return 4.0; });
    fake_view view;
    view.bits = show_bits::observed;
    view.xl = c.xl;
    view.xr = c.xr;
    auto* plot = tree::node<plot_xy_3>(file, "yobs");
    history_stand_in* history = t.history();  // the plot writes only to a history that exists
    plot->set_view(&view);
    plot->set_text(c.command);
    EXPECT_EQ(plot->last_result(), c.result) << c.name;
    EXPECT_EQ(plot->last_reason().empty(), std::string(c.result) != "Error") << c.name << ": " << plot->last_reason();
    const std::string unit = std::string(c.command) == "Area" ? " counts·°" : "°";
    const std::string told = window_of(c.xl, c.xr) + (std::string(c.result) == "Error"
                                                          ? "Error: " + plot->last_reason()
                                                          : c.result + unit);
    EXPECT_EQ(history->lines, std::vector<std::string>{told}) << "the history gets the line, and why not: " << c.name;
  }
}

TEST(Measures, LeaveALineThatTheNextDrawingShowsOnceInCountsPerSecond) {
  tree t;
  assoc_class* file = t.add_file("/d/a.xdd", 0.0, 0.4, 51, sloped);
  tree::option(file, "tBime")->set_double(4.0);
  auto* plot = tree::node<plot_xy_3>(file, "yobs");
  plot->set_text("FWHM");
  EXPECT_EQ(plot->last_result(), "Error") << "a plot without a view";
  EXPECT_EQ(plot->find_child("temp_line"), nullptr);

  fake_view view;
  view.bits = show_bits::observed | show_bits::counts_per_second;
  view.yb = -1.0;
  view.yt = 3.0;
  plot->set_view(&view);
  plot->set_text("FWHM");
  auto* line = dynamic_cast<temp_line_3*>(plot->find_child("temp_line"));
  ASSERT_NE(line, nullptr);
  EXPECT_NEAR(line->x1, 7.5, 1e-6);
  EXPECT_NEAR(line->x2, 12.5, 1e-6);
  EXPECT_NEAR(line->y1, 2.5 + 2.75, 1e-6) << "half the height above the background where it crosses";
  EXPECT_NEAR(line->y2, 2.5 + 3.25, 1e-6);
  plot->set_text("Centroid");
  EXPECT_NEAR(line->x1, 10.0, 1e-4);
  EXPECT_EQ(std::pair(line->y1, line->y2), std::pair(-4.0, 12.0)) << "the view's height in counts";

  fake_surface surface;
  plot->draw(view, surface);
  ASSERT_EQ(surface.lines.size(), 1u);
  EXPECT_FLOAT_EQ(surface.lines[0][25], 8.0f / 4.0f) << "the curve in counts per second";
  ASSERT_EQ(surface.segments.size(), 1u);
  const std::vector<double> expected{10.0, -1.0, 10.0, 3.0};
  for (int k = 0; k < 4; ++k) EXPECT_NEAR(surface.segments[0][k], expected[k], 1e-6) << "in counts per second";
  EXPECT_EQ(plot->find_child("temp_line"), nullptr) << "the line is shown once";
}

TEST(PlotObjects, ChooseTheirDragModeByTheManipulationNodesAndWhatTheyAllow) {
  using mode = plot_3::drag_mode;
  const struct {
    const char* name;
    const char* plot;
    const char* present;  // the manipulation nodes that exist
    mode expected;
  } rows[] = {{"y comes first", "re", "mAanip_x mAanip_y cAapt", mode::y},
              {"x without a y node", "re", "mAanip_x cAapt", mode::x},
              {"capture without manipulation nodes", "re", "cAapt", mode::capture},
              {"nothing without any node", "re", "", mode::none},
              {"a plot that may not move in x captures", "yobs", "mAanip_x cAapt", mode::capture},
              {"a plot that may not move in y moves in x", "y_for_zero", "mAanip_y mAanip_x", mode::x},
              {"a plot that may not capture does nothing", "y_for_zero", "mAanip_y cAapt", mode::none}};
  for (const auto& c : rows) {
    tree t;
    assoc_class* file = t.add_file("/d/a.xdd", 0.0, 1.0, 21, triangle);
    for (const char* name : {"mAanip_x", "mAanip_y", "cAapt"})
      if (std::string(c.present).find(name) != std::string::npos) t.app->create_child_by_name(name);
    EXPECT_EQ(tree::node<plot_3>(file, c.plot)->choose_drag_mode(), c.expected) << c.name;
  }
}

TEST(DragArithmetic, MovesScalesAndStretchesTheCurve) {
  xy_data_3 xy;
  xy.y.allocate(3);
  xy.y[0] = 1.0f;
  xy.y[2] = 4.0f;
  xy.set_first_step_count(0.0, 5.0, 3);
  plot_xy_3::drag_y(xy, 0.5);
  EXPECT_EQ(xy.y[2], 4.5f);
  plot_xy_3::scale_y(xy, 2.0);
  EXPECT_EQ(xy.y[0], 3.0f);
  plot_xy_3::drag_x(xy, 1.0);
  EXPECT_EQ(std::pair(xy.x1, xy.x2), std::pair(1.0, 11.0));
  double d1 = 0, d2 = 0;
  plot_xy_3::stretch_ends(0.0, 10.0, 5.0, 10.0, d1, d2);
  EXPECT_NEAR(d1, -0.5, 1e-12) << "ten pixels right stretch by a tenth about the anchor";
  EXPECT_NEAR(d2, 0.5, 1e-12);
  plot_xy_3::stretch_x(xy, 6.0, -10.0);
  EXPECT_NEAR(xy.x1, 1.5, 1e-12) << "ten pixels left shrink toward it";
  EXPECT_NEAR(xy.x2, 10.5, 1e-12);
  EXPECT_NEAR(xy.xd, 4.5, 1e-12);
  EXPECT_EQ(plot_xy_3::scale_ratio(3.0, 1.5), 2.0);
  EXPECT_EQ(plot_xy_3::scale_ratio(0.0, 1.0), 1e-4) << "heights keep a magnitude of 1e-4";
  EXPECT_EQ(plot_xy_3::scale_ratio(1.0, -1e-9), -1e4);
}

}  // namespace
