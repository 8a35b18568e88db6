#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch_runner.h"

namespace {

class AssumedWavelength : public BatchFolder {
 protected:
  // A two-column scan: angles and counts, no wavelength.
  std::string two_columns(const std::string& name) {
    std::string text;
    for (int i = 0; i < 21; ++i) text += std::to_string(40 + i) + ".0 " + std::to_string(100 + i * (20 - i)) + "\n";
    return write(name, text);
  }
};

TEST_F(AssumedWavelength, InfoOnAFileWithoutAWavelengthSaysWhichOneWasTakenAndWhy) {
  const std::string xy = two_columns("scan.xy");
  const struct {
    const char* what;
    std::vector<std::string> args;
    const char* said;
  } rows[] = {
      {"nothing given", {"info", xy}, "Lambda= 1.5406; wavelength not in the file: 1.5406 \u00c5 assumed\n"},
      {"one given after the command", {"info", xy, "--wavelength", "1.5418"},
       "Lambda= 1.5418; wavelength not in the file: 1.5418 \u00c5 given with --wavelength\n"},
      {"one given before the command", {"--wavelength", "0.7093", "info", xy},
       "Lambda= 0.7093; wavelength not in the file: 0.7093 \u00c5 given with --wavelength\n"},
  };
  for (const auto& r : rows) {
    const run_result got = run(r.args);
    EXPECT_EQ(got.status, 0) << r.what << ": " << got.err;
    EXPECT_NE(got.out.find(r.said), std::string::npos) << r.what << ": " << got.out;
    EXPECT_EQ(got.err, "") << r.what;
  }
}

TEST_F(AssumedWavelength, AFileWithItsOwnWavelengthKeepsItAndSaysSoOnStandardError) {
  const std::string own = scan("own.xdd");
  const run_result other = run({"info", "--wavelength", "1.5418", own});
  EXPECT_EQ(other.status, 0);
  EXPECT_NE(other.out.find("Lambda= 1.5406"), std::string::npos) << other.out;
  EXPECT_EQ(other.out.find("wavelength not in the file"), std::string::npos) << other.out;
  EXPECT_NE(other.err.find(own + ": the file's own wavelength, 1.5406 \u00c5, is kept; the 1.5418 \u00c5 given is "
                                 "for files without one"),
            std::string::npos)
      << other.err;
  const run_result same = run({"info", "--wavelength", "1.5406", own});
  EXPECT_EQ(same.err, "") << "the same wavelength is nothing to say";
}

TEST_F(AssumedWavelength, AWavelengthThatCannotBeOneIsAUsageError) {
  const std::string xy = two_columns("scan.xy");
  for (const char* value : {"abc", "1,5418", "0.1", "10", "-1.5", "nan", "inf", "1.5418A", ""}) {
    const run_result got = run({"info", xy, "--wavelength", value});
    EXPECT_EQ(got.status, 2) << value;
    EXPECT_NE(got.err.find("--wavelength needs a number of Angstrom between 0.1 and 10"), std::string::npos)
        << value << ": " << got.err;
    EXPECT_EQ(got.out, "") << value;
  }
  const run_result missing = run({"info", xy, "--wavelength"});
  EXPECT_EQ(missing.status, 2);
}

TEST_F(AssumedWavelength, AConvertedFileSaysWhatWasAssumedAndLoadsAgain) {
  const std::string xy = two_columns("scan.xy");
  const std::string out = path("scan.xdd");
  ASSERT_EQ(run({"convert", "--wavelength", "1.5418", xy, out}).status, 0);
  const std::string written = contents(out);
  EXPECT_EQ(written.substr(0, written.find('\n')), "wavelength not in the file: 1.5418 \u00c5 given with --wavelength");
  const run_result back = run({"info", out});
  EXPECT_EQ(back.status, 0) << back.err;
  EXPECT_NE(back.out.find("Lambda= 1.5418"), std::string::npos) << back.out;
  EXPECT_EQ(back.out.find("assumed"), std::string::npos) << "the XDD file holds its wavelength now: " << back.out;
}

TEST_F(AssumedWavelength, ASavedProjectReportsWithTheWavelengthItWasGiven) {
  const std::string xy = two_columns("scan.xy");
  const std::string project = path("p.prj");
  ASSERT_EQ(run({"save-project", "--wavelength", "1.5418", xy, "-o", project}).status, 0);
  const std::string saved = contents(project);
  EXPECT_NE(saved.find("1.5418"), std::string::npos) << saved;
  const run_result reopened = run({"project", project});
  EXPECT_EQ(reopened.status, 0) << reopened.err;
  EXPECT_EQ(reopened.err, "");
}

}  // namespace
