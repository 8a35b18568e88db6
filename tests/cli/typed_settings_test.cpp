#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "batch_runner.h"

namespace {

// What a person types after --set, on a scan of 20 points from 20 to 29.5
// degrees whose highest count is 119: its transform has 32 frequencies.
using TypedSettings = BatchFolder;

TEST_F(TypedSettings, AValueThatIsNotANumberOrMakesNoSenseIsRefusedNamingTheFieldAndNothingIsWritten) {
  const std::string line = scan("line.xdd");
  const struct {
    const char* what;
    const char* setting;
    const char* says;
  } rows[] = {
      {"letters for the wavelength", "lBamda=abc", "Wavelength for the transform axis: \"abc\" is not a number"},
      {"a number followed by letters", "fft_zero=12abc", "Origin: \"12abc\" is not a number"},
      {"not a number", "fft_zero=nan", "Origin: \"nan\" is not a number"},
      {"an infinity", "aBo_bkg=inf", "Background level: \"inf\" is not a number"},
      {"nothing where a number is needed", "fBft_f2_lim=", "Frequency limit: \"\" is not a number"},
      {"a fraction for a whole number", "fBreq_doubler=1.5", "Transform length doubling: \"1.5\" is not a whole number"},
      {"a limit far beyond the axis", "fBft_f2_lim=1e308", "Value for Frequency limit must be less than 31.0000"},
      {"a negative limit", "fBft_f2_lim=-3", "Value for Frequency limit must be greater than 0.0000"},
      {"an origin far beyond the scan", "fft_zero=1e300", "Value for Origin must be less than 29.5000"},
      {"an origin before the scan", "fft_zero=19.9", "Value for Origin must be greater than 20.0000"},
      {"a wavelength of no X-ray tube", "lBamda=11",
       "Value for Wavelength for the transform axis must be less than 10.0000"},
      {"a left fit ending after the scan", "ex_l_consts.nBpts_i2=25", "Value for Left fit end must be less than 19.0000"},
      {"a right fit starting too late to fit", "ex_r_consts.nBpts_i1=17",
       "Value for Right fit start must be less than 15.0000"},
      {"a right tail ending inside the scan", "ex_r_consts.nBpts_i2=10",
       "Value for Right tail end must be greater than 19.0000"},
      {"a background far above the counts", "aBo_bkg=1e300", "Value for Background level must be less than 1190.0000"},
      {"a reference that is not loaded", "ref_prof=nosuch.xdd",
       "Reference profile: \"nosuch.xdd\" is not a loaded data file"},
  };
  for (const auto& row : rows) {
    const run_result r = run({"save-project", line, "--set", row.setting, "-o", path("p.prj")});
    EXPECT_EQ(r.status, 1) << row.what << ": " << r.err;
    EXPECT_NE(r.err.find(row.says), std::string::npos) << row.what << ": " << r.err;
    EXPECT_FALSE(std::filesystem::exists(path("p.prj"))) << row.what;
  }
}

TEST_F(TypedSettings, ValuesWithinTheirLimitsAreTakenInEveryOrdinaryForm) {
  const std::string line = scan("line.xdd");
  // The limit comes before the doubling that makes room for it.
  const run_result r = run({"save-project", line, "--set", "fft_zero= +25 ", "--set", "lBamda=1.5406e0", "--set",
                            "fBft_f2_lim=50", "--set", "fBreq_doubler=2", "--set", "ex_r_consts.nBpts_i2=-1",
                            "-o", path("p.prj")});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string project = contents(path("p.prj"));
  for (const char* record : {"\nfft_zero xdd 10.0000\n", "\nlBamda xdd 1.5406\n", "\nfBft_f2_lim xdd 50.0000\n",
                             "\nfBreq_doubler xdd 2\n", "\nnBpts_i2 ex_r_consts -1.0000\n"})
    EXPECT_NE(project.find(record), std::string::npos) << record << " in\n" << project;
}

TEST_F(TypedSettings, AProjectWithAValueThatIsNotANumberOpensWithTheDefaultAndSaysWhichFieldOfWhichFile) {
  const std::string line = scan("line.xdd");
  ASSERT_EQ(run({"save-project", line, "--set", "fBft_f2_lim=20", "--set", "aBo_bkg=5", "-o", path("good.prj")}).status,
            0);
  std::string text = contents(path("good.prj"));
  for (const auto& [from, to] : {std::pair<std::string, std::string>{"fBft_f2_lim xdd 20.0000", "fBft_f2_lim xdd 12abc"},
                                 {"aBo_bkg xdd 5.0000", "aBo_bkg xdd 1e308"}}) {
    const auto at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
  }
  const std::string bad = write("bad.prj", text);
  const run_result r = run({"project", bad, "-o", path("report.txt"), "--format", "csv"});
  EXPECT_EQ(r.status, 1) << "a value was refused";
  EXPECT_NE(r.err.find(bad + ": values refused, the fields keep their defaults:"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(line + ": Frequency limit: \"12abc\" is not a number"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find(line + ": Value for Background level must be less than 1190.0000"), std::string::npos) << r.err;
  EXPECT_TRUE(std::filesystem::exists(path("report.txt"))) << "the rest of the project was read and reported";
}

}  // namespace
