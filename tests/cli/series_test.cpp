// A series through the batch tool: one row per scan of many files, of a
// folder or of one file of many scans, in order whatever the workers, in
// shares that concatenate to the whole, and each failure said in its row.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/shell/application_session.h"
#include "app/shell/series_job.h"
#include "batch_runner.h"
#include "cli/null_platform.h"
#include "cli/series_run.h"

namespace {

const std::string measure_header =
    "index,file,scan,name,start_time,temperature_C,fwhm,centroid,area,integral_breadth,deconvoluted_fwhm,"
    "area_weighted_length,area_weighted_length_u,volume_weighted_length,volume_weighted_length_u,scherrer_size,"
    "scherrer_size_u,warning";

std::vector<std::string> lines_of(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

// The cells of a row, a quoted cell's quotes taken off.
std::vector<std::string> cells_of(const std::string& line) {
  std::vector<std::string> cells(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char ch = line[i];
    if (ch == '"' && quoted && i + 1 < line.size() && line[i + 1] == '"') {
      cells.back() += '"';
      ++i;
    } else if (ch == '"') {
      quoted = !quoted;
    } else if (ch == ',' && !quoted) {
      cells.emplace_back();
    } else {
      cells.back() += ch;
    }
  }
  return cells;
}

// The rows of tables, keyed by their index: the order they were written
// in does not count, each index once does.
std::map<long, std::string> rows_by_index(const std::vector<std::string>& lines) {
  std::map<long, std::string> rows;
  for (const std::string& line : lines) {
    const long index = std::stol(line.substr(0, line.find(',')));
    EXPECT_TRUE(rows.emplace(index, line).second) << "index " << index << " twice";
  }
  return rows;
}

// A Rigaku RAS file of `count` scans of 60 points each, a Gaussian line at
// 40 deg whose height grows with the scan; scan `flat` (from 1) holds no
// counts at all. Its path.
std::string ras_text_file(const std::filesystem::path& path, int count, int flat) {
  std::string text = "*RAS_DATA_START\n";
  char point[64];
  for (int k = 1; k <= count; ++k) {
    text += "*RAS_HEADER_START\n*FILE_SAMPLE \"run\"\n*RAS_HEADER_END\n*RAS_INT_START\n";
    for (int i = 0; i < 60; ++i) {
      const double x = 39.0 + i / 30.0;
      const double y = k == flat ? 0.0 : 10.0 + (100.0 + k) * std::exp(-0.5 * std::pow((x - 40.0) / 0.1, 2));
      std::snprintf(point, sizeof point, "%.4f %.1f\n", x, y);
      text += point;
    }
    text += "*RAS_INT_END\n";
  }
  std::ofstream(path, std::ios::binary) << text << "*RAS_DATA_END\n";
  return path.string();
}

class Series : public BatchFolder {
 public:
  using folder_type = std::filesystem::path;

 protected:
  std::string ras_series(const std::string& name, int count, int flat) const {
    return ras_text_file(dir / name, count, flat);
  }

  // A two-column scan of a Gaussian line of width `sigma` at 40 deg.
  std::string two_columns(const std::string& name, double sigma) const {
    std::string text;
    char point[64];
    for (int i = 0; i <= 200; ++i) {
      const double x = 39.0 + i * 0.01;
      const double y = 5.0 + 500.0 * std::exp(-0.5 * std::pow((x - 40.0) / sigma, 2));
      std::snprintf(point, sizeof point, "%.2f %.3f\n", x, y);
      text += point;
    }
    return write(name, text);
  }
};

// One file of a thousand scans, the 437th flat, and its whole table made
// on two workers: made once, for the tests that read it.
class ThousandScans : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    folder_ = new Series::folder_type(fresh_directory("thousand"));
    file_ = new std::string(ras_text_file(*folder_ / "heating.ras", 1000, 437));
    whole_ = new run_result(run({"measure", "--table", *file_, "--jobs", "2"}));
  }
  static void TearDownTestSuite() {
    std::error_code ignored;
    std::filesystem::remove_all(*folder_, ignored);
    delete whole_;
    delete file_;
    delete folder_;
  }
  static Series::folder_type* folder_;
  static std::string* file_;
  static run_result* whole_;
};

Series::folder_type* ThousandScans::folder_ = nullptr;
std::string* ThousandScans::file_ = nullptr;
run_result* ThousandScans::whole_ = nullptr;

