// The size-strain text of analyses whose figures are missing, impossible or
// not finite: every summary line keeps one of its parseable forms, the
// impossible figures are "not determined" with the cause, and neither the
// summary nor the table holds "nan", "inf" or a strain of 0 made up from a
// negative mean squared strain.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "xrd/sizes/line_analysis.h"
#include "xrd/sizes/size_strain.h"
#include "xrd/sizes/size_strain_report.h"
#include "xrd/sizes/summary_line.h"

namespace {

constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

// A line of an exponential A(L) = exp(−L / 200) on steps of 5 Å up to `to`.
line_analysis line(double to = 1500.0) {
  line_analysis a;
  a.coefficients.wavelength = 1.5406;
  a.coefficients.two_theta = 43.3;
  for (double L = 0.0; L <= to; L += 5.0) {
    a.coefficients.L.push_back(L);
    a.coefficients.A.push_back(std::exp(-L / 200.0));
    a.coefficients.B.push_back(0.0);
  }
  a.size = {true, 200.0, 5.0, 40.0, 8};
  a.volume_length = 400.0;
  a.volume_reached_zero = false;
  a.scherrer = 350.0;
  a.observed = a.reference = a.deconvoluted = {0.2, 0.25, 0.8};
  a.limit_frequency = 5.0;
  a.limit_L = to;
  a.snr_at_limit = 3.2;
  a.reconvolution_r = 0.012;
  return a;
}

// Two orders with a size of 200 Å and the given rms strains, one per 10 Å
// row from L = 0; A^S as given (1 at L = 0).
warren_averbach_result pair_of(const std::vector<double>& AS, const std::vector<double>& mean_square) {
  warren_averbach_result r;
  for (std::size_t i = 0; i < AS.size(); ++i) {
    const double e2 = i == 0 ? nan_value : mean_square[i];
    r.rows.push_back({10.0 * i, AS[i], AS[i], AS[i], e2 > 0.0 ? std::sqrt(e2) : nan_value, e2});
  }
  r.size = {true, 200.0, 10.0, 30.0, 3};
  r.half_L = 100.0;
  r.strain_at_half = strain_at(r.rows, r.half_L);
  r.strain_at_50 = strain_at(r.rows, 50.0);
  r.AS_above_one_at = size_coefficients_above_one_from(r.rows);
  return r;
}

std::vector<double> falling(int rows) {
  std::vector<double> AS;
  for (int i = 0; i < rows; ++i) AS.push_back(std::exp(-10.0 * i / 200.0));
  return AS;
}

// An rms strain of 1e-3 at every L.
std::vector<double> steady(int rows) { return std::vector<double>(static_cast<std::size_t>(rows), 1e-6); }

std::string summary_of(const std::string& text) { return text.substr(0, text.find("\n\n") + 1); }

std::string text_of(const std::vector<line_analysis>& lines, const warren_averbach_result* pair = nullptr) {
  return size_strain_text({"/scans/cu111.xdd / /scans/cu111_ref.xdd", "/scans/cu222.xdd / /scans/cu222_ref.xdd"},
                          lines, pair);
}

// Each summary line: a label, " = ", then a figure with an optional "± u"
// and its unit, a bound, or "not determined (REASON)" to the line's end.
void expect_parseable(const std::string& text) {
  const std::string number = "-?[0-9]+(\\.[0-9]+)?(e[-+][0-9]+)?";
  const std::string unit = "( (A|%))?";
  const std::regex form("(.+) = (" + number + "( \u00b1 " + number + ")?" + unit + "|> " + number + unit +
                        "|not resolved \\([<>] " + number + unit + "\\)|not determined \\(.+\\))");
  std::istringstream summary(summary_of(text));
  for (std::string row; std::getline(summary, row);) EXPECT_TRUE(std::regex_match(row, form)) << row;
  EXPECT_FALSE(std::regex_search(text, std::regex("nan|inf", std::regex::icase))) << text;
}

struct summary_case {
  const char* name;
  std::vector<line_analysis> lines;
  bool two_orders;
  warren_averbach_result pair;
  std::vector<std::string> shown;  // what the summary must say, in order
};

std::vector<summary_case> summary_cases() {
  std::vector<summary_case> cases;
  {
    line_analysis a = line();
    a.size = {};
    cases.push_back({"a line with no size broadening has no area-weighted length", {a}, false, {},
                     {"Area-weighted mean column length = not determined (A(L) does not fall at its start: no size "
                      "broadening is seen)\n",
                      "Volume-weighted mean column length = > 400.0 A\n"}});
  }
  {
    line_analysis a = line();
    a.size.length = 733.9;
    a.volume_length = 495.4;
    a.volume_reached_zero = true;
    const std::string why =
        "not determined (the area-weighted length 733.9 A exceeds the volume-weighted 495.4 A, which no "
        "distribution of column lengths gives)\n";
    cases.push_back({"an area-weighted length above the volume-weighted one gives neither", {a}, false, {},
                     {"Area-weighted mean column length = " + why, "Volume-weighted mean column length = " + why,
                      "Scherrer size (integral breadth) = 350.0 A\n"}});
  }
  {
    line_analysis a = line();
    a.size.length = 733.9;
    a.volume_length = 495.4;
    cases.push_back({"a volume-weighted length cut at the limit is a lower bound, which a longer area-weighted one "
                     "does not contradict",
                     {a}, false, {},
                     {"Area-weighted mean column length = 733.9 A\n", "Volume-weighted mean column length = > 495.4 A\n",
                      "the volume-weighted length is cut short, and given as a lower bound\n"}});
  }
  {
    line_analysis a = line();
    a.size.length = infinity;
    a.volume_length = nan_value;
    a.scherrer = nan_value;
    a.reconvolution_r = nan_value;
    a.snr_at_limit = nan_value;
    a.coefficients.wavelength = 0.0;
    cases.push_back({"figures that are not finite are not determined, each with its cause", {a}, false, {},
                     {"Area-weighted mean column length = not determined (the initial slope gives no finite length)\n",
                      "Volume-weighted mean column length = not determined (the integral of A(L) is not finite)\n",
                      "Scherrer size (integral breadth) = not determined (no wavelength (lBamda) is set)\n",
                      "Reconvolution R = not determined (the observed profile has no area above its background)\n",
                      "signal-to-noise there not determined\n"}});
  }
  {
    line_analysis a = line(), b = line();
    b.scherrer = 250.0;
    cases.push_back({"each order's Scherrer size is labelled with its file", {a, b}, true,
                     pair_of(falling(40), steady(40)),
                     {"Scherrer size (integral breadth) of /scans/cu111.xdd = 350.0 A\n",
                      "Scherrer size (integral breadth) of /scans/cu222.xdd = 250.0 A\n",
                      "RMS strain at L = 100 A = 1.00e-03\n", "RMS strain at L = 50 A = 1.00e-03\n"}});
  }
  {
    std::vector<double> AS = falling(40);
    AS[3] = 1.004;  // a strain-only pair whose noise lifts A^S above 1
    cases.push_back({"sizes from an A^S(L) above 1 are not determined", {line(), line()}, true,
                     pair_of(AS, steady(40)),
                     {"Area-weighted mean column length = not determined (A^S(L) rises above 1 at L = 30.0 A, which "
                      "no size broadening gives)\n",
                      "Volume-weighted mean column length = not determined (A^S(L) rises above 1 at L = 30.0 A",
                      "RMS strain at half the area-weighted length = not determined (the area-weighted length is not "
                      "determined)\n",
                      "RMS strain at L = 50 A = 1.00e-03\n"}});
  }
  {
    std::vector<double> AS = falling(40);
    AS[3] = 1.0009;  // within the rounding the comparison allows
    cases.push_back({"an A^S(L) within its tolerance of 1 still gives the sizes", {line(), line()}, true,
                     pair_of(AS, steady(40)),
                     {"Area-weighted mean column length = 200.0 A\n"}});
  }
  {
    std::vector<double> e2(40, 1e-6);
    e2[5] = -2e-7;
    cases.push_back({"a negative mean squared strain gives no strain beside it", {line(), line()}, true,
                     pair_of(falling(40), e2),
                     {"RMS strain at L = 100 A = 1.00e-03\n",
                      "RMS strain at L = 50 A = not determined (the mean squared strain is -2.00e-07 at L = 50.0 A, "
                      "not above 0)\n"}});
  }
  {
    // Half the area-weighted length cannot lie beyond the table while the
    // volume-weighted length (at most twice the table) is above it: only a
    // fixed L can.
    cases.push_back({"a strain beyond the table's end is not determined", {line(), line()}, true,
                     pair_of(falling(4), steady(4)),
                     {"RMS strain at L = 50 A = not determined (L lies beyond the table, which ends at L = 30.0 A "
                      "where A(L) or the limit ends)\n"}});
  }
  return cases;
}

TEST(HonestSummary, EachAnalysisSaysWhatItCanStandByAndWhyNotTheRest) {
  for (const summary_case& c : summary_cases()) {
    const std::string text = text_of(c.lines, c.two_orders ? &c.pair : nullptr);
    std::size_t at = 0;
    for (const std::string& shown : c.shown) {
      const std::size_t found = text.find(shown, at);
      EXPECT_NE(found, std::string::npos) << c.name << ": missing or out of order: " << shown << "\n" << text;
      if (found != std::string::npos) at = found + shown.size();
    }
    expect_parseable(text);
  }
}

TEST(HonestSummary, TheTableShowsNoneWhereThereIsNoStrainAndMarksAnASAboveOne) {
  std::vector<double> AS = falling(6), e2(6, 1e-6);
  AS[2] = 1.01;
  e2[4] = -1e-7;
  const warren_averbach_result pair = pair_of(AS, e2);
  const std::string text = text_of({line(), line()}, &pair);
  const std::string table = text.substr(text.find("\nL "));
  EXPECT_NE(table.find("\n0.0000       1.0000       1.0000       1.0000       none         \n"), std::string::npos)
      << "no strain at L = 0:\n" << table;
  EXPECT_NE(table.find("\n20.0000      1.0100       1.0100       1.0100*      1.0000e-03   \n"), std::string::npos)
      << "the value stays, marked:\n" << table;
  EXPECT_NE(table.find("\n40.0000      0.8187       0.8187       0.8187       none         \n"), std::string::npos)
      << "a negative mean squared strain is no strain, not 0:\n" << table;
  EXPECT_EQ(table.find("0.0000e+00"), std::string::npos) << table;
  EXPECT_NE(text.find("Two orders: AS(L) rises above 1 (by more than 1e-03) from L = 20.0 A, marked * in the table\n"),
            std::string::npos)
      << text;
}

TEST(HonestSummary, ASummaryLineIsAFigureWithItsUnitOrNotDeterminedWithAReason) {
  const struct {
    const char* name;
    summary_value value;
    const char* unit;
    const char* line;
  } rows[] = {
      {"a figure takes its unit", summary_value::of(208.94, "%.1f", "unused"), "A", "L = 208.9 A\n"},
      {"a figure without a unit stands alone", summary_value::of(9.64e-4, "%.2e", "unused"), "", "L = 9.64e-04\n"},
      {"not a number is not determined", summary_value::of(nan_value, "%.1f", "no slope"), "A",
       "L = not determined (no slope)\n"},
      {"an infinity is not determined", summary_value::of(-infinity, "%.1f", "no slope"), "A",
       "L = not determined (no slope)\n"},
      {"a reason is always given", summary_value::not_determined(""), "A", "L = not determined (no finite value)\n"},
  };
  for (const auto& row : rows) EXPECT_EQ(summary_line("L", row.value, row.unit), row.line) << row.name;
}

}  // namespace
