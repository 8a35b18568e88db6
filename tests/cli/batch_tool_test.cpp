#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "batch_runner.h"

namespace {

const std::string data = XRDF_TEST_DATA;
const std::string demo = XRDF_SOURCE_DIR "/resources/demo/size_strain/";

using BatchTool = BatchFolder;

TEST_F(BatchTool, InfoDescribesXddAndCpiFilesWhateverTheCaseOfTheirNames) {
  const std::string upper = path("CORUNDUM.XDD");
  std::filesystem::copy_file(data + "/corundum.xdd", upper);
  const std::string cpi = path("Fragment.CPI");
  std::filesystem::copy_file(data + "/pyxrd-fragment.cpi", cpi);
  const run_result r = run({"info", upper, cpi});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, upper + " : (4.500, 0.0218, 89.999)  Npts= 3921, Time= 33.4400, Lambda= 1.5406\n" + cpi +
                       " : (3.010, 0.0200, 3.730)  Npts= 37, Lambda= 1.5406\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(BatchTool, ConvertCutsOneLineOutOfAFullPatternAndPicksAScanOfSeveral) {
  // One line of the iron pattern, cut as a capture cuts a view (the grid
  // points next to the window's ends stay), with a description that says
  // where it was cut; the header "2Theta,..." would read as data first.
  const std::string line = path("FE110.XDD");
  run_result r = run({"convert", data + "/d8_fe_sample.csv", line, "--xrange", "47.5", "42"});
  ASSERT_EQ(r.status, 0) << r.err;
  r = run({"info", line});
  EXPECT_EQ(r.out, line + " : (41.999, 0.0200, 47.508)  Npts= 276, Time= 1.0000, Lambda= 1.5406\n");
  const std::string text = contents(line);
  EXPECT_EQ(text.substr(0, text.find('\n')),
            "Comment 2Theta,Counts; resampled to an even step of 0.0200305 deg; wavelength not in the file: "
            "1.5406 Å assumed; from 41.9993 to 47.5077 deg of the scan");

  const std::string scan = "*RAS_HEADER_START\n*RAS_HEADER_END\n*RAS_INT_START\n";
  // The first scan's third angle goes backwards; the second is sound.
  const std::string ras = "*RAS_DATA_START\n" + scan + "20 1\n20.5 2\n20.2 3\n21.5 4\n*RAS_INT_END\n" + scan +
                          "30 1\n30.5 2\n31 3\n31.5 4\n*RAS_INT_END\n";
  const std::string two = write("two.ras", ras);
  const std::string second = path("second.xdd");
  r = run({"convert", two, second, "--scan", "2"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(run({"info", second}).out, second + " : (30.000, 0.5000, 31.500)  Npts= 4, Time= 1.0000, Lambda= 1.5406\n");
  r = run({"convert", data + "/d8_fe_sample.csv", path("none.xdd"), "--xrange", "10", "20"});
  EXPECT_EQ(std::pair(r.status, r.err), std::pair(1, std::string("XRD File must have more than 10 points.\n")));
}

// Each file is loaded, described and unloaded before the next: the
// workbench's limit of 32 files at once and its duplicate check never see
// more than one, and a refused file stops none after it.
TEST_F(BatchTool, InfoDescribesAnyNumberOfFilesInTurnAndGoesOnAfterARefusedOne) {
  const std::string scan = write("scan.xdd", "Scan\n10 0.5 11.5\n2 1 1.5406\n1 2 3 4\n");
  std::vector<std::string> args(41, scan);
  args.insert(args.begin() + 20, path("missing.xdd"));
  args.insert(args.begin(), "info");
  const run_result r = run(args);
  EXPECT_EQ(r.status, 1);
  std::string expected;
  for (int i = 0; i < 41; ++i)
    expected += scan + " : (10.000, 0.5000, 11.500)  Npts= 4, Time= 2.0000, Lambda= 1.5406\n";
  EXPECT_EQ(r.out, expected);
  EXPECT_EQ(r.err, path("missing.xdd") + ": Cannot open file\n");
}

// A status scripts can trust: 1 for a file or value refused, 2 for a usage
// error; the reason on standard error, and nothing written.
TEST_F(BatchTool, EveryRefusalExitsWithItsStatusAndSaysWhy) {
  const std::string line = scan("line.xdd");
  const std::string cu111 = demo + "cu111.xdd", ref111 = demo + "cu111_ref.xdd";
  const std::string cu222 = demo + "cu222.xdd", ref222 = demo + "cu222_ref.xdd";
  const char* const usage = "Usage: xrdfourier-cli";
  const struct {
    const char* name;
    std::vector<std::string> args;
    int status;
    const char* says;
  } rows[] = {
      {"a value above its maximum", {"report", line, "--set", "fBreq_doubler=9"}, 1,
       "Value for Transform length doubling must be less than 4"},
      {"a setting no file has", {"report", line, "--set", "no_such=1"}, 1, "No setting named no_such"},
      {"a project that does not exist", {"project", "/nonexistent/x.prj"}, 1, "Cannot open file"},
      {"a missing reference", {"report", line, "--ref", "/nonexistent/r.xdd"}, 1, "Cannot open file"},
      {"convert to a CPI file", {"convert", line, path("out.cpi")}, 1,
       "out.cpi: Cannot write this file type; convert writes XDD files only (.xdd)"},
      {"convert to a name without extension", {"convert", line, path("out")}, 1, "convert writes XDD files only"},
      {"convert into a missing folder", {"convert", line, path("no/such/out.xdd")}, 1,
       "out.xdd: Cannot write file: the folder "},
      {"transforms mixed with profiles", {"report", line, "--show", "mod,yobs"}, 2, "cannot be shown together"},
      {"an unknown family", {"report", line, "--show", "phase"}, 2, "unknown family phase"},
      {"measure of two files", {"measure", line, line}, 2, "measure needs one file"},
      {"a project without output", {"save-project", line}, 2, "save-project needs -o"},
      {"an option the command does not take", {"measure", line, "--show", "mod"}, 2, "measure does not take --show"},
      {"a reference without a table", {"measure", line, "--ref", line}, 2, "--ref goes with measure --table only"},
      {"an x range of one number", {"report", line, "--xrange", "1"}, 2, "--xrange needs two"},
      {"an unknown format", {"report", line, "--format", "xml"}, 2, "--format needs csv or fields"},
      {"a format for measure", {"measure", line, "--format", "csv"}, 2, "measure does not take --format"},
      {"size-strain without a pair", {"size-strain"}, 2, "size-strain needs one --pair"},
      {"size-strain of three pairs",
       {"size-strain", "--pair", cu111, ref111, "--pair", cu222, ref222, "--pair", cu111, ref111}, 2,
       "size-strain needs one --pair"},
      {"size-strain of a file outside a pair", {"size-strain", cu111}, 2,
       "size-strain takes its files in --pair options"},
      {"a pair without its reference", {"size-strain", "--pair", cu111}, 2, "--pair needs a sample file"},
      {"a pair whose reference does not exist", {"size-strain", "--pair", cu111, demo + "missing.xdd"}, 1,
       "Cannot open file"},
      {"one line twice", {"size-strain", "--pair", cu111, ref111, "--pair", cu111, ref111}, 1, "already loaded"},
      {"a line and an unrelated one",
       {"size-strain", "--pair", cu111, ref111, "--pair", cu222, ref222, "--set", "lBamda=1.2"}, 1,
       "are not two orders of one reflection"},
      {"no command", {}, 2, usage},
      {"an unknown command", {"draw", "x"}, 2, usage},
      {"info without files", {"info"}, 2, usage},
      {"convert with one file", {"convert", line}, 2, usage},
      {"an unknown option", {"--fast", "info", line}, 2, usage},
  };
  for (const auto& row : rows) {
    const run_result r = run(row.args);
    EXPECT_EQ(r.status, row.status) << row.name << ": " << r.err;
    EXPECT_NE(r.err.find(row.says), std::string::npos) << row.name << ": " << r.err;
    EXPECT_EQ(r.out, "") << row.name;
  }
  EXPECT_EQ(names_in(dir), std::set<std::string>{"line.xdd"}) << "nothing was written";
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
