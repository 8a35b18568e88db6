#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch_runner.h"

namespace {

const std::string data = XRDF_TEST_DATA;

// A RAS file of three scans, as an in-situ run writes them: each with its
// comment and start; the second's rows at another step.
std::string three_scan_ras() {
  std::string text = "*RAS_DATA_START\n";
  const char* comments[] = {"25 C", "300 C", "cooled"};
  const char* starts[] = {"03/04/19 10:22:31", "03/04/19 11:02:00", "03/05/19 08:15:10"};
  const double steps[] = {0.02, 0.05, 0.02};
  for (int s = 0; s < 3; ++s) {
    text += "*RAS_HEADER_START\n*FILE_SAMPLE \"spinel\"\n*FILE_COMMENT \"" + std::string(comments[s]) +
            "\"\n*MEAS_SCAN_START_TIME \"" + starts[s] + "\"\n*HW_XG_WAVE_LENGTH_ALPHA1 \"1.540593\"\n"
            "*RAS_HEADER_END\n*RAS_INT_START\n";
    for (int i = 0; i < 11; ++i) text += std::to_string(30 + steps[s] * i) + " " + std::to_string(100 + i) + " 1\n";
    text += "*RAS_INT_END\n";
  }
  return text + "*RAS_DATA_END\n";
}

TEST_F(BatchFolder, InfoOnAFileOfSeveralScansListsEachAfterTheFilesLine) {
  const std::string ras = write("run.ras", three_scan_ras());
  const run_result all = run({"info", ras});
  EXPECT_EQ(all.status, 0) << all.err;
  EXPECT_EQ(all.out, ras + " : (30.000, 0.0200, 30.200)  Npts= 11, Lambda= 1.5406\n"
                           "  scan 1 of 3: \"25 C\", started 2019-03-04T10:22:31, (30.000, 0.0200, 30.200)  Npts= 11\n"
                           "  scan 2 of 3: \"300 C\", started 2019-03-04T11:02:00, (30.000, 0.0500, 30.500)  Npts= 11\n"
                           "  scan 3 of 3: \"cooled\", started 2019-03-05T08:15:10, (30.000, 0.0200, 30.200)  Npts= 11\n");

  const run_result second = run({"info", "--scan", "2", ras});
  EXPECT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(second.out, ras + " : (30.000, 0.0500, 30.500)  Npts= 11, Lambda= 1.5406\n"
                              "  scan 2 of 3: \"300 C\", started 2019-03-04T11:02:00, (30.000, 0.0500, 30.500)  Npts= 11\n");

  const run_result beyond = run({"info", "--scan", "4", ras});
  EXPECT_EQ(beyond.status, 1);
  EXPECT_EQ(beyond.out, "");
  EXPECT_NE(beyond.err.find("The file holds 3 scans; there is no scan 4"), std::string::npos) << beyond.err;
}

TEST_F(BatchFolder, InfoWithScanOnTheRealVendorFilesShowsWhatEachSaysOfItsScan) {
  // Read by hand from each file.
  const struct {
    const char* file;
    const char* line;
  } rows[] = {
      {"bruker_2theta_omega.brml",
       "  scan 1 of 1: \"2Theta-Omega\", started 2023-01-26T15:23:09.837152+01:00, (44.000, 0.0020, 48.000)  Npts= 2001\n"},
      {"rigaku_powder.rasx", "  scan 1 of 1: started 2021-05-05T10:35:31Z, (10.000, 0.0400, 119.000)  Npts= 2726\n"},
      {"empyrean_v1.6_powder.xrdml",
       "  scan 1 of 1: started 2021-03-16T13:10:14+03:00, (4.007, 0.0131, 69.999)  Npts= 5027\n"},
  };
  for (const auto& r : rows) {
    const std::string file = data + "/" + r.file;
    const run_result got = run({"info", "--scan", "1", file});
    EXPECT_EQ(got.status, 0) << r.file << ": " << got.err;
    EXPECT_EQ(got.out.substr(0, file.size() + 3), file + " : ") << r.file;
    const std::size_t second_line = got.out.find('\n') + 1;
    EXPECT_EQ(got.out.substr(second_line), r.line) << r.file;
    const run_result plain = run({"info", file});
    EXPECT_EQ(plain.out, got.out.substr(0, second_line)) << r.file << ": one scan, one line, as before";
  }
}

TEST_F(BatchFolder, InfoGoesOnPastAFileItRefusesAndSaysSoInItsStatus) {
  const std::string ras = write("run.ras", three_scan_ras());
  const std::string broken = write("broken.ras", "*RAS_DATA_START\n*RAS_HEADER_START\n");
  const run_result r = run({"info", broken, ras});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("  scan 3 of 3: \"cooled\""), std::string::npos) << r.out;
  EXPECT_NE(r.err.find(broken), std::string::npos) << r.err;
}

}  // namespace
