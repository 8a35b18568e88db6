// fBft_origin through the batch tool: size-strain and measure --table move
// the origin to where B(L) is smallest before they read the coefficients,
// and a project saved before the option existed reads as it did.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <regex>
#include <string>
#include <vector>

#include "batch_runner.h"

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double x1 = 43.0, step = 0.01;
constexpr int points = 401;
// The line's centre, off the scan's points; the origin is typed 2.3 steps off.
constexpr double centre = 45.0037;
constexpr double typed_origin = centre + 2.3 * step;
const std::string off_origin = "fft_zero=" + std::to_string(typed_origin);

class PhaseOriginOption : public BatchFolder {
 protected:
  // A scan in the XDD layout of counts y(x), Cu Kα1.
  template <class F>
  std::string line_scan(const std::string& name, F y) const {
    std::string text = "Synthetic line\n" + std::to_string(x1) + " " + std::to_string(step) + " " +
                       std::to_string(x1 + (points - 1) * step) + "\n1 1 1.5406\n";
    for (int i = 0; i < points; ++i) text += std::to_string(y(x1 + i * step)) + "\n";
    return write(name, text);
  }
  void SetUp() override {
    // A symmetric line: a narrow and a broad Lorentzian on one centre, seen
    // through a Gaussian instrument of sigma 0.03°; the reference that
    // instrument's line at the same place.
    sample = line_scan("sample.xdd", [](double x) {
      double sum = 0.0;
      for (int k = -300; k <= 300; ++k) {
        const double t = k * 0.0007, u = x - centre - t;
        sum += (0.6 * 0.04 / pi / (0.04 * 0.04 + u * u) + 0.4 * 0.09 / pi / (0.09 * 0.09 + u * u)) * instrument(t);
      }
      return 1e3 * sum * 0.0007;
    });
    // --set reaches the reference too (measure --table): its line sits on
    // the typed origin, so that only the sample's is off.
    reference = line_scan("reference.xdd", [](double x) { return 1e3 * instrument(x - typed_origin); });
  }
  static double instrument(double u) { return std::exp(-0.5 * u * u / 9e-4) / (0.03 * std::sqrt(2.0 * pi)); }
  std::string sample, reference;
};

TEST_F(PhaseOriginOption, SizeStrainPlacesTheOriginOnTheLinesCentreAndSaysSo) {
  const run_result placed = run({"size-strain", "--pair", sample, reference, "--set", off_origin, "--set",
                                 "aBo_bkg=0", "--set", "fBft_origin=1"});
  ASSERT_EQ(placed.status, 0) << placed.err;
  std::smatch m;
  ASSERT_TRUE(std::regex_search(
      placed.out, m,
      std::regex("\n  origin ([0-9.]+) deg, placed where \\|B\\(L\\)\\| is smallest: largest \\|B\\(L\\)\\| ([0-9.]+)\n")))
      << placed.out;
  EXPECT_NEAR(std::stod(m[1]), centre, 0.1 * step);
  EXPECT_LT(std::stod(m[2]), 0.01);
  EXPECT_NE(placed.out.find("2theta0 " + m[1].str() + " deg"), std::string::npos) << "the analysis used it";

  const run_result typed = run({"size-strain", "--pair", sample, reference, "--set", off_origin, "--set", "aBo_bkg=0"});
  ASSERT_EQ(typed.status, 0) << typed.err;
  ASSERT_TRUE(std::regex_search(typed.out, m, std::regex("origin check: largest \\|B\\(L\\)\\| over that range ([0-9.]+)")))
      << "without the option the typed origin is kept:\n"
      << typed.out;
  EXPECT_GT(std::stod(m[1]), 0.05) << "the typed origin is off the centre";
}

