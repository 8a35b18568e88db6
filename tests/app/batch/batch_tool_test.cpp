#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "batch_runner.h"
#include "../workbench_fixture.h"

namespace {

const std::string data = XRDF_TEST_DATA;

class BatchTool : public ::testing::Test {
 protected:
  BatchTool() {
    dir = fresh_directory("batch_tool");
  }
  ~BatchTool() override {
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  std::string write(const std::string& name, const std::string& text) {
    std::ofstream(dir / name) << text;
    return (dir / name).string();
  }
  std::filesystem::path dir;
};

TEST_F(BatchTool, InfoDescribesXddAndCpiFilesWhateverTheCaseOfTheirNames) {
  const std::string upper = (dir / "CORUNDUM.XDD").string();
  std::filesystem::copy_file(data + "/corundum.xdd", upper);
  const std::string cpi = (dir / "Fragment.CPI").string();
  std::filesystem::copy_file(data + "/pyxrd-fragment.cpi", cpi);
  const run_result r = run({"info", upper, cpi});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, upper + " : (4.500, 0.0218, 89.999)  Npts= 3921, Time= 33.4400, Lambda= 1.5406\n" + cpi +
                       " : (3.010, 0.0200, 3.730)  Npts= 37, Lambda= 1.5406\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(BatchTool, ConvertWritesTheXddLayoutThatReadsBack) {
  const std::string out = (dir / "fragment.xdd").string();
  run_result r = run({"convert", data + "/pyxrd-fragment.cpi", out});
  ASSERT_EQ(r.status, 0) << r.err;
  std::ifstream f(out);
  std::string first;
  std::getline(f, first);
  EXPECT_EQ(first, "SIETRONICS XRD SCAN") << "the comment line comes over";
  r = run({"info", out});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, out + " : (3.010, 0.0200, 3.730)  Npts= 37, Time= 1.0000, Lambda= 1.5406\n")
      << "a file without count time is written with time 1";
}

TEST_F(BatchTool, ConvertCutsOneLineOutOfAFullPatternAndPicksAScanOfSeveral) {
  // One line of the iron pattern, cut as a capture cuts a view (the grid
  // points next to the window's ends stay), with a description that says
  // where it was cut; the header "2Theta,..." would read as data first.
  const std::string line = (dir / "fe110.xdd").string();
  run_result r = run({"convert", data + "/d8_fe_sample.csv", line, "--xrange", "47.5", "42"});
  ASSERT_EQ(r.status, 0) << r.err;
  r = run({"info", line});
  EXPECT_EQ(r.out, line + " : (41.999, 0.0200, 47.508)  Npts= 276, Time= 1.0000, Lambda= 1.5406\n");
  std::ifstream f(line);
  std::string first;
  std::getline(f, first);
  EXPECT_EQ(first, "Comment 2Theta,Counts; resampled to an even step of 0.0200305 deg; no wavelength in the file: "
                   "1.5406 A, the default; from 41.9993 to 47.5077 deg of the scan");

  const std::string scan = "*RAS_HEADER_START\n*RAS_HEADER_END\n*RAS_INT_START\n";
  // The first scan's third angle goes backwards (line 7); the second is sound.
  const std::string ras = "*RAS_DATA_START\n" + scan + "20 1\n20.5 2\n20.2 3\n21.5 4\n*RAS_INT_END\n" + scan +
                          "30 1\n30.5 2\n31 3\n31.5 4\n*RAS_INT_END\n";
  const std::string two = write("two.ras", ras);
  const std::string second = (dir / "second.xdd").string();
  r = run({"convert", two, second, "--scan", "2"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(run({"info", second}).out, second + " : (30.000, 0.5000, 31.500)  Npts= 4, Time= 1.0000, Lambda= 1.5406\n");
  r = run({"info", two});
  EXPECT_EQ(r.err, "Error loading file " + two + "\nLine 7: the angle 20.2 goes backwards from 20.5\n");
  r = run({"info", two, "--scan", "3"});
  EXPECT_EQ(r.err, "Error loading file " + two + "\nThe file holds 2 scans; there is no scan 3\n");
  r = run({"convert", data + "/d8_fe_sample.csv", (dir / "none.xdd").string(), "--xrange", "10", "20"});
  EXPECT_EQ(std::pair(r.status, r.err), std::pair(1, std::string("XRD File must have more than 10 points.\n")));
}

// Each file is loaded, described and unloaded before the next: the
// workbench's limit of 32 files at once and its duplicate check never see
// more than one.
TEST_F(BatchTool, InfoDescribesAnyNumberOfFilesTheSameOneTwiceIncluded) {
  const std::string scan = write("scan.xdd", "Scan\n10 0.5 11.5\n2 1 1.5406\n1 2 3 4\n");
  const std::string line = scan + " : (10.000, 0.5000, 11.500)  Npts= 4, Time= 2.0000, Lambda= 1.5406\n";
  const std::vector<std::string> args(41, scan);
  std::vector<std::string> all = {"info"};
  all.insert(all.end(), args.begin(), args.end());
  const run_result r = run(all);
  EXPECT_EQ(r.status, 0) << r.err;
  std::string expected;
  for (int i = 0; i < 41; ++i) expected += line;
  EXPECT_EQ(r.out, expected);
  EXPECT_EQ(r.err, "");
}

TEST_F(BatchTool, InfoGoesOnAfterARefusedFileAndExitsWithOne) {
  const std::string good = write("good.xdd", "Good\n10 0.5 11.5\n2 1 1.5406\n1 2 3 4\n");
  const run_result r = run({"info", good, (dir / "missing.xdd").string(), good});
  EXPECT_EQ(r.status, 1);
  const std::string line = good + " : (10.000, 0.5000, 11.500)  Npts= 4, Time= 2.0000, Lambda= 1.5406\n";
  EXPECT_EQ(r.out, line + line);
  EXPECT_EQ(r.err, (dir / "missing.xdd").string() + ": Cannot open file\n");
}

struct convert_case {
  const char* name;
  const char* output;   // in the test's folder
  int status;
  const char* message;  // part of what standard error must say, "" for nothing
};

void PrintTo(const convert_case& c, std::ostream* os) { *os << c.name; }

class BatchConvert : public BatchTool, public ::testing::WithParamInterface<convert_case> {};

TEST_P(BatchConvert, WritesOnlyTheXddLayoutAndSaysWhyItDidNot) {
  const convert_case& c = GetParam();
  const std::string output = (dir / c.output).string();
  const run_result r = run({"convert", data + "/pyxrd-fragment.cpi", output});
  EXPECT_EQ(r.status, c.status) << r.err;
  EXPECT_EQ(r.out, "");
  if (*c.message)
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  else
    EXPECT_EQ(r.err, "");
  EXPECT_EQ(std::filesystem::exists(output), c.status == 0) << "a refused output is not written";
}

INSTANTIATE_TEST_SUITE_P(
    Outputs, BatchConvert,
    ::testing::Values(convert_case{"an_xdd_name_in_capitals", "OUT.XDD", 0, ""},
                      convert_case{"a_cpi_name", "out.cpi", 1, "out.cpi: Cannot write this file type; convert writes XDD "
                                                                "files only (.xdd)"},
                      convert_case{"a_name_without_extension", "out", 1, "convert writes XDD files only"},
                      convert_case{"a_missing_folder", "no/such/out.xdd", 1,
                                   "out.xdd: Cannot write file: the folder "}),
    [](const auto& info) { return std::string(info.param.name); });

struct failure_case {
  const char* name;
  const char* file;      // written into the folder unless the content is empty; "" is the empty name
  const char* content;
  const char* message;   // part of what standard error must say
};

void PrintTo(const failure_case& c, std::ostream* os) { *os << c.name; }

class BatchFailures : public BatchTool, public ::testing::WithParamInterface<failure_case> {};

TEST_P(BatchFailures, ExitWithOneAndTheProgramsMessage) {
  const failure_case& c = GetParam();
  const std::string path = !*c.file ? "" : *c.content ? write(c.file, c.content) : (dir / c.file).string();
  const run_result r = run({"info", path});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BatchFailures,
    ::testing::Values(failure_case{"missing_file", "nowhere.xdd", "", "nowhere.xdd: Cannot open file"},
                      failure_case{"unknown_extension", "notes.doc", "1 2 3\n", "No reader for the file type of "},
                      failure_case{"bad_abscissa", "bad.xdd", "c\n10 0.02 10.04\n1 1 1\n1 2 3\n",
                                   "bad.xdd\nFewer than 4 points: 3\n"},
                      failure_case{"a_word_for_a_number", "word.xdd", "c\n10 0.02 ten\n1 1 1\n1 2 3\n",
                                   "word.xdd\nLine 2: \"ten\" is not a number\n"},
                      failure_case{"empty_name", "", "", "No file name: Cannot open file\n"},
                      failure_case{"a_folder", ".", "", "/.: is a folder, not a data file\n"},
                      failure_case{"cpi_without_scandata", "scan.cpi", "c\n1\n5\n1\nCu\n1.54\n1 2 3 4 5\n",
                                   "\nCannot find SCANDATA"}),
    [](const auto& info) { return std::string(info.param.name); });

struct usage_case {
  const char* name;
  std::vector<std::string> args;
};

void PrintTo(const usage_case& c, std::ostream* os) { *os << c.name; }

class BatchUsage : public ::testing::TestWithParam<usage_case> {};

TEST_P(BatchUsage, ExitsWithTwoAndTheUsage) {
  const run_result r = run(GetParam().args);
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("Usage: xrdfourier-cli"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Arguments, BatchUsage,
                         ::testing::Values(usage_case{"no_command", {}}, usage_case{"unknown_command", {"draw", "x"}},
                                           usage_case{"info_without_files", {"info"}},
                                           usage_case{"convert_with_one_file", {"convert", "a.xdd"}},
                                           usage_case{"unknown_option", {"--fast", "info", "a.xdd"}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(BatchHelp, DescribesEveryCommand) {
  const run_result r = run({"--help"});
  EXPECT_EQ(r.status, 0);
  for (const char* word : {"info FILE", "convert INPUT OUTPUT", "--template"})
    EXPECT_NE(r.out.find(word), std::string::npos) << word;
}

TEST(BatchTemplate, AMissingTemplateEndsWithItsPath) {
  const char* argv[] = {"xrdfourier-cli", "--template", "/no/such/template.tpl", "info", "x.xdd"};
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(run_batch_tool(5, argv, out, err), 1);
  EXPECT_EQ(err.str(), "Cannot open template file: /no/such/template.tpl\n");
  set_template_path("");
}

}  // namespace
