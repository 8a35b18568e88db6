// The whole-pattern analysis through the batch tool, against samples made
// here with a known size and strain, seen through a known instrument.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "batch_runner.h"

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double lambda1_A = 1.5406, lambda2_A = 1.54439, ka2_ratio = 0.5;  // Cu K-alpha
constexpr double iron_a_A = 2.8665;

// The instrument: Caglioti widths and a mixing rising linearly with 2θ.
constexpr double true_U = 0.0040, true_V = -0.0020, true_W = 0.0060;  // deg²
constexpr double true_eta0 = 0.20, true_eta1 = 0.0030;

double instrument_fwhm_deg(double two_theta_deg) {
  const double t = std::tan(two_theta_deg * pi / 360.0);
  return std::sqrt(true_U * t * t + true_V * t + true_W);
}
double instrument_eta(double two_theta_deg) { return true_eta0 + true_eta1 * two_theta_deg; }

// A Voigt profile of unit area: a Lorentzian of half width `gamma`
// convolved with a Gaussian of standard deviation `sigma`, by the trapezoid
// rule over the Gaussian (exact to rounding for a step of a tenth of sigma).
double voigt(double x, double gamma, double sigma) {
  const double step = sigma / 10.0;
  double sum = 0.0;
  for (int j = -80; j <= 80; ++j) {
    const double u = j * step;
    const double g = std::exp(-u * u / (2.0 * sigma * sigma)) / (sigma * std::sqrt(2.0 * pi));
    const double v = x - u;
    sum += g * gamma / (pi * (v * v + gamma * gamma));
  }
  return sum * step;
}

struct reflection {
  const char* hkl;
  int h, k, l;
  double area;  // K-alpha1, counts·deg
};
const reflection bcc_lines[] = {
    {"110", 1, 1, 0, 6000}, {"200", 2, 0, 0, 3000}, {"211", 2, 1, 1, 4500}, {"220", 2, 2, 0, 3000}, {"310", 3, 1, 0, 4000}};

double d_of(const reflection& r) { return iron_a_A / std::sqrt(r.h * r.h + r.k * r.k + r.l * r.l); }
double two_theta_of(double d_A, double lambda_A) { return 360.0 / pi * std::asin(lambda_A / (2.0 * d_A)); }
double orientation_h2(const reflection& r) {
  const double h2 = r.h * r.h, k2 = r.k * r.k, l2 = r.l * r.l;
  return (h2 * k2 + k2 * l2 + l2 * h2) / ((h2 + k2 + l2) * (h2 + k2 + l2));
}

// The sample: columns of mean length D with A_S(L) = exp(−L/D), a
// Lorentzian of half width 1/(2πD) in s; a Gaussian strain ε with
// A_D(L) = exp(−2π²L²ε²d*²), a Gaussian of standard deviation ε d* in s,
// scaled along each direction by √(1 − q H²).
struct sample_truth {
  double D_A = 200.0;
  double strain = 1.5e-3;
  double q = 0.0;
};

// Counts at 2θ = x: each reflection's K-alpha doublet, the sample's Voigt
// line mapped to 2θ by ds = cos θ dθ / λ at its centre and convolved with
// the instrument's pseudo-Voigt (a Lorentzian part widens the Lorentzian,
// a Gaussian part the Gaussian), on a falling straight background.
double expected_counts(double x, const sample_truth& s) {
  double y = 2200.0 - 10.0 * (x - 30.0);
  for (const reflection& r : bcc_lines) {
    const double d = d_of(r);
    const double centre1 = two_theta_of(d, lambda1_A);
    const double fwhm = instrument_fwhm_deg(centre1), eta = instrument_eta(centre1);
    const double gamma_i = fwhm / 2.0, sigma_i = fwhm / (2.0 * std::sqrt(2.0 * std::log(2.0)));
    for (const auto& [lambda, weight] : {std::pair{lambda1_A, 1.0}, std::pair{lambda2_A, ka2_ratio}}) {
      const double centre = two_theta_of(d, lambda);
      const double per_s = 180.0 / pi * lambda / std::cos(centre * pi / 360.0);  // deg 2θ per 1/Å
      const double gamma_s = per_s / (2.0 * pi * s.D_A);
      const double sigma_s = per_s * s.strain / d * std::sqrt(1.0 - s.q * orientation_h2(r));
      const double u = x - centre;
      y += r.area * weight *
           (eta * voigt(u, gamma_i + gamma_s, sigma_s) +
            (1.0 - eta) * voigt(u, gamma_s, std::hypot(sigma_i, sigma_s)));
    }
  }
  return y;
}