// The area-weighted length of a table row and of a size-strain summary.
double table_length(const std::string& out) {
  std::smatch m;
  if (!std::regex_search(out, m, std::regex("\n[0-9]+,[^,\n]*sample.xdd,(?:[^,]*,){9}([0-9.]+),"))) return -1.0;
  return std::stod(m[1]);
}
double summary_length(const std::string& out) {
  std::smatch m;
  if (!std::regex_search(out, m, std::regex("Area-weighted mean column length = ([0-9.]+)(?: ± [0-9.]+)? A"))) return -1.0;
  return std::stod(m[1]);
}

TEST_F(PhaseOriginOption, MeasureTableTakesTheLengthsAboutTheSameOriginAsSizeStrain) {
  for (const bool by_b : {false, true}) {
    const std::string option = by_b ? "fBft_origin=1" : "fBft_origin=0";
    const run_result table = run({"measure", sample, "--table", "--ref", reference, "--set", off_origin, "--set",
                                  "aBo_bkg=0", "--set", option});
    ASSERT_EQ(table.status, 0) << option << ": " << table.err;
    // Set before the pair, as measure sets them: on both files.
    const run_result sizes = run({"size-strain", "--set", off_origin, "--set", "aBo_bkg=0", "--set", option,
                                  "--pair", sample, reference});
    ASSERT_EQ(sizes.status, 0) << option << ": " << sizes.err;
    EXPECT_GT(table_length(table.out), 0.0) << option << ":\n" << table.out;
    EXPECT_NEAR(table_length(table.out), summary_length(sizes.out), 0.051) << option << ":\n"
                                                                         << table.out << sizes.out;
  }
  const run_result typed = run({"measure", sample, "--table", "--ref", reference, "--set", off_origin, "--set",
                                "aBo_bkg=0"});
  const run_result placed = run({"measure", sample, "--table", "--ref", reference, "--set", off_origin, "--set",
                                 "aBo_bkg=0", "--set", "fBft_origin=1"});
  EXPECT_GT(std::fabs(table_length(typed.out) - table_length(placed.out)), 0.5)
      << "the typed origin's B(L) leaks into A(L):\n"
      << typed.out << placed.out;
}

TEST_F(PhaseOriginOption, AProjectSavedBeforeTheOptionExistedGivesTheSameCurvesAsBefore) {
  const std::vector<std::string> files = {sample, "--ref", reference, "--set", off_origin, "--set", "aBo_bkg=0"};
  auto with = [&](std::vector<std::string> head, std::vector<std::string> tail) {
    head.insert(head.end(), files.begin(), files.end());
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
  };
  ASSERT_EQ(run(with({"save-project"}, {"--set", "fBft_origin=1", "-o", path("placed.prj")})).status, 0);
  // The project as written before fBft_origin: no line of it.
  const std::string saved = contents(path("placed.prj"));
  std::string old;
  for (std::size_t at = 0; at < saved.size();) {
    const std::size_t end = std::min(saved.find('\n', at), saved.size());
    const std::string line = saved.substr(at, end - at);
    if (line.find("fBft_origin") == std::string::npos) old += line + (end < saved.size() ? "\n" : "");
    at = end + 1;
  }
  ASSERT_NE(saved.find("\nfBft_origin xdd 1\n"), std::string::npos) << "the option is saved:\n" << saved;
  const std::string old_project = write("old.prj", old);
  const std::string placed_project = path("placed.prj");

  const run_result before = run(with({"report"}, {"--show", "br_im", "--format", "csv"}));
  const run_result loaded = run({"project", old_project, "--show", "br_im", "--format", "csv"});
  ASSERT_EQ(before.status, 0) << before.err;
  ASSERT_EQ(loaded.status, 0) << loaded.err;
  EXPECT_EQ(loaded.out, before.out) << "the old project keeps the typed origin";

  const run_result placed = run({"project", placed_project, "--show", "br_im", "--format", "csv"});
  const run_result asked = run(with({"report"}, {"--show", "br_im", "--format", "csv", "--set", "fBft_origin=1"}));
  ASSERT_EQ(placed.status, 0) << placed.err;
  EXPECT_EQ(placed.out, asked.out) << "a project with the option places the origin as the batch tool does";
  EXPECT_NE(placed.out, before.out);
}

}  // namespace
