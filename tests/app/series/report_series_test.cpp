// report over a series: the map of an in-situ run, one row per scan of its
// reported values at the first scan's points.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "../../cli/batch_runner.h"
#include "app/shell/report_series_job.h"
#include "series_bench.h"

namespace {

// The report's CSV of one scan alone: its x and y cells, row by row.
std::vector<std::pair<std::string, std::string>> reported(const std::string& csv) {
  std::vector<std::pair<std::string, std::string>> points;
  std::istringstream lines(csv);
  std::string line;
  std::getline(lines, line);
  while (std::getline(lines, line)) {
    const std::size_t comma = line.find(',');
    points.emplace_back(line.substr(0, comma), line.substr(comma + 1));
  }
  return points;
}

class ReportSeries : public BatchFolder {
 protected:
  report_series_job job_of(const std::string& first, double from, double to) {
    analysis_request r;
    r.has_x_range = true;
    r.x_from = from;
    r.x_to = to;
    return report_series_job(r, first);
  }
};

TEST_F(ReportSeries, EachScanIsARowOfItsReportedCountsAtTheFirstScansPoints) {
  std::vector<std::string> each;
  for (int k = 0; k < 3; ++k) each.push_back(ras_scan(lorentzian_counts(0.3 + 0.1 * k, 5 + k)));
  const std::string series = write("series.ras", ras_file(each));
  report_series_job job = job_of(series, 44.0, 44.2);
  const job_run got = run_job(job, {series});
  ASSERT_TRUE(got.prepared) << got.said;
  ASSERT_EQ(got.rows.size(), 3u);
  for (std::size_t k = 0; k < 3; ++k) {
    SCOPED_TRACE("scan " + std::to_string(k + 1));
    const run_result alone = run({"report", write("alone" + std::to_string(k) + ".ras", ras_file({each[k]})),
                                  "--xrange", "44", "44.2", "--format", "csv"});
    ASSERT_EQ(alone.status, 0) << alone.err;
    const auto points = reported(alone.out);
    ASSERT_EQ(got.columns.size(), points.size());
    EXPECT_FALSE(got.rows[k].failed) << got.rows[k].warning;
    for (std::size_t i = 0; i < points.size(); ++i) {
      EXPECT_EQ(got.columns[i].substr(got.columns[i].find('@')), "@" + points[i].first);
      EXPECT_EQ(got.rows[k].cells.at(i), points[i].second) << got.columns[i];
    }
  }
  // Named by the curve's caption and x; the report, as the view draws it,
  // takes the point just outside each end of the range.
  EXPECT_EQ(got.columns.front(), "Yobs@43.9900");
}

TEST_F(ReportSeries, AScanOnAnotherGridFailsInItsRowSayingWhose) {
  const std::string first = write("a.ras", ras_file({ras_scan(lorentzian_counts(0.3, 1))}));
  const std::string shifted = write("b.ras", ras_file({ras_scan(lorentzian_counts(0.3, 2), 41.005)}));
  const std::string again = write("c.ras", ras_file({ras_scan(lorentzian_counts(0.4, 3))}));
  report_series_job job = job_of(first, 44.0, 44.2);
  const job_run got = run_job(job, {first, shifted, again});
  ASSERT_TRUE(got.prepared) << got.said;
  ASSERT_EQ(got.rows.size(), 3u);
  EXPECT_FALSE(got.rows[0].failed) << got.rows[0].warning;
  EXPECT_TRUE(got.rows[1].failed);
  EXPECT_NE(got.rows[1].warning.find(shifted), std::string::npos) << got.rows[1].warning;
  EXPECT_NE(got.rows[1].warning.find("the first scan's"), std::string::npos) << got.rows[1].warning;
  EXPECT_FALSE(got.rows[2].failed) << got.rows[2].warning;
  EXPECT_EQ(got.rows[2].cells.size(), got.columns.size());
}

TEST_F(ReportSeries, AFirstScanWithNoPointInTheRangeRefusesTheRun) {
  const std::string series =
      write("series.ras", ras_file({ras_scan(lorentzian_counts(0.3, 1)), ras_scan(lorentzian_counts(0.3, 2))}));
  report_series_job job = job_of(series, 60.0, 61.0);
  const job_run got = run_job(job, {series});
  EXPECT_FALSE(got.prepared);
  EXPECT_NE(got.said.find(series + ": the report shows no curve"), std::string::npos) << got.said;
}

}  // namespace