constexpr double scan_from = 30.0, scan_to = 130.0;
constexpr int scan_points = 5000;

// A two-column scan of integer counts, rounded or drawn by Poisson.
std::string pattern_text(const sample_truth& s, bool noise, unsigned seed = 22) {
  std::mt19937 random(seed);
  std::string text = "# 2theta counts\n";
  const double step = (scan_to - scan_from) / (scan_points - 1);
  for (int i = 0; i < scan_points; ++i) {
    const double x = scan_from + i * step;
    const double mean = expected_counts(x, s);
    const long counts = noise ? std::poisson_distribution<long>(mean)(random) : std::lround(mean);
    char row[64];
    std::snprintf(row, sizeof row, "%.4f %ld\n", x, counts);
    text += row;
  }
  return text;
}

// The instrument as its file lays it out, written here by hand.
std::string instrument_text(double lambda1 = lambda1_A, double lambda2 = lambda2_A) {
  char text[1024];
  std::snprintf(text, sizeof text,
                "# xrdfourier instrument function\n"
                "standard = made_by_the_test\n"
                "lambda1 = %.5f\nlambda2 = %.5f\nratio = 0.5\n"
                "U = %.6f\nU_u = 0.0001\nV = %.6f\nV_u = 0.0001\nW = %.6f\nW_u = 0.0001\n"
                "eta0 = %.4f\neta0_u = 0.01\neta1 = %.5f\neta1_u = 0.0001\ncov_eta0_eta1 = 0\n"
                "fwhm_chi2 = 1\neta_chi2 = 1\ncov_UV = 0\ncov_UW = 0\ncov_VW = 0\n",
                lambda1, lambda2, true_U, true_V, true_W, true_eta0, true_eta1);
  return text;
}

const std::string iron_export = XRDF_SOURCE_DIR "/tests/data/d8_fe_sample.csv";
const std::string lab6_export = XRDF_SOURCE_DIR "/tests/data/d8_lab6_standard.csv";

// The CSV's rows, split at commas outside quotes.
std::vector<std::vector<std::string>> csv_rows(const std::string& text) {
  std::vector<std::vector<std::string>> rows(1);
  std::string cell;
  bool quoted = false;
  for (char c : text) {
    if (c == '"') {
      quoted = !quoted;
    } else if (c == ',' && !quoted) {
      rows.back().push_back(cell);
      cell.clear();
    } else if (c == '\n' && !quoted) {
      rows.back().push_back(cell);
      cell.clear();
      rows.emplace_back();
    } else {
      cell += c;
    }
  }
  if (rows.back().empty()) rows.pop_back();
  return rows;
}

const std::string& cell(const std::vector<std::vector<std::string>>& rows, std::size_t row, const std::string& column) {
  static const std::string none = "(no such column)";
  for (std::size_t k = 0; k < rows.front().size(); ++k)
    if (rows.front()[k] == column) return k < rows[row].size() ? rows[row][k] : none;
  return none;
}

// One generated pattern per kind of sample, shared by the cases that read it.
class AnalysePattern : public BatchFolder {
 protected:
  static void SetUpTestSuite() {
    isotropic_exact = pattern_text(sample_truth{}, false);
    isotropic_counted = pattern_text(sample_truth{}, true, 22);
    anisotropic_exact = pattern_text(sample_truth{200.0, 1.5e-3, 1.5}, false);
    anisotropic_counted = pattern_text(sample_truth{200.0, 1.5e-3, 1.5}, true, 27);
  }
  static inline std::string isotropic_exact, isotropic_counted, anisotropic_exact, anisotropic_counted;

  run_result analyse(const std::string& pattern, std::vector<std::string> extra = {}) {
    std::vector<std::string> args = {"analyse-pattern", write("sample.xy", pattern), "--instrument",
                                     write("instrument.txt", instrument_text()), "--lattice", "bcc:2.8665",
                                     "--table", path("lines.csv")};
    args.insert(args.end(), extra.begin(), extra.end());
    return run(args);
  }
};