TEST_F(ThousandScans, OneFileGivesAThousandRowsInOrderTheFlatOneSayingWhyItFailed) {
  const run_result& r = *whole_;
  EXPECT_EQ(r.status, 1) << "a scan failed";
  EXPECT_EQ(r.err, "1 of 1000 scans failed; the warning column says why\n")
      << "the scans' own messages are in their rows, not on the error stream";
  const std::vector<std::string> lines = lines_of(r.out);
  ASSERT_EQ(lines.size(), 1001u);
  EXPECT_EQ(lines[0], measure_header);
  for (int i = 1; i <= 1000; ++i) {
    const std::vector<std::string> c = cells_of(lines[static_cast<std::size_t>(i)]);
    ASSERT_EQ(c.size(), 18u) << lines[static_cast<std::size_t>(i)];
    ASSERT_EQ(c[0], std::to_string(i)) << "rows in index order";
    ASSERT_EQ(c[1], *file_);
    ASSERT_EQ(c[2], std::to_string(i)) << "the scan of its file";
    if (i == 437) {
      EXPECT_EQ(c[6], "") << "no width for a flat scan";
      EXPECT_NE(c[17].find("heating.ras: no fwhm, centroid or integral_breadth: the profile does not rise above its "
                           "background"),
                std::string::npos)
          << c[17];
    } else {
      ASSERT_EQ(c[17], "") << "row " << i;
      ASSERT_NEAR(std::stod(c[7]), 40.0, 1e-3) << "row " << i;
    }
  }
  EXPECT_LT(std::stod(cells_of(lines[1])[8]), std::stod(cells_of(lines[1000])[8]))
      << "each row measures its own scan, the last the highest";
}

// Each shard on one worker, the whole on two: the same rows either way.
TEST_F(ThousandScans, TheShardsConcatenatedAndSortedByIndexAreTheWholeTable) {
  std::vector<std::string> joined;
  for (const char* shard : {"1/3", "2/3", "3/3"}) {
    const run_result piece = run({"measure", "--table", *file_, "--shard", shard, "--jobs", "1"});
    const std::vector<std::string> lines = lines_of(piece.out);
    ASSERT_FALSE(lines.empty()) << shard;
    EXPECT_EQ(lines[0] == measure_header, std::string(shard) == "1/3") << "only the first shard has the header";
    // Scan 437 is the second shard's ((437 - 1) % 3 == 2 - 1), and its only failure.
    EXPECT_EQ(piece.status, std::string(shard) == "2/3" ? 1 : 0) << shard << ": " << piece.err;
    joined.insert(joined.end(), lines.begin() + (lines[0] == measure_header ? 1 : 0), lines.end());
  }
  EXPECT_EQ(joined.size(), 1000u);
  std::vector<std::string> expected = lines_of(whole_->out);
  expected.erase(expected.begin());
  const std::map<long, std::string> pieces = rows_by_index(joined);
  const std::map<long, std::string> rows = rows_by_index(expected);
  EXPECT_TRUE(pieces == rows) << "the shards hold the whole table's rows, each once";
}

TEST_F(Series, OneWorkerOrThreeWriteTheSameTableOfFilesOfOneScanAndOfMany) {
  const std::string before = two_columns("before.xy", 0.1);
  const std::string file = ras_series("short.ras", 40, 7);
  const std::string after = two_columns("after.xy", 0.1);
  const run_result one = run({"measure", "--table", before, file, after, "--jobs", "1"});
  const run_result three = run({"measure", "--table", before, file, after, "--jobs", "3"});
  EXPECT_EQ(one.status, 1);
  EXPECT_EQ(three.status, 1);
  EXPECT_EQ(three.out, one.out);
  EXPECT_EQ(three.err, "1 of 42 scans failed; the warning column says why\n");
  const std::vector<std::string> lines = lines_of(one.out);
  ASSERT_EQ(lines.size(), 43u);
  const struct {
    std::size_t row;
    std::string file, scan;
  } expected[] = {{1, before, "1"}, {2, file, "1"}, {8, file, "7"}, {41, file, "40"}, {42, after, "1"}};
  for (const auto& e : expected) {
    const std::vector<std::string> c = cells_of(lines[e.row]);
    EXPECT_EQ(c[0], std::to_string(e.row));
    EXPECT_EQ(c[1], e.file) << "row " << e.row;
    EXPECT_EQ(c[2], e.scan) << "row " << e.row;
    EXPECT_EQ(c[17].empty(), e.row != 8) << lines[e.row];
  }
}

