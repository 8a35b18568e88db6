// size-strain, analyse-pattern and report over a series through the batch
// tool: the series table's header, one row per scan in order, and the exit
// status saying whether a scan failed. These run the series engine
// (run_series) itself.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "../app/series/series_bench.h"
#include "../app/series/series_patterns.h"
#include "batch_runner.h"

namespace {

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

const std::string scan_columns = "index,file,scan,name,start_time,temperature_C,";

using SeriesCommands = BatchFolder;

TEST_F(SeriesCommands, SizeStrainOfAFileOfSeveralScansWritesARowPerScanAndOneFailingScanExitsOne) {
  const std::string ref = write("ref.ras", ras_file({ras_scan(lorentzian_counts(0.1, 1))}));
  const std::string first = ras_scan(lorentzian_counts(0.3, 2));
  const std::string series =
      write("series.ras", ras_file({first, backwards_ras_scan(), ras_scan(lorentzian_counts(0.4, 3))}));
  const run_result r = run({"size-strain", "--pair", series, ref});
  EXPECT_EQ(r.status, 1) << "a scan failed: " << r.err;
  const std::vector<std::string> lines = lines_of(r.out);
  ASSERT_EQ(lines.size(), 4u) << r.out;
  EXPECT_EQ(lines[0].rfind(scan_columns + "area_weighted_length,area_weighted_length_u,", 0), 0u) << lines[0];
  EXPECT_EQ(lines[0].substr(lines[0].size() - 8), ",warning");
  const run_result alone = run({"size-strain", "--pair", write("alone.ras", ras_file({first})), ref});
  std::smatch m;
  ASSERT_TRUE(std::regex_search(alone.out, m, std::regex("^Area-weighted mean column length = ([0-9.]+) \u00b1 ([0-9.]+)")));
  EXPECT_EQ(lines[1].rfind("1," + series + ",1,", 0), 0u) << lines[1];
  EXPECT_NE(lines[1].find("," + std::string(m[1]) + "," + std::string(m[2]) + ","), std::string::npos) << lines[1];
  EXPECT_EQ(lines[2].rfind("2," + series + ",2,", 0), 0u) << lines[2];
  EXPECT_NE(lines[2].find("goes backwards"), std::string::npos) << lines[2];
  EXPECT_EQ(lines[3].rfind("3," + series + ",3,", 0), 0u) << lines[3];
}

TEST_F(SeriesCommands, AnalysePatternOfAFolderWritesARowPerPatternToTheOutput) {
  std::filesystem::create_directory(dir / "run");
  write("run/a.xy", series_patterns::pattern_text(200.0, 1.5e-3, 1));
  write("run/b.xy", series_patterns::pattern_text(100.0, 1.5e-3, 2));
  const std::string instrument = write("instrument.txt", series_patterns::instrument_text());
  const run_result r = run({"analyse-pattern", path("run"), "--instrument", instrument, "--lattice", "bcc:2.8665",
                            "-o", path("series.csv")});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = lines_of(contents(path("series.csv")));
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].rfind(scan_columns + "lines_found,lines_analysed,wh_volume_size,", 0), 0u) << lines[0];
  EXPECT_EQ(lines[1].rfind("1," + path("run/a.xy") + ",1,,,,4,4,", 0), 0u) << lines[1];
  EXPECT_EQ(lines[2].rfind("2," + path("run/b.xy") + ",1,,,,4,4,", 0), 0u) << lines[2];
}

TEST_F(SeriesCommands, ReportOfAFileOfSeveralScansIsTheMapOfTheRun) {
  const std::string series = write(
      "series.ras", ras_file({ras_scan(lorentzian_counts(0.3, 1)), ras_scan(lorentzian_counts(0.4, 2))}));
  const run_result r = run({"report", series, "--xrange", "44", "44.02"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::vector<std::string> lines = lines_of(r.out);
  ASSERT_EQ(lines.size(), 3u) << r.out;
  EXPECT_EQ(lines[0], scan_columns + "Yobs@43.9900,Yobs@44.0000,Yobs@44.0100,Yobs@44.0200,Yobs@44.0300,warning");
  EXPECT_EQ(lines[2].rfind("2," + series + ",2,", 0), 0u) << lines[2];
}

}  // namespace
