// The lines the measuring keys write to "Tempory output": each says which
// file and which window it measured, and in what unit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "../chain_test_tree.h"
#include "xrd/plots/plot_xy_3.h"

namespace {

using namespace chain_test;

// A triangle of height 5 at x = 10 with its feet at 5 and 15, on 2.
double line_on_two(double x) { return 2.0 + std::max(0.0, 5.0 - std::fabs(x - 10.0)); }

TEST(MeasureLines, NameTheFileTheWindowAndTheUnitOfTheResult) {
  const struct {
    const char* name;
    const char* command;
    double xl, xr;
    bool per_second;  // the view shows counts per second (the file counted 4 s)
    const char* told;
    const char* result;  // as the batch tool reads it: no file, no unit
  } rows[] = {
      {"a width is in degrees", "FWHM", -1, 21, false, "fe110.xdd -1.00–21.00°: FWHM = 5.0000°", "FWHM = 5.0000"},
      {"a centroid is in degrees", "Centroid", 2.5, 17.5, false, "fe110.xdd 2.50–17.50°: Centroid = 10.0000°",
       "Centroid = 10.0000"},
      {"an area is in counts times degrees", "Area", -1, 21, false, "fe110.xdd -1.00–21.00°: Area = 25.000 counts·°",
       "Area = 25.000"},
      {"an area read in counts per second is in counts per second times degrees", "Area", -1, 21, true,
       "fe110.xdd -1.00–21.00°: Area = 6.250 counts/s·°", "Area = 6.250"},
      {"a width read in counts per second is still in degrees", "FWHM", -1, 21, true,
       "fe110.xdd -1.00–21.00°: FWHM = 5.0000°", "FWHM = 5.0000"},
  };
  for (const auto& c : rows) {
    tree t;
    assoc_class* file = t.add_file("/data/fe110.xdd", 0.0, 0.5, 41, line_on_two);
    tree::option(file, "tBime")->set_double(4.0);
    fake_view view;
    view.bits = show_bits::observed | (c.per_second ? show_bits::counts_per_second : 0u);
    view.xl = c.xl;
    view.xr = c.xr;
    auto* plot = tree::node<plot_xy_3>(file, "yobs");
    plot->set_view(&view);
    plot->set_text(c.command);
    EXPECT_EQ(t.history()->lines, std::vector<std::string>{c.told}) << c.name;
    EXPECT_EQ(plot->last_result(), c.result) << c.name;
  }
}

TEST(MeasureLines, AMeasureThatCannotBeTakenSaysWhyAfterTheFileAndTheWindow) {
  tree t;
  assoc_class* file = t.add_file("/data/fe110.xdd", 0.0, 0.5, 41, line_on_two);
  fake_view view;
  view.bits = show_bits::observed;
  view.xl = 30;
  view.xr = 40;
  auto* plot = tree::node<plot_xy_3>(file, "yobs");
  plot->set_view(&view);
  plot->set_text("Area");
  ASSERT_EQ(plot->last_result(), "Error");
  ASSERT_FALSE(plot->last_reason().empty());
  EXPECT_EQ(t.history()->lines, std::vector<std::string>{"fe110.xdd 30.00–40.00°: Error: " + plot->last_reason()});
}

}  // namespace