TEST_F(Series, AFolderGivesItsDataFilesInNameOrderAfterTheFilesNamedBeforeIt) {
  const std::filesystem::path folder = dir / "scans";
  std::filesystem::create_directory(folder);
  std::filesystem::create_directory(folder / "older");
  two_columns("scans/b.xy", 0.08);
  two_columns("scans/a.dat", 0.05);
  two_columns("scans/older/c.xy", 0.05);
  write("scans/notes.md", "not a scan\n");
  const std::string first = two_columns("first.xy", 0.1);
  const std::string table = (folder / "widths.csv").string();
  for (int pass = 0; pass < 2; ++pass) {
    const run_result r = run({"measure", "--table", first, folder.string(), "--jobs", "2", "-o", table});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = lines_of(contents(table));
    ASSERT_EQ(lines.size(), 4u) << "the table written into the folder is not read as a scan the next time";
    const std::vector<std::string> files = {first, (folder / "a.dat").string(), (folder / "b.xy").string()};
    const double sigmas[] = {0.1, 0.05, 0.08};
    for (std::size_t i = 0; i < files.size(); ++i) {
      const std::vector<std::string> c = cells_of(lines[i + 1]);
      EXPECT_EQ(c[0], std::to_string(i + 1));
      EXPECT_EQ(c[1], files[i]);
      EXPECT_EQ(c[2], "1");
      EXPECT_NEAR(std::stod(c[6]), 2.0 * std::sqrt(2.0 * std::log(2.0)) * sigmas[i], 0.01) << files[i];
    }
  }
}

// A worker with a reference: the reference is loaded once, before the
// workers start, and each scan is measured against it as one file alone.
TEST_F(Series, EachScanOfASeriesIsMeasuredAgainstTheReferenceAsItWouldBeAlone) {
  const std::string sample = two_columns("sample.xy", 0.1);
  const std::string other = two_columns("other.xy", 0.08);
  const std::string reference = two_columns("reference.xy", 0.05);
  const run_result both = run({"measure", "--table", sample, other, "--ref", reference, "--jobs", "2"});
  ASSERT_LE(both.status, 1) << both.err;
  const std::vector<std::string> rows = lines_of(both.out);
  ASSERT_EQ(rows.size(), 3u) << both.out << both.err;
  for (std::size_t i = 0; i < 2; ++i) {
    const std::string& file = i == 0 ? sample : other;
    const run_result alone = run({"measure", "--table", file, "--ref", reference, "--jobs", "1"});
    const std::vector<std::string> line = lines_of(alone.out);
    ASSERT_EQ(line.size(), 2u) << alone.err;
    std::vector<std::string> a = cells_of(rows[i + 1]), b = cells_of(line[1]);
    ASSERT_GT(a.size(), 10u);
    EXPECT_FALSE(a[10].empty()) << "a deconvoluted width: " << rows[i + 1];
    a.erase(a.begin());
    b.erase(b.begin());
    EXPECT_EQ(a, b) << "the same cells but the index";
  }
}

struct refusal {
  const char* what;
  std::vector<std::string> args;  // after "measure --table", with FOLDER for the test's folder
  int status;
  const char* said;
};

class SeriesRefusal : public Series, public ::testing::WithParamInterface<refusal> {};

TEST_P(SeriesRefusal, IsSaidAndWritesNothing) {
  const refusal& c = GetParam();
  std::filesystem::create_directory(dir / "empty");
  write("empty/readme.txt.bak", "no scan\n");
  const std::string scan = two_columns("one.xy", 0.1);
  std::vector<std::string> args = {"measure", "--table"};
  for (const std::string& a : c.args) args.push_back(a == "FOLDER" ? (dir / "empty").string() : a == "SCAN" ? scan : a);
  args.insert(args.end(), {"-o", path("out.csv")});
  const auto before = names_in(dir);
  const run_result r = run(args);
  EXPECT_EQ(r.status, c.status) << c.what << ": " << r.err;
  EXPECT_NE(r.err.find(c.said), std::string::npos) << c.what << ": " << r.err;
  EXPECT_EQ(names_in(dir), before) << c.what << ": nothing written, no temporary file left";
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, SeriesRefusal,
    ::testing::Values(
        refusal{"a folder with no data file", {"SCAN", "FOLDER"}, 1, "empty: the folder holds no data file"},
        refusal{"a shard past the last", {"SCAN", "--shard", "4/3"}, 2, "--shard needs K/N with 1 <= K <= N"},
        refusal{"a shard 0", {"SCAN", "--shard", "0/3"}, 2, "--shard needs K/N with 1 <= K <= N"},
        refusal{"a shard without its count", {"SCAN", "--shard", "2"}, 2, "--shard needs K/N with 1 <= K <= N"},
        refusal{"no worker", {"SCAN", "--jobs", "0"}, 2, "--jobs needs a number of worker processes"},
        refusal{"half a worker", {"SCAN", "--jobs", "1.5"}, 2, "--jobs needs a number of worker processes"},
        refusal{"a reference that is not there", {"SCAN", "--ref", "missing.xy"}, 1, "missing.xy"}),
    [](const ::testing::TestParamInfo<refusal>& info) {
      std::string name = info.param.what;
      for (char& ch : name) ch = std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
      return name;
    });

