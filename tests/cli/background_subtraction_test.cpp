// convert --subtract-background on a synthetic pattern: Gaussian lines of
// known areas on a curved background, with counting noise.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "batch_runner.h"

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double first_x = 20.0, step_x = 0.02;
constexpr int points = 3001;  // 20 to 80 deg
constexpr double line_area = 200.0;  // counts·deg
constexpr double line_fwhm = 0.2;    // deg
const std::vector<double> line_positions = {30.0, 45.0, 62.0};

// A slope and a bow: 155 counts at 20 deg, 200 at 50, 335 at 80.
double background_at(double x) { return 200.0 + 3.0 * (x - 50.0) + 0.05 * (x - 50.0) * (x - 50.0); }

// A Gaussian of area `line_area` and FWHM `line_fwhm` at each position.
double lines_at(double x) {
  const double sigma = line_fwhm / (2.0 * std::sqrt(2.0 * std::log(2.0)));
  double sum = 0.0;
  for (double c : line_positions)
    sum += line_area / (sigma * std::sqrt(2.0 * pi)) * std::exp(-0.5 * (x - c) * (x - c) / (sigma * sigma));
  return sum;
}

double x_of(int i) { return first_x + step_x * i; }

// The expected counts with Poisson noise of a fixed seed, as two columns.
std::string noisy_pattern() {
  std::mt19937 random(22);
  std::ostringstream text;
  text.precision(10);
  for (int i = 0; i < points; ++i) {
    std::poisson_distribution<int> counts(background_at(x_of(i)) + lines_at(x_of(i)));
    text << x_of(i) << ' ' << counts(random) << '\n';
  }
  return text.str();
}

// The counts of an XDD file: the last `n` numbers in it, after the
// comment line and the header.
std::vector<double> counts_of(const std::string& path, int n) {
  std::ifstream in(path);
  std::string comment;
  std::getline(in, comment);
  std::vector<double> all;
  for (double v; in >> v;) all.push_back(v);
  if (static_cast<int>(all.size()) < n) return {};
  return {all.end() - n, all.end()};
}

bool near_a_line(double x) {
  for (double c : line_positions)
    if (std::fabs(x - c) < 2.0) return true;
  return false;
}

class BackgroundSubtraction : public BatchFolder {};

TEST_F(BackgroundSubtraction, ConvertingLessTheBackgroundKeepsTheLinesAndLeavesTheRestAtZero) {
  const std::string input = write("pattern.xy", noisy_pattern());
  const std::string output = path("pattern_less_background.xdd");
  const run_result r = run({"convert", input, output, "--subtract-background"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.err.empty()) << r.err;

  const std::vector<double> v = counts_of(output, points);
  ASSERT_EQ(v.size(), static_cast<std::size_t>(points));

  // Each line's area (trapezoids over ±1 deg) stays what it was made with.
  for (double c : line_positions) {
    double area = 0.0;
    for (int i = 0; i + 1 < points; ++i)
      if (std::fabs(x_of(i) - c) <= 1.0 && std::fabs(x_of(i + 1) - c) <= 1.0) area += 0.5 * (v[i] + v[i + 1]) * step_x;
    EXPECT_NEAR(area, line_area, 0.05 * line_area) << "the line at " << c << " deg";
  }
  // Away from the lines only noise is left: its mean near zero (the noise
  // is about 15 counts a point, the background 155 to 335), some of it
  // below zero and kept there.
  double sum = 0.0;
  int count = 0, negative = 0;
  for (int i = 0; i < points; ++i)
    if (!near_a_line(x_of(i))) {
      sum += v[static_cast<std::size_t>(i)];
      ++count;
      if (v[static_cast<std::size_t>(i)] < 0.0) ++negative;
    }
  ASSERT_GT(count, 1000);
  EXPECT_NEAR(sum / count, 0.0, 5.0);
  EXPECT_GT(negative, count / 5) << "the noise below the background was clipped";
}

TEST_F(BackgroundSubtraction, TheFileWrittenReloadsOnTheSameGridAndSaysWhatWasDone) {
  const std::string input = write("pattern.xy", noisy_pattern());
  const std::string output = path("less.xdd");
  ASSERT_EQ(run({"convert", input, output, "--subtract-background"}).status, 0);

  const run_result before = run({"info", input});
  const run_result after = run({"info", output});
  ASSERT_EQ(after.status, 0) << after.err;
  // "PATH : (first, step, last)  Npts= N, ...": all but the path agree.
  const auto grid = [](const std::string& line) {
    const auto from = line.find(" : (");
    const auto to = line.find(',', line.find("Npts="));
    return from == std::string::npos || to == std::string::npos ? line : line.substr(from, to - from);
  };
  EXPECT_EQ(grid(after.out), grid(before.out));
  EXPECT_NE(after.out.find("Npts= 3001"), std::string::npos) << after.out;

  std::ifstream in(output);
  std::string comment;
  std::getline(in, comment);
  EXPECT_NE(comment.find("less its background"), std::string::npos) << comment;
}

TEST_F(BackgroundSubtraction, WithoutTheOptionTheCountsAreWrittenAsTheyWere) {
  const std::string input = write("pattern.xy", noisy_pattern());
  const std::string output = path("same.xdd");
  ASSERT_EQ(run({"convert", input, output}).status, 0);
  const std::vector<double> v = counts_of(output, points);
  ASSERT_EQ(v.size(), static_cast<std::size_t>(points));
  std::istringstream text(noisy_pattern());
  for (double x, y; text >> x >> y;) {
    const int i = static_cast<int>(std::lround((x - first_x) / step_x));
    ASSERT_DOUBLE_EQ(v[static_cast<std::size_t>(i)], y) << "at " << x << " deg";
  }
}

TEST_F(BackgroundSubtraction, SubtractingGoesWithConvertOnly) {
  const std::string input = write("pattern.xy", noisy_pattern());
  const run_result r = run({"info", input, "--subtract-background"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--subtract-background"), std::string::npos) << r.err;
}

}  // namespace
