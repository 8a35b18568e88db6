// What size-strain and measure --table print when the analysis finds no
// figure it can stand by: the summary says "not determined" with the cause,
// the table leaves the cell empty, and "nan" or "inf" never appear.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <iomanip>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "batch_runner.h"

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double lambda = 1.5406;
constexpr double centre = 40.0, step = 0.01, from = 30.0;
constexpr int points = 2001;
constexpr double instrument = 0.03;  // sigma of the instrument's Gaussian, degrees
constexpr double La = 300.0;         // Å: A(L) = exp(−L / La)

double gaussian(double u, double s) { return std::exp(-0.5 * u * u / (s * s)) / (s * std::sqrt(2.0 * pi)); }

// The size's Lorentzian (half width λ / (2π La cos θ0) radians) convolved
// with the instrument's Gaussian, by quadrature.
double broadened(double x) {
  const double w = lambda / (2.0 * pi * La * std::cos(centre * pi / 360.0)) * 180.0 / pi;
  double sum = 0.0;
  const int steps = 400;
  const double dt = 12.0 * instrument / steps;
  for (int k = 0; k <= steps; ++k) {
    const double t = -6.0 * instrument + k * dt;
    const double u = x - centre - t;
    sum += w / pi / (w * w + u * u) * gaussian(t, instrument) * dt;
  }
  return sum;
}

class HonestResults : public BatchFolder {
 protected:
  // 30 to 50 deg in steps of 0.01, a line of 1e5 counts at the top on 100.
  std::string scan_of(const std::string& name, double (*line)(double)) {
    std::vector<double> y(points);
    double top = 0.0;
    for (int i = 0; i < points; ++i) top = std::max(top, y[static_cast<std::size_t>(i)] = line(from + i * step));
    std::ostringstream f;
    f << "Synthetic line\n" << from << ' ' << step << ' ' << from + (points - 1) * step << "\n1 1 " << lambda << "\n"
      << std::setprecision(10);
    for (double v : y) f << 100.0 + 1e5 * v / top << "\n";
    return write(name, f.str());
  }
  std::string sample() { return scan_of("sample.xdd", broadened); }
  std::string reference() {
    return scan_of("reference.xdd", [](double x) { return gaussian(x - centre, instrument); });
  }
};

// The settings each file of the pair takes: its origin and background, and a
// frequency limit (an index on the transform's axis) near L = 150 A, where
// A(L) has fallen only to about exp(−0.5): 2 ∫ A dL stops near 0.8 La,
// below the area-weighted length.
const std::vector<std::string> cut_short = {"--set", "fft_zero=40", "--set", "aBo_bkg=100", "--set", "aB1_bkg=0",
                                            "--set", "fBft_f2_lim=65"};

TEST_F(HonestResults, ALineCutShortOfItsSizeGivesItsVolumeWeightedLengthAsALowerBound) {
  std::vector<std::string> args = {"size-strain", "--pair", sample(), reference()};
  args.insert(args.end(), cut_short.begin(), cut_short.end());
  const run_result r = run(args);
  ASSERT_EQ(r.status, 0) << r.err;
  std::smatch m;
  // The integral up to the limit is all of ⟨L⟩vol the data give: at least
  // that much, which a longer area-weighted length does not contradict.
  ASSERT_TRUE(std::regex_search(r.out, m,
                                std::regex("^Area-weighted mean column length = ([0-9.]+) \u00b1 ([0-9.]+) A\n"
                                           "Volume-weighted mean column length = > ([0-9.]+) A\n")))
      << r.out;
  const double area = std::stod(m[1]), u = std::stod(m[2]), volume = std::stod(m[3]);
  EXPECT_NEAR(area, La, 0.1 * La);
  EXPECT_LT(u, 0.01 * La) << "a scan without counting noise";
  ASSERT_TRUE(std::regex_search(r.out, m, std::regex("cycles/deg \\(L = ([0-9.]+) A\\)"))) << r.out;
  const double limit = std::stod(m[1]);
  EXPECT_NEAR(volume, 2.0 * La * (1.0 - std::exp(-limit / La)), 0.05 * La) << "limit " << limit;
  EXPECT_LT(volume, 2.0 * La) << "a lower bound of the true 2 La";
  EXPECT_NE(r.out.find("the volume-weighted length is cut short, and given as a lower bound"), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("  initial slope fitted over L = "), std::string::npos) << "the detail lines stay";
}