TEST_F(Series, WorkersAndShardsAreOptionsOfASeriesOnly) {
  const std::string scan = two_columns("one.xy", 0.1);
  for (const char* option : {"--jobs", "--shard"}) {
    const run_result r = run({"measure", scan, option, std::string(option) == "--jobs" ? "2" : "1/2"});
    EXPECT_EQ(r.status, 2) << option;
    EXPECT_NE(r.err.find(std::string(option) + " goes with measure --table only"), std::string::npos) << r.err;
  }
}

// A job whose scans are numbered, not read: it says its file holds six
// scans, dies outright on scan 4 when in a worker process, and gives up on
// scan 5.
class dying_job : public series_job {
 public:
  std::vector<std::string> columns() const override { return {"n"}; }
  bool prepare(application_session&, std::ostream&) override { return true; }
  series_row row(application_session&, const series_scan& scan) override {
    if (scan.scan == 4 && ::getpid() != test_process_) ::raise(SIGKILL);
    if (scan.scan == 5) throw std::runtime_error("the fit did not converge");
    series_row r;
    r.facts.index = scan.scan;
    r.facts.count = 6;
    r.cells = {std::to_string(scan.scan * 10)};
    return r;
  }

 private:
  pid_t test_process_ = ::getpid();
};

std::size_t open_descriptors() {
  return static_cast<std::size_t>(
      std::distance(std::filesystem::directory_iterator("/proc/self/fd"), std::filesystem::directory_iterator()));
}

TEST_F(Series, AWorkerThatDiesLeavesItsScansFailedSaysHowAndLeavesNoProcessBehind) {
  std::ostringstream out, err;
  std::string used, why;
  ASSERT_TRUE(template_ready(bundled_template, used, why)) << why;
  null_platform screen(err);
  const front_end_scope scope(screen, err);
  application_session session;
  dying_job job;
  series_options options;
  options.inputs = {path("numbered.ras")};
  options.jobs = 2;
  const std::size_t descriptors = open_descriptors();
  const int status = run_series(session, job, options, out, err);
  set_template_path("");
  EXPECT_EQ(status, 1);
  EXPECT_EQ(open_descriptors(), descriptors) << "every pipe closed";
  errno = 0;
  EXPECT_EQ(::waitpid(-1, nullptr, WNOHANG), -1) << "every worker reaped";
  EXPECT_EQ(errno, ECHILD);
  const std::vector<std::string> lines = lines_of(out.str());
  ASSERT_EQ(lines.size(), 7u) << out.str();
  EXPECT_EQ(lines[0], "index,file,scan,name,start_time,temperature_C,n,warning");
  const std::string file = path("numbered.ras");
  EXPECT_EQ(lines[1], "1," + file + ",1,,,,10,");
  EXPECT_EQ(lines[2], "2," + file + ",2,,,,20,");
  EXPECT_EQ(lines[3], "3," + file + ",3,,,,30,");
  EXPECT_EQ(lines[6].substr(0, lines[6].find(": ")), "6," + file + ",6,,,,," + file)
      << "the dead worker's later scan is failed too";
  for (const std::size_t dead : {4u, 6u})
    EXPECT_NE(lines[dead].find(": the worker process ended: killed by signal " + std::to_string(SIGKILL)),
              std::string::npos)
        << lines[dead];
  EXPECT_EQ(lines[5], "5," + file + ",5,,,,," + file + ": the fit did not converge");
  EXPECT_EQ(err.str(), "3 of 6 scans failed; the warning column says why\n");
}

}  // namespace
