// analyse-pattern over a folder of patterns: each row holds the summary's
// figures that analyse-pattern prints for that pattern alone.
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "../../cli/batch_runner.h"
#include "app/shell/pattern_series_job.h"
#include "series_bench.h"
#include "series_patterns.h"

namespace {

// The figure and uncertainty of a summary clause "LABEL = N ± U", or two
// empty cells for a bound or a reason.
std::pair<std::string, std::string> summary_cells(const std::string& out, const std::string& label) {
  std::smatch m;
  if (std::regex_search(out, m, std::regex("(^|\n|, )" + label + " = ([-+0-9.e]+)( \u00b1 ([-+0-9.e]+))?")))
    return {m[2], m[4]};
  return {"", ""};
}

class PatternSeries : public BatchFolder {
 protected:
  PatternSeries() {
    std::filesystem::create_directory(dir / "run");
    write("run/a_large.xy", series_patterns::pattern_text(200.0, 1.5e-3, 1));
    write("run/b_small.xy", series_patterns::pattern_text(100.0, 1.5e-3, 2));
    write("run/notes.md", "not a data file: left out of the series");
    instrument = write("instrument.txt", series_patterns::instrument_text());
  }
  pattern_series_job job_of(const std::string& instrument_file) {
    analysis_request r;
    r.instrument = instrument_file;
    r.lattice = "bcc:2.8665";
    return pattern_series_job(r);
  }
  std::string instrument;
};

TEST_F(PatternSeries, EachPatternOfAFolderGetsTheSummaryAnalysePatternGivesItAlone) {
  pattern_series_job job = job_of(instrument);
  const job_run got = run_job(job, {path("run")});
  ASSERT_TRUE(got.prepared) << got.said;
  ASSERT_EQ(got.rows.size(), 2u) << "the data files of the folder, by name";
  const char* names[] = {"run/a_large.xy", "run/b_small.xy"};
  for (std::size_t k = 0; k < 2; ++k) {
    SCOPED_TRACE(names[k]);
    EXPECT_EQ(got.scans[k].path, path(names[k]));
    const run_result alone = run({"analyse-pattern", path(names[k]), "--instrument", instrument, "--lattice",
                                  "bcc:2.8665"});
    ASSERT_EQ(alone.status, 0) << alone.err;
    EXPECT_FALSE(got.rows[k].failed) << got.rows[k].warning;
    std::smatch m;
    ASSERT_TRUE(std::regex_search(alone.out, m, std::regex("^Lines analysed = ([0-9]+) of ([0-9]+) found")));
    EXPECT_EQ(got.cell(k, "lines_analysed"), m[1]);
    EXPECT_EQ(got.cell(k, "lines_found"), m[2]);
    const struct {
      const char* label;
      const char* column;
    } figures[] = {
        {"Williamson-Hall volume-weighted size", "wh_volume_size"},
        {"Williamson-Hall rms strain", "wh_rms_strain"},
        {"Williamson-Hall \\(integral breadths\\) volume-weighted size", "wh_ib_volume_size"},
        {"Williamson-Hall \\(integral breadths\\) apparent strain", "wh_ib_strain"},
        {"Warren-Averbach 110/220: area-weighted size", "wa_area_size"},
        {"rms strain at L = [0-9]+ A", "wa_rms_strain"},
    };
    for (const auto& f : figures) {
      const auto [value, u] = summary_cells(alone.out, f.label);
      EXPECT_EQ(got.cell(k, f.column), value) << f.column << "\n" << alone.out;
      EXPECT_EQ(got.cell(k, std::string(f.column) + "_u"), u) << f.column;
    }
    EXPECT_EQ(got.cell(k, "wa_orders"), "110/220");
    EXPECT_NE(got.cell(k, "wh_rms_strain"), "") << "the strain is resolved";
  }
  EXPECT_GT(std::stod(got.cell(0, "wa_area_size")), std::stod(got.cell(1, "wa_area_size")))
      << "the smaller crystallites give the shorter columns";
}

TEST_F(PatternSeries, APatternThatCannotBeReadFailsInItsRowAndTheOthersAreStillAnalysed) {
  write("run/ab_cut.xy", "# 2theta counts\n30.0 12\n30.02 abc\n");
  pattern_series_job job = job_of(instrument);
  const job_run got = run_job(job, {path("run")});
  ASSERT_TRUE(got.prepared) << got.said;
  ASSERT_EQ(got.rows.size(), 3u);
  EXPECT_FALSE(got.rows[0].failed) << got.rows[0].warning;
  EXPECT_TRUE(got.rows[1].failed);
  EXPECT_NE(got.rows[1].warning.find("ab_cut.xy"), std::string::npos) << got.rows[1].warning;
  EXPECT_EQ(got.cell(1, "wh_volume_size"), "(no cell)") << "a failed row has no figures";
  EXPECT_FALSE(got.rows[2].failed) << got.rows[2].warning;
}

TEST_F(PatternSeries, ADamagedInstrumentFileRefusesTheRunBeforeAnyRow) {
  pattern_series_job job = job_of(write("broken.txt", "# xrdfourier instrument function\nU = x\n"));
  const job_run got = run_job(job, {path("run")});
  EXPECT_FALSE(got.prepared);
  EXPECT_NE(got.said.find("broken.txt"), std::string::npos) << got.said;
  EXPECT_TRUE(got.rows.empty());
}

// Each scan's lines would need a table of their own: refused as a usage
// error before anything is analysed, and --scan K still gives one scan's.
TEST_F(PatternSeries, TheLinesTableOfASeriesIsRefusedAndOneScanOfItStillWritesIt) {
  const std::string lines = path("lines.csv");
  run_result r = run({"analyse-pattern", path("run"), "--instrument", instrument, "--table", lines});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("--scan K"), std::string::npos) << r.err;
  EXPECT_FALSE(std::filesystem::exists(lines));
  const std::string two = write("two.ras", ras_file({ras_scan(lorentzian_counts(0.3, 1)), ras_scan(lorentzian_counts(0.4, 2))}));
  r = run({"analyse-pattern", two, "--scan", "2", "--instrument", instrument, "--table", lines});
  EXPECT_TRUE(std::filesystem::exists(lines)) << r.err;
}

}  // namespace