TEST_F(AnalysePattern, AnIronLikeSampleGivesItsSizeAndStrainByWilliamsonHallAndWarrenAverbach) {
  const sample_truth truth;
  const struct {
    const char* name;
    const std::string& pattern;
  } rows[] = {{"counts without noise", isotropic_exact}, {"Poisson counts", isotropic_counted}};
  for (const auto& t : rows) {
    SCOPED_TRACE(t.name);
    const run_result r = analyse(t.pattern);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Lines analysed = 5 of 5 found"), std::string::npos) << r.out;

    const auto lines = csv_rows(contents(path("lines.csv")));
    ASSERT_EQ(lines.size(), 6u) << contents(path("lines.csv"));
    for (std::size_t k = 0; k < 5; ++k) {
      const reflection& reflection = bcc_lines[k];
      EXPECT_EQ(cell(lines, k + 1, "hkl"), reflection.hkl);
      EXPECT_NEAR(std::stod(cell(lines, k + 1, "two_theta")), two_theta_of(d_of(reflection), lambda1_A), 0.01)
          << reflection.hkl;
    }

    // Each line's breadths against the truth, in units of their printed
    // uncertainties: the noise moves neighbouring A(L) together, and
    // uncertainties that forget it come out about half as large.
    double pulls_squared = 0.0;
    for (std::size_t k = 0; k < 5; ++k) {
      const reflection& reflection = bcc_lines[k];
      const double lorentz = 1.0 / (2.0 * truth.D_A), gauss = std::sqrt(2.0 * pi) * truth.strain / d_of(reflection);
      for (const auto& [column, value] : {std::pair{"lorentz_breadth", lorentz}, std::pair{"gauss_breadth", gauss}}) {
        const double pull = (std::stod(cell(lines, k + 1, column)) - value) /
                            std::stod(cell(lines, k + 1, std::string(column) + "_u"));
        EXPECT_LT(std::abs(pull), 3.5) << reflection.hkl << " " << column;
        pulls_squared += pull * pull;
      }
    }
    EXPECT_LT(std::sqrt(pulls_squared / 10.0), 1.8) << "the breadths' uncertainties are too small";

    // ⟨L⟩vol = 1/β_L* = 2D from the Lorentzian breadths; ε from β_G* = √(2π) ε d*.
    double size = 0.0, size_u = 0.0, strain = 0.0, strain_u = 0.0, area = 0.0, area_u = 0.0;
    ASSERT_TRUE(figure_of(r.out, "Williamson-Hall volume-weighted size", size, size_u)) << r.out;
    ASSERT_TRUE(figure_of(r.out, "Williamson-Hall rms strain", strain, strain_u)) << r.out;
    ASSERT_TRUE(figure_of(r.out, "Warren-Averbach 110/220: area-weighted size", area, area_u)) << r.out;
    EXPECT_NEAR(size, 2.0 * truth.D_A, 0.1 * 2.0 * truth.D_A);
    EXPECT_NEAR(strain, truth.strain, 0.1 * truth.strain);
    EXPECT_NEAR(area, truth.D_A, 0.1 * truth.D_A);
    EXPECT_LT(std::abs(size - 2.0 * truth.D_A), 3.0 * size_u) << size << " ± " << size_u;
    EXPECT_LT(std::abs(strain - truth.strain), 3.0 * strain_u) << strain << " ± " << strain_u;
    EXPECT_LT(std::abs(area - truth.D_A), 3.0 * area_u) << area << " ± " << area_u;
  }
}