TEST_F(HonestResults, TheTableOfALineCutShortLeavesItsVolumeWeightedLengthEmptyAndSaysWhy) {
  std::vector<std::string> args = {"measure", "--table", sample(), "--ref", reference()};
  args.insert(args.end(), cut_short.begin(), cut_short.end());
  const run_result r = run(args);
  ASSERT_EQ(r.status, 0) << r.err;
  // index, file, scan, no name, time or temperature, four measures,
  // deconvoluted FWHM, the area-weighted length and its u, then the
  // volume-weighted length and its u empty, then Scherrer and its u, and the
  // warning saying why.
  EXPECT_TRUE(std::regex_search(
      r.out, std::regex("\n1,[^,\n]*sample.xdd,1,,,(,[0-9.]+){7},,,[0-9.]+,[0-9.]+,[^\n]*sample.xdd: A\\(L\\) is "
                        "cut at the limit before it reaches 0: the volume-weighted length is at least ")))
      << r.out;
}

TEST(HonestTwoOrders, EachOrdersScherrerSizeIsLabelledWithItsFile) {
  const std::string demo = XRDF_SOURCE_DIR "/resources/demo/size_strain/";
  const run_result r = run({"size-strain", "--auto-limit", "--pair", demo + "cu111.xdd", demo + "cu111_ref.xdd",
                            "--pair", demo + "cu222.xdd", demo + "cu222_ref.xdd"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::smatch m;
  ASSERT_TRUE(std::regex_search(r.out, m,
                                std::regex("\nScherrer size \\(integral breadth\\) of [^\n]*cu111.xdd = ([0-9.]+) "
                                           "\u00b1 [0-9.]+ A\n"
                                           "Scherrer size \\(integral breadth\\) of [^\n]*cu222.xdd = ([0-9.]+) "
                                           "\u00b1 [0-9.]+ A\n")))
      << r.out;
  // The second order's breadth holds four times the strain's share: its size
  // comes out smaller.
  EXPECT_LT(std::stod(m[2]), std::stod(m[1]));
}

// Every scan of the fuzzers' corpora (those that do not load are refused),
// through both commands: against a copy of itself (no broadening at all),
// against a real line and as its reference, with the automatic limit and
// without, and as the first of two "orders".
using HonestCorpus = BatchFolder;

TEST_F(HonestCorpus, NoCommandPrintsNanOrInfOnAnyCorpusScan) {
  const std::filesystem::path corpus = XRDF_SOURCE_DIR "/fuzz/corpus";
  const std::string line = (corpus / "xdd" / "broadened.xdd").string();
  const std::string line_copy = path("line_copy.xdd");
  std::filesystem::copy_file(line, line_copy);
  std::vector<std::string> scans;
  for (const char* kind : {"xdd", "xy", "cpi", "ras", "xrdml"})
    for (const auto& entry : std::filesystem::directory_iterator(corpus / kind)) scans.push_back(entry.path().string());
  ASSERT_GE(scans.size(), 10u);
  const std::regex not_a_number("nan|inf", std::regex::icase);
  int analysed = 0;
  for (const std::string& scan : scans) {
    const std::string copy = path("copy_" + std::filesystem::path(scan).filename().string());
    std::filesystem::copy_file(scan, copy, std::filesystem::copy_options::overwrite_existing);
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"size-strain", "--pair", scan, copy},
             {"size-strain", "--pair", scan, copy, "--auto-limit"},
             {"size-strain", "--pair", scan, line},
             {"size-strain", "--pair", line, scan, "--auto-limit"},
             {"size-strain", "--pair", scan, copy, "--pair", line, line_copy},
             {"measure", "--table", scan, "--ref", line},
             {"measure", "--table", scan, "--ref", copy, "--auto-limit"}}) {
      const run_result r = run(args);
      if (r.out.find("Reconvolution R = ") != std::string::npos) ++analysed;
      std::string said = r.out + r.err;
      // Words that hold the letters are no "inf": "information", "infinite".
      said = std::regex_replace(said, std::regex("[A-Za-z]*(inf|nan)[A-Za-z]+|[A-Za-z]+(inf|nan)[A-Za-z]*"), "");
      EXPECT_FALSE(std::regex_search(said, not_a_number)) << args[0] << ' ' << args[2] << ' ' << args[3] << "\n"
                                                          << r.out << r.err;
    }
  }
  EXPECT_GE(analysed, 10) << "too few scans reach an analysis to say anything";
}

}  // namespace
