#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "batch_runner.h"
#include "../workbench_fixture.h"

namespace {

// The x and y columns of the first curve of an xy report.
struct column {
  std::vector<double> x, y;
};

column first_column(const std::string& report) {
  column c;
  std::istringstream lines(report);
  std::string line;
  std::getline(lines, line);  // file names
  std::getline(lines, line);  // captions
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    double x = 0.0, y = 0.0;
    if (fields >> x >> y) {
      c.x.push_back(x);
      c.y.push_back(y);
    }
  }
  return c;
}

// Full width at half maximum by linear interpolation between samples.
double width_at_half(const column& c) {
  std::size_t top = 0;
  for (std::size_t i = 0; i < c.y.size(); ++i)
    if (c.y[i] > c.y[top]) top = i;
  const double half = c.y[top] / 2.0;
  auto cross = [&](std::size_t a, std::size_t b) {
    return c.x[a] + (half - c.y[a]) * (c.x[b] - c.x[a]) / (c.y[b] - c.y[a]);
  };
  std::size_t l = top, r = top;
  while (l > 0 && c.y[l - 1] > half) --l;
  while (r + 1 < c.y.size() && c.y[r + 1] > half) ++r;
  if (l == 0 || r + 1 >= c.y.size()) return 0.0;
  return cross(r, r + 1) - cross(l - 1, l);
}