TEST_F(AnalysePattern, StrainThatVariesWithDirectionComesBackAlongH00ThroughTheContrastFactors) {
  const sample_truth truth{200.0, 1.5e-3, 1.5};
  const struct {
    const char* name;
    const std::string& pattern;
    bool given;
  } rows[] = {{"q given, counts without noise", anisotropic_exact, true},
              {"q fitted, counts without noise", anisotropic_exact, false},
              {"q given, Poisson counts", anisotropic_counted, true},
              {"q fitted, Poisson counts", anisotropic_counted, false}};
  for (const auto& t : rows) {
    SCOPED_TRACE(t.name);
    const run_result r = analyse(t.pattern, t.given ? std::vector<std::string>{"--contrast", "q=1.5"}
                                                    : std::vector<std::string>{});
    ASSERT_EQ(r.status, 0) << r.err;
    double strain = 0.0, strain_u = 0.0;
    ASSERT_TRUE(figure_of(r.out, "Modified Williamson-Hall rms strain along h00", strain, strain_u)) << r.out;
    EXPECT_NEAR(strain, truth.strain, 0.1 * truth.strain);
    EXPECT_LT(std::abs(strain - truth.strain), 3.0 * strain_u) << strain << " ± " << strain_u;
    // For a Gaussian strain β* = √(2π) ε d* = 2e d*: the apparent strain is √(π/2) ε.
    double apparent = 0.0, apparent_u = 0.0;
    ASSERT_TRUE(figure_of(r.out, "Modified Williamson-Hall apparent strain along h00", apparent, apparent_u));
    EXPECT_NEAR(apparent, std::sqrt(pi / 2.0) * truth.strain, 0.1 * std::sqrt(pi / 2.0) * truth.strain);
    if (t.given) {
      EXPECT_NE(r.out.find("Modified Williamson-Hall q (given) = 1.500"), std::string::npos) << r.out;
    } else {
      double q = 0.0, q_u = 0.0;
      ASSERT_TRUE(figure_of(r.out, "Modified Williamson-Hall q \\(fitted\\)", q, q_u)) << r.out;
      EXPECT_LT(std::abs(q - truth.q), 2.0 * q_u) << q << " ± " << q_u;
      ASSERT_TRUE(figure_of(r.out, "Modified Williamson-Hall \\(Gaussian breadths\\) q \\(fitted\\)", q, q_u));
      // Its u comes from the fit's Jacobian at the q found; q enters as
      // d*²(1 − qH²) and rests mostly on the one line with H² = 0 (200).
      EXPECT_LT(std::abs(q - truth.q), 3.0 * q_u) << "from the Gaussian breadths: " << q << " ± " << q_u;
    }
  }
}

TEST_F(AnalysePattern, NoFigureOfTheSyntheticSampleReadsNan) {
  const run_result r = analyse(isotropic_counted);
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string table = contents(path("lines.csv"));
  for (const std::string& text : {r.out, table})
    for (const char* bad : {"nan", "inf", "NaN", "Inf"}) EXPECT_EQ(text.find(bad), std::string::npos) << bad;
}

// A standard's pattern of pseudo-Voigt doublets of the instrument at
// `positions`, on a flat background of 100 counts.
std::string standard_text(const std::vector<double>& positions) {
  std::string text = "# 2theta counts\n";
  for (double x = 20.0; x <= 120.0; x += 0.02) {
    double y = 100.0;
    for (double p : positions)
      for (const auto& [lambda, weight] : {std::pair{lambda1_A, 1.0}, std::pair{lambda2_A, ka2_ratio}}) {
        const double centre = two_theta_of(lambda1_A / (2.0 * std::sin(p * pi / 360.0)), lambda);
        const double fwhm = instrument_fwhm_deg(p), eta = instrument_eta(p);
        y += 50.0 * weight * (eta * fwhm / 2.0 / (pi * ((x - centre) * (x - centre) + fwhm * fwhm / 4.0)) +
                              (1.0 - eta) * std::sqrt(4.0 * std::log(2.0) / pi) / fwhm *
                                  std::exp(-4.0 * std::log(2.0) * (x - centre) * (x - centre) / (fwhm * fwhm)));
      }
    char row[64];
    std::snprintf(row, sizeof row, "%.3f %ld\n", x, std::lround(y));
    text += row;
  }
  return text;
}

