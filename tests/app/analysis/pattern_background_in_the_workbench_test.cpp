// The background under a pattern as the workbench shows it after Analyse
// Pattern, and Edit > Subtract Pattern Background, as a person reaches
// them from the menu of a view.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "../workbench_fixture.h"
#include "app/analysis/line_marks.h"
#include "app/platform/command_ids.h"
#include "app/views/TDrawView.h"
#include "app/views/colors_3.h"
#include "app/views/paper_surface.h"
#include "app/views/view_recs_9.h"
#include "xrd/curves/xy_data_3.h"

namespace {

const std::string fe_sample = XRDF_TEST_DATA "/d8_fe_sample.csv";
const std::string lab6_standard = XRDF_TEST_DATA "/d8_lab6_standard.csv";
constexpr int lattice_edit = 4272;
constexpr double pi = 3.14159265358979323846;

// A synthetic pattern: Gaussian lines of known area on a curved
// background, with counting noise of a fixed seed.
constexpr double first_x = 20.0, step_x = 0.02;
constexpr int points = 3001;
constexpr double line_area = 200.0, line_fwhm = 0.2;  // counts·deg, deg
const std::vector<double> line_positions = {30.0, 45.0, 62.0};

double x_of(int i) { return first_x + step_x * i; }
double background_at(double x) { return 200.0 + 3.0 * (x - 50.0) + 0.05 * (x - 50.0) * (x - 50.0); }
double lines_at(double x) {
  const double sigma = line_fwhm / (2.0 * std::sqrt(2.0 * std::log(2.0)));
  double sum = 0.0;
  for (double c : line_positions)
    sum += line_area / (sigma * std::sqrt(2.0 * pi)) * std::exp(-0.5 * (x - c) * (x - c) / (sigma * sigma));
  return sum;
}
bool near_a_line(double x) {
  return std::any_of(line_positions.begin(), line_positions.end(), [x](double c) { return std::fabs(x - c) < 2.0; });
}

std::vector<double> counts_of(assoc_class& file) {
  std::vector<double> out;
  if (auto* profile = dynamic_cast<xy_data_3*>(find_existing(file, "xy_yobs")))
    for (int i = 0; i < profile->n; ++i) out.push_back(static_cast<double>(profile->y[profile->y.base() + i]));
  return out;
}

std::string path_of(assoc_class& file) {
  assoc_class* p = find_existing(file, "xDdd_path_name");
  return p && p->get_text() ? p->get_text() : "";
}

class PatternBackgroundInTheWorkbench : public Workbench {
 protected:
  TDrawView* load(const std::string& path) {
    screen.queue_files({path});
    screen.user_command(command_id::load_data);
    return view_list(*app)->focused();
  }
  std::string synthetic_pattern() {
    std::mt19937 random(7);
    std::ostringstream text;
    text.precision(10);
    for (int i = 0; i < points; ++i) {
      std::poisson_distribution<int> counts(background_at(x_of(i)) + lines_at(x_of(i)));
      text << x_of(i) << ' ' << counts(random) << '\n';
    }
    return write("pattern.xy", text.str());
  }
  // The pen of a dashed curve in the colour of `file`, as painted.
  std::string dashed_pen_of(TDrawView& view, assoc_class& file) {
    const platform_types::colour c = colour_slots(view)->colour_of(&file);
    return "pen " + std::to_string(c.r) + " " + std::to_string(c.g) + " " + std::to_string(c.b) + " 1 dash";
  }
  bool painted(TDrawView& view, const std::string& call) {
    const std::vector<std::string> calls = screen.user_paints(view.frame());
    return std::find(calls.begin(), calls.end(), call) != calls.end();
  }
};

TEST_F(PatternBackgroundInTheWorkbench, AnalysingAPatternDrawsItsBackgroundDashedUnderItUntilTheMarksAreCleared) {
  const std::string instrument = (dir / "d8_lab6.txt").string();
  std::ostringstream err;
  ASSERT_TRUE(session->instrument(lab6_standard, 1, "sc:4.1569", instrument, err).made) << err.str();
  TDrawView* view = load(fe_sample);
  ASSERT_NE(view, nullptr);
  assoc_class& iron = *view->files().front();
  const std::string pen = dashed_pen_of(*view, iron);
  EXPECT_FALSE(painted(*view, pen)) << "a background before any analysis";

  screen.queue_files({instrument});
  screen.queue_modal(true, [this](platform::dialog_id d) { screen.user_types(d, lattice_edit, "bcc:2.8665"); });
  screen.user_command(view_command::analyse_pattern);
  ASSERT_TRUE(messages().empty()) << messages().front();

  // One point under each of the pattern's, below it by more than the noise
  // at every marked line's top and nowhere above it by more than the noise.
  const marked_background b = marked_background_of(*view);
  const std::vector<double> counts = counts_of(iron);
  ASSERT_EQ(b.counts.size(), counts.size());
  for (std::size_t i = 0; i < counts.size(); ++i)
    ASSERT_LE(b.counts[i], counts[i] + 5.0 * std::sqrt(std::max(counts[i], 1.0))) << "at " << b.two_theta[i];
  for (const line_mark& m : line_marks_of(*view)) {
    const auto at = std::lower_bound(b.two_theta.begin(), b.two_theta.end(), m.two_theta) - b.two_theta.begin();
    EXPECT_LT(b.counts[static_cast<std::size_t>(at)], 0.5 * m.counts) << m.label;
  }
  screen.user_activates(view->frame());
  EXPECT_TRUE(painted(*view, pen));
  // And in a figure exported of the view.
  const std::string svg = (dir / "iron.svg").string();
  screen.queue_files({svg});
  screen.queue_figure_size(platform_types::figure_size{800, 500, 96});
  screen.user_command(view_command::export_figure);
  ASSERT_TRUE(messages().empty()) << messages().front();
  // Denser than the figure's pixels, its dashes are runs of pixel columns:
  // many strokes in the file's colour, where the solid profile is one.
  const platform_types::colour ink = readable_on_white(colour_slots(*view)->colour_of(&iron));
  char stroke[32];
  std::snprintf(stroke, sizeof stroke, "stroke=\"#%02x%02x%02x\"", ink.r, ink.g, ink.b);
  const std::string drawing = contents(svg);
  int strokes = 0;
  for (std::size_t at = drawing.find(stroke); at != std::string::npos; at = drawing.find(stroke, at + 1)) ++strokes;
  EXPECT_GT(strokes, 20);

  screen.user_command(view_command::clear_line_marks);
  EXPECT_TRUE(marked_background_of(*view).counts.empty());
  EXPECT_FALSE(painted(*view, pen));
}

TEST_F(PatternBackgroundInTheWorkbench, SubtractingTheBackgroundMakesANewFileInANewViewAndLeavesTheOriginal) {
  const std::string input = synthetic_pattern();
  TDrawView* view = load(input);
  ASSERT_NE(view, nullptr);
  assoc_class* original = view->files().front();
  const std::vector<double> before = counts_of(*original);
  ASSERT_EQ(before.size(), static_cast<std::size_t>(points));

  screen.user_command(view_command::subtract_background);
  ASSERT_TRUE(messages().empty()) << messages().front();
  ASSERT_EQ(file_count(), 2);
  TDrawView* shown = view_list(*app)->focused();
  ASSERT_NE(shown, view);
  ASSERT_EQ(shown->files().size(), 1u);
  assoc_class& made = *shown->files().front();

  // Beside the file, in memory only until saved.
  const std::string expected = (dir / "pattern_less_background.xdd").string();
  EXPECT_EQ(path_of(made), expected);
  EXPECT_FALSE(std::filesystem::exists(expected));
  EXPECT_TRUE(made.is_changed());

  // The counts less the background: the lines' areas as made, zero on
  // average between them, the noise below zero kept.
  const std::vector<double> less = counts_of(made);
  ASSERT_EQ(less.size(), before.size());
  for (double c : line_positions) {
    double area = 0.0;
    for (int i = 0; i + 1 < points; ++i)
      if (std::fabs(x_of(i) - c) <= 1.0 && std::fabs(x_of(i + 1) - c) <= 1.0)
        area += 0.5 * (less[static_cast<std::size_t>(i)] + less[static_cast<std::size_t>(i) + 1]) * step_x;
    EXPECT_NEAR(area, line_area, 0.05 * line_area) << "the line at " << c << " deg";
  }
  double sum = 0.0;
  int count = 0, negative = 0;
  for (int i = 0; i < points; ++i)
    if (!near_a_line(x_of(i))) {
      sum += less[static_cast<std::size_t>(i)];
      ++count;
      negative += less[static_cast<std::size_t>(i)] < 0.0;
    }
  EXPECT_NEAR(sum / count, 0.0, 5.0);
  EXPECT_GT(negative, count / 5);

  // The file itself as it was, and still its own path.
  EXPECT_EQ(counts_of(*original), before);
  EXPECT_EQ(path_of(*original), input);
  EXPECT_FALSE(original->is_changed());
}

TEST_F(PatternBackgroundInTheWorkbench, SubtractingTwiceNumbersTheSecondFile) {
  TDrawView* view = load(synthetic_pattern());
  ASSERT_NE(view, nullptr);
  screen.user_command(view_command::subtract_background);
  screen.user_activates(view->frame());
  screen.user_command(view_command::subtract_background);
  ASSERT_TRUE(messages().empty()) << messages().front();
  ASSERT_EQ(file_count(), 3);
  EXPECT_EQ(path_of(*files()->child(2)), (dir / "pattern_less_background_2.xdd").string());
}

}  // namespace
