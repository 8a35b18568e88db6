#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "batch_runner.h"

namespace {

const std::string two_banks =
    "Two banks\n# Wavelength 1.540598\n"
    "BANK 1 4 1 CONS 1000 2 0 0 STD\n"
    "     100 1   107     114     121\n"
    "BANK 2 5 5 CONS 2000 5 0 0 FXYE\n"
    "2000 100 10\n2005 107 10\n2010 114 10\n2015 121 11\n2020 128 11\n";

TEST_F(BatchFolder, InfoOnAGsasFileShowsTheBankAskedForWithItsWavelength) {
  const std::string file = write("two.gsa", two_banks);
  const run_result first = run({"info", file});
  EXPECT_EQ(first.status, 0) << first.err;
  EXPECT_EQ(first.out, file + " : (10.000, 0.0200, 10.060)  Npts= 4, Lambda= 1.5406\n"
                              "  scan 1 of 2: \"BANK 1\", (10.000, 0.0200, 10.060)  Npts= 4\n"
                              "  scan 2 of 2: \"BANK 2\", (20.000, 0.0500, 20.200)  Npts= 5\n");
  const run_result second = run({"info", "--scan", "2", file});
  EXPECT_EQ(second.status, 0) << second.err;
  EXPECT_EQ(second.out, file + " : (20.000, 0.0500, 20.200)  Npts= 5, Lambda= 1.5406\n"
                               "  scan 2 of 2: \"BANK 2\", (20.000, 0.0500, 20.200)  Npts= 5\n");
  const run_result third = run({"info", "--scan", "3", file});
  EXPECT_EQ(third.status, 1);
  EXPECT_NE(third.err.find("The file holds 2 scans; there is no scan 3"), std::string::npos) << third.err;
}

TEST_F(BatchFolder, ConvertingAGsasHeaderWithNoBankIsRefusedAndWritesNothing) {
  const std::string file = write("header.fxye", "Quartz\nInstrument parameter file: cu.prm\n1000 100 10\n");
  const run_result r = run({"convert", file, path("out.xdd")});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("Error loading file " + file + "\nNo BANK line: the header is not followed by any data"),
            std::string::npos)
      << r.err;
  EXPECT_FALSE(std::filesystem::exists(path("out.xdd")));
}

}  // namespace
