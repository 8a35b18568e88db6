// The size-strain command on the bundled synthetic copper lines, whose
// sample broadening is known: an area-weighted column length of 200 Å and an
// rms strain of 1.0e-3 at every L (scripts/make_size_strain_demo.py).
#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "batch_runner.h"

namespace {

const std::string demo = XRDF_SOURCE_DIR "/resources/demo/size_strain/";
const std::string cu111 = demo + "cu111.xdd", cu111_ref = demo + "cu111_ref.xdd";
const std::string cu222 = demo + "cu222.xdd", cu222_ref = demo + "cu222_ref.xdd";

// The summary lines in their fixed forms, in order; the numbers captured.
// Each figure carries its standard uncertainty; the volume-weighted length
// of A^S(L), which the table ends before it reaches 0, is a lower bound.
const char* const two_order_summary =
    "Area-weighted mean column length = ([0-9]+\\.[0-9]) \u00b1 [0-9]+\\.[0-9] A\n"
    "Volume-weighted mean column length = > ([0-9]+\\.[0-9]) A\n"
    "Scherrer size \\(integral breadth\\) of [^\n]*cu111.xdd = ([0-9]+\\.[0-9]) \u00b1 [0-9]+\\.[0-9] A\n"
    "Scherrer size \\(integral breadth\\) of [^\n]*cu222.xdd = [0-9]+\\.[0-9] \u00b1 [0-9]+\\.[0-9] A\n"
    "Reconvolution R = ([0-9]+\\.[0-9]{2}) %\n"
    "Reconvolution R = ([0-9]+\\.[0-9]{2}) %\n"
    "RMS strain at L = ([0-9]+) A = ([0-9]\\.[0-9]{2}e-[0-9]{2}) \u00b1 [0-9]\\.[0-9]{2}e-[0-9]{2}\n"
    "RMS strain at L = 50 A = ([0-9]\\.[0-9]{2}e-[0-9]{2}) \u00b1 [0-9]\\.[0-9]{2}e-[0-9]{2}\n";

TEST(SizeStrainCommand, TwoOrdersGiveTheSizeAndTheStrainInTheSummaryForms) {
  const run_result r = run({"size-strain", "--auto-limit", "--pair", cu111, cu111_ref, "--pair", cu222, cu222_ref});
  ASSERT_EQ(r.status, 0) << r.err;
  std::smatch m;
  ASSERT_TRUE(std::regex_search(r.out, m, std::regex(std::string("^") + two_order_summary))) << r.out;
  const double size = std::stod(m[1]);
  EXPECT_NEAR(size, 200.0, 20.0);
  EXPECT_LT(std::stod(m[4]), 5.0) << "reconvolution of the first order";
  EXPECT_LT(std::stod(m[5]), 5.0) << "reconvolution of the second order";
  EXPECT_NEAR(std::stod(m[6]), size / 2.0, 1.0) << "the strain is given at half the column length";
  EXPECT_NEAR(std::stod(m[7]), 1.0e-3, 1.0e-4);
  EXPECT_NEAR(std::stod(m[8]), 1.0e-3, 1.0e-4);
  EXPECT_NE(r.out.find("\nL            A1           A2           AS           eps_rms      \n0.0000       "),
            std::string::npos)
      << "the table in the report's field layout";
}

using SizeStrainFiles = BatchFolder;

TEST_F(SizeStrainFiles, OneLineGivesItsLengthsAndItsCoefficientsToAFile) {
  const run_result r = run({"size-strain", "--pair", cu111, cu111_ref, "--set", "fft_zero=43.3182", "--set",
                            "aBo_bkg=100", "--set", "aB1_bkg=0", "--auto-limit", "-o", path("one.txt")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "");
  const std::string text = contents(path("one.txt"));
  std::smatch m;
  ASSERT_TRUE(std::regex_search(text, m,
                                std::regex("^Area-weighted mean column length = ([0-9.]+) \u00b1 [0-9.]+ A\n"
                                           "Volume-weighted mean column length = > [0-9.]+ A\n"
                                           "Scherrer size \\(integral breadth\\) = [0-9.]+ \u00b1 [0-9.]+ A\n"
                                           "Reconvolution R = [0-9.]+ %\n\n")))
      << text;
  // One line holds size and strain together: its A(L) falls faster than the
  // size's alone, and its initial slope gives a little less.
  EXPECT_NEAR(std::stod(m[1]), 200.0, 20.0);
  EXPECT_NE(text.find("2theta0 43.3182 deg"), std::string::npos) << "the pair's own origin was used";
  EXPECT_NE(text.find("\nL            A1           \n0.0000       1.0000"), std::string::npos) << text;
}

// The view family "al" draws the very coefficients the analysis reads: the
// xy report of a view showing it and the analysis's table agree line for line.
TEST(SizeStrainCommand, TheViewOfACoefficientsFamilyShowsTheTablesA) {
  const run_result shown = run({"report", cu111, "--ref", cu111_ref, "--show", "al"});
  const run_result table = run({"size-strain", "--pair", cu111, cu111_ref});
  ASSERT_EQ(shown.status, 0) << shown.err;
  ASSERT_EQ(table.status, 0) << table.err;
  std::istringstream a(shown.out), b(table.out.substr(table.out.find("\nL ") + 1));
  std::string la, lb;
  std::getline(a, la);
  std::getline(a, la);
  std::getline(b, lb);
  EXPECT_EQ(la.substr(0, 26), "x            A(L)         ");
  int rows = 0;
  while (std::getline(a, la) && std::getline(b, lb)) {
    ASSERT_EQ(la, lb) << "row " << rows;
    ++rows;
  }
  EXPECT_GT(rows, 1000);
}

// A measured pair from one diffractometer: iron (110), broadened, and the
// LaB6 (200) line of the standard, each cut from its full pattern as a user
// would. The quotient drowns in noise far below the scans' Nyquist frequency,
// so the automatic limit is what makes the deconvolution work.
TEST_F(SizeStrainFiles, AMeasuredIronLineIsDeconvolutedByTheStandardsLine) {
  const std::string fe = path("fe110.xdd"), lab6 = path("lab6_200.xdd");
  ASSERT_EQ(run({"convert", XRDF_TEST_DATA "/d8_fe_sample.csv", fe, "--xrange", "42", "47.5"}).status, 0);
  ASSERT_EQ(run({"convert", XRDF_TEST_DATA "/d8_lab6_standard.csv", lab6, "--xrange", "41.5", "45.5"}).status, 0);
  const run_result r = run({"size-strain", "--pair", fe, lab6, "--auto-limit"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::smatch m;
  ASSERT_TRUE(std::regex_search(r.out, m,
                                std::regex("Reconvolution R = ([0-9.]+) %\n[^]*"
                                           "observed +FWHM ([0-9.]+) deg[^]*deconvoluted +FWHM ([0-9.]+) deg")))
      << r.out;
  const double R = std::stod(m[1]), observed = std::stod(m[2]), deconvoluted = std::stod(m[3]);
  // The limit lies where A(L) still stands three times above its noise, below
  // where |Q| did: the cut's ringing leaves R a little above 5%.
  EXPECT_LT(R, 8.0);
  EXPECT_GT(deconvoluted, observed / 3.0) << r.out;
  EXPECT_LT(deconvoluted, observed * 0.8) << r.out;
  // The scan, cut where the line's tails still hold about 1% of it, may be
  // warned about. At the noise's limit A(L) has not fallen to 0: R says the cut, not a fault.
  const std::size_t warned = r.out.find("Warning: Reconvolution R");
  if (warned != std::string::npos) {
    EXPECT_NE(r.out.find("the noise allows no higher limit", warned), std::string::npos) << r.out;
  }
  EXPECT_NE(r.out.find("counting noise alone gives"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("Warning: At the frequency limit"), std::string::npos) << r.out;
}

}  // namespace