class BatchAnalysis : public ::testing::Test {
 protected:
  BatchAnalysis() : dir(fresh_directory("batch_analysis")) {}
  ~BatchAnalysis() override {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  // A Gaussian line of height 1000 at 2theta = 40 on no background: 401
  // points, 38 to 42 in steps of 0.01.
  std::string gaussian(const std::string& name, double sigma) {
    std::ofstream f(dir / name);
    f << "Gaussian\n38 0.01 42\n1 1 1.5406\n" << std::setprecision(10);
    for (int i = 0; i < 401; ++i) {
      const double x = 38.0 + 0.01 * i;
      f << 1000.0 * std::exp(-(x - 40.0) * (x - 40.0) / (2.0 * sigma * sigma)) << "\n";
    }
    return (dir / name).string();
  }
  std::string path(const std::string& name) const { return (dir / name).string(); }
  std::string read(const std::string& name) const {
    std::ifstream f(dir / name);
    return std::string(std::istreambuf_iterator<char>(f), {});
  }
  std::filesystem::path dir;
};

// The transform modulus on its 0..100 scale is |F(f)| / |F(0)| of the
// sampled line, whatever the padding: checked against a direct transform in
// double at every frequency the report gives.
TEST_F(BatchAnalysis, TheModulusOfAGaussianMatchesADirectTransform) {
  const std::string line = gaussian("line.xdd", 0.10);
  const run_result r = run({"report", line, "--set", "lBamda=0", "--show", "mod"});
  ASSERT_EQ(r.status, 0) << r.err;
  const column mod = first_column(r.out);
  ASSERT_GT(mod.x.size(), 100u);
  std::vector<double> y;
  for (int i = 0; i < 401; ++i) y.push_back(1000.0 * std::exp(-std::pow(0.01 * i - 2.0, 2) / 0.02));
  double f0 = 0.0;
  for (double v : y) f0 += v;
  for (std::size_t k = 0; k < mod.x.size(); k += 7) {
    std::complex<double> sum = 0.0;
    for (int i = 0; i < 401; ++i) sum += y[i] * std::polar(1.0, -2.0 * M_PI * mod.x[k] * (38.0 + 0.01 * i));
    EXPECT_NEAR(mod.y[k], 100.0 * std::abs(sum) / f0, 2e-3) << "at the frequency " << mod.x[k];
  }
  EXPECT_NEAR(mod.x[1], 1.0 / (1024 * 0.01), 1e-4) << "401 points, doubled once: 1024 in the transform";
}

// Stokes: a Gaussian of sigma 0.10 deconvoluted by one of sigma 0.06 is a
// Gaussian of sigma sqrt(0.10^2 - 0.06^2) = 0.08, of FWHM 2.3548 * 0.08.
TEST_F(BatchAnalysis, TheDeconvolutedWidthOfTwoGaussiansIsTheDifferenceOfTheirSquares) {
  const std::string sample = gaussian("sample.xdd", 0.10);
  const std::string reference = gaussian("reference.xdd", 0.06);
  const run_result r = run({"report", sample, "--ref", reference, "--set", "fBft_f2_lim=100", "--show", "deconv"});
  ASSERT_EQ(r.status, 0) << r.err;
  const column deconv = first_column(r.out);
  EXPECT_NEAR(width_at_half(deconv), 2.3548 * std::sqrt(0.10 * 0.10 - 0.06 * 0.06), 0.002);
}

TEST_F(BatchAnalysis, MeasurePrintsTheWidthCentroidAndAreaOfTheObservedLine) {
  const run_result r = run({"measure", gaussian("line.xdd", 0.10)});
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream lines(r.out);
  std::string name, eq;
  double fwhm = 0.0, centroid = 0.0, area = 0.0;
  lines >> name >> eq >> fwhm >> name >> eq >> centroid >> name >> eq >> area;
  EXPECT_NEAR(fwhm, 2.3548 * 0.10, 5e-4);
  EXPECT_NEAR(centroid, 40.0, 1e-4);
  EXPECT_NEAR(area, 1000.0 * 0.10 * std::sqrt(2.0 * M_PI), 0.01);
  const run_result window = run({"measure", gaussian("line.xdd", 0.10), "--xrange", "39.9", "40.1"});
  EXPECT_NE(window.out, r.out) << "a narrower window measures above its own lowest point";
}

// A project saved with the same files and settings gives, loaded again,
// the very report that "report" gives.
TEST_F(BatchAnalysis, AProjectReportsWhatItsFilesAndSettingsReport) {
  const std::string sample = gaussian("sample.xdd", 0.10);
  const std::string reference = gaussian("reference.xdd", 0.06);
  const std::vector<std::string> settings = {"--ref", reference, "--set", "fBft_f2_lim=90", "--set",
                                             "ex_l_consts.nBpts_i1=-20", "--set", "fBreq_doubler=2"};
  std::vector<std::string> report = {"report", sample, "--show", "br_re,br_mod", "-o", path("direct.txt")};
  report.insert(report.end(), settings.begin(), settings.end());
  ASSERT_EQ(run(report).status, 0);
  std::vector<std::string> save = {"save-project", sample, "-o", path("both.prj")};
  save.insert(save.end(), settings.begin(), settings.end());
  const run_result saved = run(save);
  ASSERT_EQ(saved.status, 0) << saved.err;
  EXPECT_NE(read("both.prj").find("nBpts_i1 ex_l_consts -20"), std::string::npos) << "a dotted name reaches the tail";
  const run_result loaded =
      run({"project", path("both.prj"), "--show", "br_re,br_mod", "-o", path("from_project.txt")});
  ASSERT_EQ(loaded.status, 0) << loaded.err;
  EXPECT_FALSE(read("direct.txt").empty());
  EXPECT_EQ(read("from_project.txt"), read("direct.txt"));
}

// For a spreadsheet: the same numbers as the report's fields, one header row,
// and a file name holding a comma quoted so that it stays one cell.
TEST_F(BatchAnalysis, ACsvReportHoldsTheFieldReportsNumbersUnderOneHeaderRow) {
  const std::string a = gaussian("a,1.xdd", 0.1);
  const std::string b = gaussian("b.xdd", 0.2);
  const run_result fields = run({"report", a, b, "--xrange", "39", "41"});
  const run_result csv = run({"report", a, b, "--xrange", "39", "41", "--format", "csv"});
  ASSERT_EQ(fields.status, 0) << fields.err;
  ASSERT_EQ(csv.status, 0) << csv.err;
  std::istringstream f(fields.out), c(csv.out);
  std::string lf, lc;
  std::getline(f, lf);
  std::getline(f, lf);
  std::getline(c, lc);
  EXPECT_EQ(lc, "\"a,1.xdd x\",\"a,1.xdd Yobs\",b.xdd x,b.xdd Yobs");
  int rows = 0;
  while (std::getline(f, lf) && std::getline(c, lc)) {
    std::istringstream words(lf);
    std::string joined, w;
    while (words >> w) joined += (joined.empty() ? "" : ",") + w;
    ASSERT_EQ(lc, joined) << "row " << rows;
    ++rows;
  }
  EXPECT_GT(rows, 200) << "every point of the range";
  EXPECT_FALSE(std::getline(c, lc)) << "no more rows than the fields report";
}

// One row per file for a spreadsheet: the widths of a Gaussian as its sigma
// gives them, and with a reference the deconvoluted width that two Gaussians
// leave, sqrt(s1² − s2²) times 2 sqrt(2 ln 2).
TEST_F(BatchAnalysis, MeasureTableGivesARowPerFileWithItsWidthsAndItsDeconvolution) {
  const std::string a = gaussian("a.xdd", 0.10);
  const std::string b = gaussian("b.xdd", 0.06);
  const char* header =
      "file,fwhm,centroid,area,integral_breadth,deconvoluted_fwhm,area_weighted_length,volume_weighted_length,"
      "scherrer_size";
  const run_result plain = run({"measure", "--table", a, b});
  ASSERT_EQ(plain.status, 0) << plain.err;
  std::istringstream rows(plain.out);
  std::string line;
  std::getline(rows, line);
  EXPECT_EQ(line, header);
  const double fwhm_per_sigma = 2.0 * std::sqrt(2.0 * std::log(2.0));
  for (const auto& [path, sigma] : {std::pair{a, 0.10}, std::pair{b, 0.06}}) {
    ASSERT_TRUE(std::getline(rows, line));
    std::vector<std::string> cells;
    std::stringstream split(line);
    for (std::string c; std::getline(split, c, ',');) cells.push_back(c);
    cells.resize(9);
    EXPECT_EQ(cells[0], path);
    EXPECT_NEAR(std::stod(cells[1]), fwhm_per_sigma * sigma, 2e-3) << path;
    EXPECT_NEAR(std::stod(cells[2]), 40.0, 1e-3) << path;
    EXPECT_NEAR(std::stod(cells[4]), std::sqrt(2.0 * M_PI) * sigma, 0.01 * sigma) << path;
    EXPECT_EQ(cells[5] + cells[6] + cells[7] + cells[8], "") << "no reference, no deconvolution: " << path;
  }
  const run_result deconvoluted = run({"measure", "--table", a, "--ref", b, "--auto-limit"});
  ASSERT_EQ(deconvoluted.status, 0) << deconvoluted.err;
  const std::string row = deconvoluted.out.substr(deconvoluted.out.find('\n') + 1);
  std::vector<std::string> cells;
  std::stringstream split(row);
  for (std::string c; std::getline(split, c, ',');) cells.push_back(c);
  ASSERT_EQ(cells.size(), 9u) << row;
  EXPECT_NEAR(std::stod(cells[5]), fwhm_per_sigma * std::sqrt(0.10 * 0.10 - 0.06 * 0.06), 0.004) << row;
  EXPECT_GT(std::stod(cells[8]), 0.0) << "a Scherrer size: " << row;
}

struct refusal {
  const char* name;
  std::vector<std::string> args;  // "LINE" stands for a loadable file
  int status;
  const char* says;
};

class BatchRefusals : public BatchAnalysis, public ::testing::WithParamInterface<refusal> {};

TEST_P(BatchRefusals, ExitWithTheirStatusAndSayWhy) {
  const refusal& c = GetParam();
  std::vector<std::string> args;
  for (const std::string& a : c.args) args.push_back(a == "LINE" ? gaussian("line.xdd", 0.1) : a);
  const run_result r = run(args);
  EXPECT_EQ(r.status, c.status) << r.err;
  EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Analysis, BatchRefusals,
    ::testing::Values(
        refusal{"a_value_above_its_maximum", {"report", "LINE", "--set", "fBreq_doubler=9"}, 1,
                "Value for Transform length doubling must be less than 4"},
        refusal{"a_setting_no_file_has", {"report", "LINE", "--set", "no_such=1"}, 1, "No setting named no_such"},
        refusal{"a_project_that_does_not_exist", {"project", "/nonexistent/x.prj"}, 1, "Cannot open file"},
        refusal{"a_missing_reference", {"report", "LINE", "--ref", "/nonexistent/r.xdd"}, 1, "Cannot open file"},
        refusal{"transforms_mixed_with_profiles", {"report", "LINE", "--show", "mod,yobs"}, 2, "cannot be shown together"},
        refusal{"an_unknown_family", {"report", "LINE", "--show", "phase"}, 2, "unknown family phase"},
        refusal{"measure_of_two_files", {"measure", "LINE", "LINE"}, 2, "measure needs one file"},
        refusal{"a_project_without_output", {"save-project", "LINE"}, 2, "save-project needs -o"},
        refusal{"an_option_the_command_does_not_take", {"measure", "LINE", "--show", "mod"}, 2,
                "measure does not take --show"},
        refusal{"a_reference_without_a_table", {"measure", "LINE", "--ref", "LINE"}, 2,
                "--ref goes with measure --table only"},
        refusal{"an_x_range_of_one_number", {"report", "LINE", "--xrange", "1"}, 2, "--xrange needs two"},
        refusal{"an_unknown_format", {"report", "LINE", "--format", "xml"}, 2, "--format needs csv or fields"},
        refusal{"a_format_for_measure", {"measure", "LINE", "--format", "csv"}, 2, "measure does not take --format"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
