#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <iomanip>
#include <sstream>
#include <string>
#include <vector>

#include "batch_runner.h"

namespace {

class BatchAnalysis : public BatchFolder {
 protected:
  // A Gaussian line of height 1000 at 2theta = 40 on no background: 401
  // points, 38 to 42 in steps of 0.01.
  std::string gaussian(const std::string& name, double sigma) {
    std::ostringstream f;
    f << "Gaussian\n38 0.01 42\n1 1 1.5406\n" << std::setprecision(10);
    for (int i = 0; i < 401; ++i) {
      const double x = 38.0 + 0.01 * i;
      f << 1000.0 * std::exp(-(x - 40.0) * (x - 40.0) / (2.0 * sigma * sigma)) << "\n";
    }
    return write(name, f.str());
  }
};

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
  EXPECT_NE(contents(path("both.prj")).find("nBpts_i1 ex_l_consts -20"), std::string::npos)
      << "a dotted name reaches the tail";
  const run_result loaded =
      run({"project", path("both.prj"), "--show", "br_re,br_mod", "-o", path("from_project.txt")});
  ASSERT_EQ(loaded.status, 0) << loaded.err;
  EXPECT_FALSE(contents(path("direct.txt")).empty());
  EXPECT_EQ(contents(path("from_project.txt")), contents(path("direct.txt")));
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

// For a spreadsheet, one row per file; with a reference, the deconvoluted
// width that two Gaussians leave, sqrt(s1² − s2²) times 2 sqrt(2 ln 2).
TEST_F(BatchAnalysis, MeasureGivesEachLinesWidthCentroidAndAreaAndInATableItsDeconvolution) {
  const std::string a = gaussian("a.xdd", 0.10), b = gaussian("b.xdd", 0.06);
  const double fwhm_per_sigma = 2.0 * std::sqrt(2.0 * std::log(2.0));
  const run_result r = run({"measure", a});
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream words(r.out);
  std::string name, eq;
  double fwhm = 0.0, centroid = 0.0, area = 0.0;
  words >> name >> eq >> fwhm >> name >> eq >> centroid >> name >> eq >> area;
  EXPECT_NEAR(fwhm, fwhm_per_sigma * 0.10, 5e-4);
  EXPECT_NEAR(centroid, 40.0, 1e-4);
  EXPECT_NEAR(area, 1000.0 * 0.10 * std::sqrt(2.0 * M_PI), 0.01);
  EXPECT_NE(run({"measure", a, "--xrange", "39.9", "40.1"}).out, r.out)
      << "a narrower window measures above its own lowest point";

  auto cells = [](const std::string& line) {
    std::vector<std::string> out;
    std::stringstream split(line);
    for (std::string c; std::getline(split, c, ',');) out.push_back(c);
    out.resize(18);
    return out;
  };
  const run_result plain = run({"measure", "--table", a, b});
  ASSERT_EQ(plain.status, 0) << plain.err;
  std::istringstream rows(plain.out);
  std::string line;
  std::getline(rows, line);
  EXPECT_EQ(line,
            "index,file,scan,name,start_time,temperature_C,fwhm,centroid,area,integral_breadth,deconvoluted_fwhm,"
            "area_weighted_length,area_weighted_length_u,volume_weighted_length,volume_weighted_length_u,scherrer_size,"
            "scherrer_size_u,warning");
  int index = 0;
  for (const auto& [path, sigma] : {std::pair{a, 0.10}, std::pair{b, 0.06}}) {
    ASSERT_TRUE(std::getline(rows, line));
    const std::vector<std::string> c = cells(line);
    EXPECT_EQ(c[0], std::to_string(++index));
    EXPECT_EQ(c[1], path);
    EXPECT_EQ(c[2], "1") << "the one scan of its file";
    EXPECT_NEAR(std::stod(c[6]), fwhm_per_sigma * sigma, 2e-3) << path;
    EXPECT_NEAR(std::stod(c[7]), 40.0, 1e-3) << path;
    EXPECT_NEAR(std::stod(c[9]), std::sqrt(2.0 * M_PI) * sigma, 0.01 * sigma) << path;
    EXPECT_EQ(c[10] + c[11] + c[12] + c[13] + c[14] + c[15] + c[16] + c[17], "")
        << "no reference, no deconvolution, nothing to warn of: " << path;
  }
  const run_result deconvoluted = run({"measure", "--table", a, "--ref", b, "--auto-limit"});
  ASSERT_EQ(deconvoluted.status, 0) << deconvoluted.err;
  const std::string row = deconvoluted.out.substr(deconvoluted.out.find('\n') + 1);
  const std::vector<std::string> c = cells(row);
  ASSERT_GE(std::count(row.begin(), row.end(), ','), 17) << row;
  EXPECT_NEAR(std::stod(c[10]), fwhm_per_sigma * std::sqrt(0.10 * 0.10 - 0.06 * 0.06), 0.004) << row;
  EXPECT_GT(std::stod(c[15]), 0.0) << "a Scherrer size: " << row;
  EXPECT_GE(std::stod(c[16]), 0.0) << "and its uncertainty: " << row;
}

}  // namespace
