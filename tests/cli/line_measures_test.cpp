// One line, one set of widths: `measure` and `size-strain` measure a line
// by the same rule, above the background the Fourier chain subtracts, and
// both match the closed forms of lines whose widths are known; a profile
// that has no line, or a range beside the scan, is refused with the reason.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <iomanip>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "batch_runner.h"

namespace {

constexpr double pi = 3.14159265358979323846;

class LineMeasures : public BatchFolder {
 protected:
  // A scan from 39 to 41 deg in steps of 0.005 (401 points) in the XDD layout.
  std::string scan_of(const std::string& name, const std::function<double(double)>& counts) {
    std::ostringstream f;
    f << "Synthetic line\n39 0.005 41\n1 1 1.5406\n" << std::setprecision(12);
    for (int i = 0; i < 401; ++i) f << counts(39.0 + 0.005 * i) << "\n";
    return write(name, f.str());
  }

  // FWHM and integral breadth as `measure --table` gives them, or (with a
  // reference) as size-strain gives them for the "observed" line.
  std::pair<double, double> widths(const std::string& file, const std::vector<std::string>& settings,
                                   const std::string& reference = "") {
    std::vector<std::string> args = {"measure", "--table", file};
    if (!reference.empty()) args = {"size-strain", "--pair", file, reference};
    args.insert(args.end(), settings.begin(), settings.end());
    const run_result r = run(args);
    EXPECT_EQ(r.status, 0) << r.err;
    std::smatch m;
    const std::regex shown(reference.empty() ? "\n(?:[^,\n]*,){6}([0-9.]+),[0-9.]+,[0-9.]+,([0-9.]+),"
                                             : "observed +FWHM ([0-9.]+) deg, integral breadth ([0-9.]+) deg");
    if (!std::regex_search(r.out, m, shown)) {
      ADD_FAILURE() << r.out;
      return {0, 0};
    }
    return {std::stod(m[1]), std::stod(m[2])};
  }
};

TEST_F(LineMeasures, MeasureAndSizeStrainGiveALinesClosedFormWidthsAlike) {
  const double height = 1000.0, sigma_deg = 0.1, gamma_deg = 0.05;
  // Both lines stand on the background 50 + 20 (x − 40) counts.
  auto background = [](double x) { return 50.0 + 20.0 * (x - 40.0); };
  const std::string reference =
      scan_of("reference.xdd", [&](double x) { return 50.0 + height * std::exp(-std::pow((x - 40.0) / 0.03, 2) / 2); });
  const struct {
    const char* name;
    std::function<double(double)> line;
    std::vector<std::string> settings;
    double fwhm_deg, breadth_deg;
  } rows[] = {
      // The whole Gaussian lies in the scan, and the automatic background
      // through the scan's end points is the true one.
      {"a Gaussian on the automatic background",
       [&](double x) { return height * std::exp(-std::pow((x - 40.0) / sigma_deg, 2) / 2); },
       {},
       2.0 * std::sqrt(2.0 * std::log(2.0)) * sigma_deg,
       sigma_deg * std::sqrt(2.0 * pi)},
      // A Lorentzian's tails reach the scan's ends: its background is given
      // (with the origin, which keeps it), and only the area inside the
      // scan counts: β = 2γ atan(1°/γ).
      {"a Lorentzian on a background that is set",
       [&](double x) { return height / (1.0 + std::pow((x - 40.0) / gamma_deg, 2)); },
       {"--set", "fft_zero=40", "--set", "aBo_bkg=50", "--set", "aB1_bkg=20"},
       2.0 * gamma_deg,
       2.0 * gamma_deg * std::atan(1.0 / gamma_deg)},
  };
  for (const auto& r : rows) {
    const std::string file = scan_of("line.xdd", [&](double x) { return background(x) + r.line(x); });
    const auto [fwhm, breadth] = widths(file, r.settings);
    const auto [observed_fwhm, observed_breadth] = widths(file, r.settings, reference);
    EXPECT_EQ(observed_fwhm, fwhm) << r.name << ": the same width from both commands";
    EXPECT_EQ(observed_breadth, breadth) << r.name;
    EXPECT_NEAR(fwhm, r.fwhm_deg, 2e-4) << r.name;
    EXPECT_NEAR(breadth, r.breadth_deg, 2e-4) << r.name;
  }
}

// The README's measured pair: the iron line as cut from its full pattern.
TEST_F(LineMeasures, AMeasuredIronLineHasOneWidthInMeasureAndInSizeStrain) {
  const std::string fe = path("fe110.xdd"), lab6 = path("lab6_200.xdd");
  ASSERT_EQ(run({"convert", XRDF_TEST_DATA "/d8_fe_sample.csv", fe, "--xrange", "42", "47.5"}).status, 0);
  ASSERT_EQ(run({"convert", XRDF_TEST_DATA "/d8_lab6_standard.csv", lab6, "--xrange", "41.5", "45.5"}).status, 0);
  EXPECT_EQ(widths(fe, {}), widths(fe, {"--auto-limit"}, lab6));
}

TEST_F(LineMeasures, AProfileWithoutALineOrARangeBesideTheScanIsRefusedWithTheReason) {
  const struct {
    const char* name;
    double counts;  // every point's
    std::vector<std::string> range;
    const char* stdout_lines;
    const char* reason;
  } rows[] = {
      {"an empty range", 100, {"--xrange", "100", "200"}, "Error\nError\nError\n",
       ": no FWHM, Centroid or Area: the range 100 to 200 holds no point of the scan, which runs from 39 to 41\n"},
      {"a flat profile", 100, {}, "Error\nError\nArea = 0.000\n",
       ": no FWHM or Centroid: the profile does not rise above its background in the range (it is flat or below "
       "it)\n"},
      {"a profile of zeros", 0, {}, "Error\nError\nArea = 0.000\n", ": no FWHM or Centroid: the profile does not rise"},
      {"a profile at the largest count", 3e38, {}, "Error\nError\nArea = 0.000\n",
       ": no FWHM or Centroid: the profile does not rise"},
  };
  for (const auto& r : rows) {
    const std::string file = scan_of("flat.xdd", [&](double) { return r.counts; });
    std::vector<std::string> args = {"measure", file};
    args.insert(args.end(), r.range.begin(), r.range.end());
    const run_result m = run(args);
    EXPECT_EQ(m.status, 1) << r.name;
    EXPECT_EQ(m.out, r.stdout_lines) << r.name;
    EXPECT_EQ(m.err.rfind(file + r.reason, 0), 0u) << r.name << ": " << m.err;

    args[0] = "--table";
    args.insert(args.begin(), "measure");
    const run_result t = run(args);
    EXPECT_EQ(t.status, 1) << r.name;
    EXPECT_NE(t.out.find(",\"" + file + ": no fwhm"), std::string::npos)
        << r.name << ", in the warning column: " << t.out;
    EXPECT_EQ(t.err, "1 of 1 scans failed; the warning column says why\n") << r.name;
    EXPECT_EQ(t.out.find("nan"), std::string::npos) << r.name;
  }
}

}  // namespace