TEST_F(AnalysePattern, ARefusedInputIsNamedWithItsCauseExitsOneAndLeavesTheOutputsAsTheyWere) {
  const std::string good = instrument_text();
  std::string truncated = good.substr(0, good.find("W = "));
  std::string worded = good;
  worded.replace(worded.find("U = ") + 4, 8, "wide    ");
  const struct {
    const char* name;
    std::vector<std::string> args;  // the sample and its instrument are put in front
    std::string instrument;         // empty: --standard from the args instead
    const char* culprit;            // the file the message names: sample, instrument or standard
    const char* cause;
  } rows[] = {
      {"a standard whose pattern is flat", {"--standard", "standard.xy"}, "", "standard", "0 isolated lines"},
      {"a standard of one line only", {"--standard", "one_line.xy"}, "", "standard", "1 isolated line of 1 found"},
      {"a lattice that indexes none of the lines", {"--lattice", "fcc:5.0"}, good, "sample", "indexes none"},
      // Its one reflection in the scan, 100, lies 2.4 deg from iron's 211.
      {"a lattice whose lines all miss", {"--lattice", "sc:1.2"}, good, "sample", "indexes none"},
      {"a truncated instrument file", {}, truncated, "instrument", "the value W is missing"},
      {"an instrument file with a word for a number", {}, worded, "instrument", "not a number"},
      {"an instrument file made for cobalt", {}, instrument_text(1.78897, 1.79285), "instrument", "1.78897"},
  };
  write("standard.xy", standard_text({}));
  write("one_line.xy", standard_text({50.0}));
  const std::string sample = write("sample.xy", isotropic_exact);
  for (const auto& t : rows) {
    SCOPED_TRACE(t.name);
    const std::string old_table = write("lines.csv", "an old table\n");
    const std::string old_summary = write("summary.txt", "an old summary\n");
    std::vector<std::string> args = {"analyse-pattern", sample};
    if (!t.instrument.empty()) args.insert(args.end(), {"--instrument", write("instrument.txt", t.instrument)});
    for (const std::string& a : t.args) args.push_back(a.find(".xy") != std::string::npos ? path(a) : a);
    if (std::find(t.args.begin(), t.args.end(), "--lattice") == t.args.end())
      args.insert(args.end(), {"--lattice", "bcc:2.8665"});
    args.insert(args.end(), {"--table", old_table, "-o", old_summary});
    const run_result r = run(args);
    EXPECT_EQ(r.status, 1) << r.out;
    const std::string named = std::string(t.culprit) == "sample"       ? sample
                              : std::string(t.culprit) == "instrument" ? path("instrument.txt")
                                                                       : path(t.args.back());
    EXPECT_NE(r.err.find(named + ": "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(t.cause), std::string::npos) << r.err;
    EXPECT_TRUE(contents(old_table) == "an old table\n");
    EXPECT_TRUE(contents(old_summary) == "an old summary\n");
  }
}

TEST_F(AnalysePattern, ALineThatCannotBeAnalysedIsNamedInItsRowWithEmptyNumbers) {
  // A window of a tenth of a FWHM each side holds the line's top, not its
  // profile: no line is analysed, and the run says so in its status.
  const run_result r = analyse(isotropic_exact, {"--window", "0.1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("none of its 5 lines could be analysed"), std::string::npos) << r.err;
  const auto lines = csv_rows(contents(path("lines.csv")));
  ASSERT_EQ(lines.size(), 6u) << r.err;
  for (std::size_t k = 1; k < lines.size(); ++k) {
    SCOPED_TRACE(cell(lines, k, "hkl"));
    EXPECT_NE(cell(lines, k, "warning").find("not analysed"), std::string::npos) << cell(lines, k, "warning");
    for (const char* column : {"integral_breadth", "lorentz_breadth", "gauss_breadth", "area_weighted_length",
                               "scherrer_size"})
      EXPECT_EQ(cell(lines, k, column), "") << column;
  }
  EXPECT_EQ(r.out.find("nan"), std::string::npos);
  EXPECT_EQ(contents(path("lines.csv")).find("nan"), std::string::npos);
}

TEST_F(AnalysePattern, TheRealIronAndLaB6ExportsGiveFiveIndexedLinesAndOnlyNumbersBoundsOrReasons) {
  const std::string instrument = path("d8.txt");
  ASSERT_EQ(run({"instrument", lab6_export, "--lattice", "sc:4.15692", "-o", instrument}).status, 0);
  const run_result r = run({"analyse-pattern", iron_export, "--instrument", instrument, "--lattice", "bcc:2.8665",
                            "--table", path("lines.csv")});
  ASSERT_EQ(r.status, 0) << r.err;
  const auto lines = csv_rows(contents(path("lines.csv")));
  ASSERT_EQ(lines.size(), 6u);
  for (std::size_t k = 0; k < 5; ++k) EXPECT_EQ(cell(lines, k + 1, "hkl"), bcc_lines[k].hkl);
  // Every figure of the summary: a number with its u, a bound, or a reason.
  const std::string summary = r.out.substr(0, r.out.find("\n\n"));
  std::size_t start = 0;
  for (std::size_t end; (end = summary.find('\n', start)) != std::string::npos || start < summary.size();
       start = end + 1) {
    if (end == std::string::npos) end = summary.size();
    const std::string line = summary.substr(start, end - start);
    SCOPED_TRACE(line);
    if (line.rfind("Lines analysed", 0) == 0) continue;
    EXPECT_TRUE(line.find("\u00b1") != std::string::npos || line.find("(> ") != std::string::npos ||
                line.find("(< ") != std::string::npos || line.find("not determined") != std::string::npos ||
                line.find("(given)") != std::string::npos);
  }
  for (const std::string& text : {r.out, contents(path("lines.csv"))})
    for (const char* bad : {"nan", "inf"}) EXPECT_EQ(text.find(bad), std::string::npos) << bad;
}

}  // namespace
