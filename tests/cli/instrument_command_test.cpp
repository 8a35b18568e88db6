// The instrument command: a standard's whole pattern to the instrument file
// and its printed figures, on a synthetic LaB6 of known widths and on the
// real export.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "batch_runner.h"
#include "xrd/pattern/instrument_file.h"

namespace {

const std::string lab6_export = XRDF_SOURCE_DIR "/tests/data/d8_lab6_standard.csv";
constexpr double pi = 3.14159265358979323846;
constexpr double lambda1 = 1.5406, lambda2 = 1.54439;  // Cu, the default of a file without one

// The instrument the synthetic standards are made with.
constexpr double true_U = 0.0040, true_V = -0.0020, true_W = 0.0060;  // deg²
constexpr double true_eta0 = 0.20, true_eta1 = 0.0030;                 // η = η0 + η1 2θ

double fwhm_at(double two_theta) {
  const double t = std::tan(two_theta * pi / 360.0);
  return std::sqrt(true_U * t * t + true_V * t + true_W);
}

// A pseudo-Voigt of unit area: η Lorentz + (1 − η) Gauss, one FWHM.
double pseudo_voigt(double u, double fwhm, double eta) {
  const double g = std::sqrt(4.0 * std::log(2.0) / pi) / fwhm * std::exp(-4.0 * std::log(2.0) * u * u / (fwhm * fwhm));
  const double l = fwhm / (2.0 * pi * (u * u + fwhm * fwhm / 4.0));
  return eta * l + (1.0 - eta) * g;
}

// Counts at x of the K-alpha doublets of the lines at `positions` (their
// K-alpha1, area 60 counts·deg each, K-alpha2 half of K-alpha1), on 40 counts.
double counts_at(double x, const std::vector<double>& positions) {
  double y = 40.0;
  for (double p : positions) {
    const double second = 360.0 / pi * std::asin(lambda2 / lambda1 * std::sin(p * pi / 360.0));
    const double w = fwhm_at(p), eta = true_eta0 + true_eta1 * p;
    y += 40.0 * pseudo_voigt(x - p, w, eta);
    if (std::isfinite(second)) y += 20.0 * pseudo_voigt(x - second, w, eta);
  }
  return y;
}

// The K-alpha1 2θ of the simple cubic lattice's reflections between two angles.
std::vector<double> sc_lines(double a, double from, double to) {
  std::vector<double> out;
  for (int n = 1; n < 40; ++n) {
    const double s = lambda1 * std::sqrt(static_cast<double>(n)) / (2.0 * a);
    if (s >= 1.0) break;
    const double two_theta = 360.0 / pi * std::asin(s);
    // n = 7, 15, 23, 28, 31 are no sum of three squares.
    if (n == 7 || n == 15 || n == 23 || n == 28 || n == 31) continue;
    if (two_theta > from && two_theta < to) out.push_back(two_theta);
  }
  return out;
}

class InstrumentCommand : public BatchFolder {
 protected:
  // A two-column scan with Poisson counts about the lines' doublets.
  std::string standard(const std::string& name, const std::vector<double>& positions, double from, double to,
                       double step = 0.01) const {
    std::mt19937 random(22);
    std::string text = "# 2theta counts\n";
    for (double x = from; x <= to; x += step) {
      std::poisson_distribution<int> counts(counts_at(x, positions));
      text += std::to_string(x) + " " + std::to_string(counts(random)) + "\n";
    }
    return write(name, text);
  }
};

TEST_F(InstrumentCommand, ASyntheticLaB6GivesTheWidthsItWasMadeWithAndAFileTheReaderTakes) {
  const std::string scan = standard("lab6.xy", sc_lines(4.15692, 20.0, 120.0), 18.0, 122.0);
  const std::string file = path("instrument.txt");
  const run_result r = run({"instrument", scan, "--lattice", "sc:4.15692", "-o", file});
  ASSERT_EQ(r.status, 0) << r.err;

  struct truth {
    const char* label;
    double value;
  };
  for (const truth& t : {truth{"U", true_U}, truth{"V", true_V}, truth{"W", true_W}, truth{"eta0", true_eta0},
                         truth{"eta1", true_eta1}}) {
    double value = 0.0, u = 0.0;
    ASSERT_TRUE(figure_of(r.out, t.label, value, u)) << t.label << " missing from\n" << r.out;
    EXPECT_GT(u, 0.0) << t.label;
    EXPECT_LT(std::abs(value - t.value), 3.0 * u) << t.label << " = " << value << " ± " << u;
  }
  // Each reflection's line is named by its hkl, with its width and shape.
  EXPECT_NE(r.out.find("\n  100  2theta = 21.3"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\n  421  2theta = 116.2"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("eta residual = "), std::string::npos) << r.out;

  instrument_function read;
  std::string why;
  ASSERT_TRUE(read_instrument_file(file, lambda1, read, why)) << why;
  double U = 0.0, u = 0.0;
  ASSERT_TRUE(figure_of(r.out, "U", U, u));
  EXPECT_NEAR(read.U, U, 1e-3 * std::abs(U) + 1e-9);
  EXPECT_EQ(read.lines.size(), sc_lines(4.15692, 20.0, 120.0).size());
}

TEST_F(InstrumentCommand, WithoutALatticeEveryIsolatedLineIsUsedNamedByItsPosition) {
  const std::string scan = standard("lab6.xy", sc_lines(4.15692, 20.0, 80.0), 18.0, 82.0);
  const run_result r = run({"instrument", scan, "-o", path("instrument.txt")});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("Lines used (" + std::to_string(sc_lines(4.15692, 20.0, 80.0).size()) + ")"),
            std::string::npos)
      << r.out;
  EXPECT_TRUE(std::regex_search(r.out, std::regex("\n  21\\.3[0-9]{2} deg  2theta = 21\\.3"))) << r.out;
}

TEST_F(InstrumentCommand, TheRealLaB6ExportConvergesAndListsItsLines) {
  const std::string file = path("d8.txt");
  const run_result r = run({"instrument", lab6_export, "--lattice", "sc:4.15692", "-o", file});
  ASSERT_EQ(r.status, 0) << r.err;
  double value = 0.0, u = 0.0;
  for (const char* label : {"U", "V", "W", "eta0", "eta1"}) EXPECT_TRUE(figure_of(r.out, label, value, u)) << label;
  std::smatch m;
  ASSERT_TRUE(std::regex_search(r.out, m, std::regex("Lines used \\(([0-9]+)\\)"))) << r.out;
  EXPECT_GE(std::stoi(m[1]), 10);
  for (const char* hkl : {"\n  100  ", "\n  110  ", "\n  111  ", "\n  200  "})
    EXPECT_NE(r.out.find(hkl), std::string::npos) << hkl << " in\n" << r.out;
  EXPECT_EQ(r.out.find("nan"), std::string::npos);
  instrument_function read;
  std::string why;
  EXPECT_TRUE(read_instrument_file(file, lambda1, read, why)) << why;
}

TEST_F(InstrumentCommand, ARefusedStandardSaysWhyExitsOneAndWritesNothing) {
  struct row {
    const char* name;
    std::vector<double> lines;
    double from, to;
    const char* lattice;
    const char* message;
    double step = 0.01;
  };
  const std::vector<row> rows = {
      {"a standard of two lines is too few", {30.0, 50.0}, 25.0, 55.0, "", "2 isolated lines of 2 found"},
      {"lines too close to be told apart are not isolated", {30.0, 30.12, 50.0, 50.12, 70.0}, 25.0, 75.0, "",
       "isolated line"},
      {"a lattice whose reflections lie elsewhere indexes nothing", {30.0, 50.0, 70.0}, 25.0, 75.0, "fcc:2.0",
       "the lattice fcc:2.0 indexes none of its 3 lines"},
      // Isolated, but so near each other on so coarse a step that no line's
      // window holds enough points to fit its doublet.
      {"lines too close for a window of their own give no fit and no numbers",
       {30.0, 30.35, 30.7, 31.05, 31.4}, 29.85, 31.6, "", "the instrument fit did not converge", 0.035},
  };
  for (const row& t : rows) {
    SCOPED_TRACE(t.name);
    const std::string scan = standard("standard.xy", t.lines, t.from, t.to, t.step);
    const std::string file = path("instrument.txt");
    std::vector<std::string> args = {"instrument", scan, "-o", file};
    if (*t.lattice) args.insert(args.end(), {"--lattice", t.lattice});
    const run_result r = run(args);
    EXPECT_EQ(r.status, 1) << r.out;
    EXPECT_NE(r.err.find(scan + ": "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(t.message), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "") << "no numbers from a refused standard";
    EXPECT_FALSE(std::filesystem::exists(file));
  }
}

TEST_F(InstrumentCommand, AMissingOutputOrAnUnknownOptionIsAUsageError) {
  const std::string scan = standard("lab6.xy", sc_lines(4.15692, 20.0, 50.0), 18.0, 52.0);
  const struct {
    const char* name;
    std::vector<std::string> args;
  } rows[] = {
      {"no -o", {"instrument", scan}},
      {"an option of another command", {"instrument", scan, "--xrange", "20", "30", "-o", path("i.txt")}},
      {"a lattice that is not one", {"instrument", scan, "--lattice", "hex:3", "-o", path("i.txt")}},
      {"two standards", {"instrument", scan, scan, "-o", path("i.txt")}},
  };
  for (const auto& t : rows) {
    SCOPED_TRACE(t.name);
    EXPECT_EQ(run(t.args).status, 2);
    EXPECT_FALSE(std::filesystem::exists(path("i.txt")));
  }
}

}  // namespace
