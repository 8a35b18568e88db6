// size-strain over a series of scans: each row holds the very figures
// size-strain prints for that scan alone.
#include <gtest/gtest.h>

#include <cmath>
#include <regex>
#include <string>
#include <utility>
#include <vector>

#include "../../cli/batch_runner.h"
#include "app/shell/size_strain_series_job.h"
#include "series_bench.h"

namespace {

// The cells a summary line gives: its figure and uncertainty, or two empty
// cells for a bound or a reason.
std::pair<std::string, std::string> summary_cells(const std::string& out, const std::string& label) {
  std::smatch m;
  if (std::regex_search(out, m, std::regex("(^|\n)" + label + " = ([-+0-9.e]+)( \u00b1 ([-+0-9.e]+))?( A)?\n")))
    return {m[2], m[4]};
  return {"", ""};
}

// The bound a summary line gives ("= > 311.7 A"), or "".
std::string lower_bound(const std::string& out, const std::string& label) {
  std::smatch m;
  return std::regex_search(out, m, std::regex("(^|\n)" + label + " = > ([0-9.]+) A\n")) ? std::string(m[2]) : "";
}

// Three scans of one line broadening as its crystallites shrink, seen
// through an instrument's Lorentzian of 0.1 deg.
const double sample_widths[] = {0.3, 0.35, 0.4};

class SizeStrainSeries : public BatchFolder {
 protected:
  std::string reference() { return write("ref.ras", ras_file({ras_scan(lorentzian_counts(0.1, 1))})); }
  std::vector<std::string> scans() {
    std::vector<std::string> s;
    for (int k = 0; k < 3; ++k) s.push_back(ras_scan(lorentzian_counts(sample_widths[k], 10 + k)));
    return s;
  }
  size_strain_series_job job_of(const std::vector<std::pair<std::string, std::string>>& pairs) {
    analysis_request r;
    r.pairs = pairs;
    r.pair_settings.resize(pairs.size());
    return size_strain_series_job(r);
  }
};

TEST_F(SizeStrainSeries, EachScanOfAFileOfSeveralGetsTheFiguresSizeStrainGivesThatScanAlone) {
  const std::string ref = reference();
  const std::vector<std::string> each = scans();
  const std::string series = write("series.ras", ras_file(each));
  size_strain_series_job job = job_of({{series, ref}});
  const job_run got = run_job(job, {series});
  ASSERT_TRUE(got.prepared) << got.said;
  ASSERT_EQ(got.rows.size(), 3u);
  for (std::size_t k = 0; k < 3; ++k) {
    SCOPED_TRACE("scan " + std::to_string(k + 1));
    const run_result alone =
        run({"size-strain", "--pair", write("alone" + std::to_string(k) + ".ras", ras_file({each[k]})), ref});
    ASSERT_EQ(alone.status, 0) << alone.err;
    const series_row& row = got.rows[k];
    EXPECT_FALSE(row.failed) << row.warning;
    EXPECT_EQ(row.facts.index, static_cast<int>(k + 1));
    EXPECT_EQ(row.facts.count, 3);
    const struct {
      const char* label;
      const char* column;
    } figures[] = {{"Area-weighted mean column length", "area_weighted_length"},
                   {"Volume-weighted mean column length", "volume_weighted_length"},
                   {"Scherrer size \\(integral breadth\\)", "scherrer_size"}};
    for (const auto& f : figures) {
      const auto [value, u] = summary_cells(alone.out, f.label);
      EXPECT_EQ(got.cell(k, f.column), value) << f.column << "\n" << alone.out;
      EXPECT_EQ(got.cell(k, std::string(f.column) + "_u"), u) << f.column;
    }
    EXPECT_NE(got.cell(k, "area_weighted_length"), "") << "the line is broadened by its size";
    // The volume-weighted length is cut at the limit: a bound, said.
    const std::string bound = lower_bound(alone.out, "Volume-weighted mean column length");
    if (!bound.empty()) {
      EXPECT_NE(row.warning.find("volume-weighted length at least " + bound + " A"), std::string::npos)
          << row.warning;
    }
    std::smatch m;
    ASSERT_TRUE(std::regex_search(alone.out, m, std::regex("deconvoluted  FWHM ([0-9.]+) deg")));
    EXPECT_EQ(got.cell(k, "deconvoluted_fwhm"), m[1]);
    ASSERT_TRUE(std::regex_search(alone.out, m, std::regex("frequency limit ([0-9.]+) cycles/deg")));
    EXPECT_EQ(got.cell(k, "frequency_limit"), m[1]);
  }
  // Wider lines, shorter columns.
  EXPECT_GT(std::stod(got.cell(0, "area_weighted_length")), std::stod(got.cell(2, "area_weighted_length")));
}

TEST_F(SizeStrainSeries, AScanThatCannotBeReadFailsInItsRowAndTheOthersAreStillAnalysed) {
  const std::string ref = reference();
  std::vector<std::string> each = scans();
  each.insert(each.begin() + 1, backwards_ras_scan());
  const std::string series = write("series.ras", ras_file(each));
  size_strain_series_job job = job_of({{series, ref}});
  const job_run got = run_job(job, {series});
  ASSERT_TRUE(got.prepared) << got.said;
  ASSERT_EQ(got.rows.size(), 4u);
  EXPECT_TRUE(got.rows[1].failed);
  EXPECT_NE(got.rows[1].warning.find(series), std::string::npos) << got.rows[1].warning;
  EXPECT_EQ(got.rows[1].warning.find('\n'), std::string::npos) << "one line in its CSV cell";
  for (std::size_t k : {0u, 2u, 3u}) {
    EXPECT_FALSE(got.rows[k].failed) << k << ": " << got.rows[k].warning;
    EXPECT_NE(got.cell(k, "area_weighted_length"), "");
  }
}

TEST_F(SizeStrainSeries, AReferenceThatCannotBeLoadedRefusesTheRunBeforeAnyRow) {
  const std::string series = write("series.ras", ras_file(scans()));
  size_strain_series_job job = job_of({{series, path("missing.ras")}});
  const job_run got = run_job(job, {series});
  EXPECT_FALSE(got.prepared);
  EXPECT_NE(got.said.find("missing.ras"), std::string::npos) << got.said;
  EXPECT_TRUE(got.rows.empty());
}

// Two orders of one reflection: 2θ of the second order where sin θ doubles,
// its Lorentzian widened by cos θ1 / cos θ2 as a size broadening is.
constexpr double pi = 3.14159265358979323846;
const double theta1 = 22.25 * pi / 180.0, theta2 = std::asin(2.0 * std::sin(theta1));
const double centre2 = 360.0 / pi * theta2, from2 = std::floor(centre2) - 3.0;
double second_order(double width) { return width * std::cos(theta1) / std::cos(theta2); }

TEST_F(SizeStrainSeries, TwoOrdersAreTakenScanByScanWithTheirWarrenAverbachFigures) {
  const std::string ref1 = reference();
  const std::string ref2 =
      write("ref2.ras", ras_file({ras_scan(lorentzian_counts(second_order(0.1), 2, centre2, from2), from2)}));
  std::vector<std::string> first = scans(), second;
  for (int k = 0; k < 3; ++k)
    second.push_back(
        ras_scan(lorentzian_counts(second_order(sample_widths[k]), 20 + k, centre2, from2), from2));
  const std::string s1 = write("first.ras", ras_file(first)), s2 = write("second.ras", ras_file(second));
  size_strain_series_job job = job_of({{s1, ref1}, {s2, ref2}});
  const job_run got = run_job(job, {s1});
  ASSERT_TRUE(got.prepared) << got.said;
  ASSERT_EQ(got.rows.size(), 3u);
  for (std::size_t k = 0; k < 3; ++k) {
    SCOPED_TRACE("scan " + std::to_string(k + 1));
    const std::string n = std::to_string(k);
    const run_result alone = run({"size-strain", "--pair", write("a" + n + ".ras", ras_file({first[k]})), ref1,
                                  "--pair", write("b" + n + ".ras", ras_file({second[k]})), ref2});
    ASSERT_EQ(alone.status, 0) << alone.err;
    EXPECT_FALSE(got.rows[k].failed) << got.rows[k].warning;
    const auto [area, area_u] = summary_cells(alone.out, "Area-weighted mean column length");
    EXPECT_EQ(got.cell(k, "area_weighted_length"), area) << alone.out;
    EXPECT_EQ(got.cell(k, "area_weighted_length_u"), area_u);
    const auto [strain, strain_u] = summary_cells(alone.out, "RMS strain at L = 50 A");
    EXPECT_EQ(got.cell(k, "rms_strain_50"), strain);
    EXPECT_EQ(got.cell(k, "rms_strain_50_u"), strain_u);
    std::smatch m;
    if (std::regex_search(alone.out, m, std::regex("\nRMS strain at L = ([0-9]+) A = ")) && m[1] != "50") {
      EXPECT_EQ(got.cell(k, "strain_L"), m[1]);
    }
    const auto [scherrer2, scherrer2_u] =
        summary_cells(alone.out, "Scherrer size \\(integral breadth\\) of [^\n]*b" + n + ".ras");
    EXPECT_EQ(got.cell(k, "scherrer_size_2"), scherrer2);
  }
}

TEST_F(SizeStrainSeries, TwoOrdersWhoseSeriesDifferInLengthAreRefusedNamingBoth) {
  const std::string ref = reference();
  std::vector<std::string> three = scans();
  const std::string s1 = write("first.ras", ras_file(three));
  three.pop_back();
  const std::string s2 = write("second.ras", ras_file(three));
  size_strain_series_job job = job_of({{s1, ref}, {s2, ref}});
  const job_run got = run_job(job, {s1});
  EXPECT_FALSE(got.prepared);
  EXPECT_NE(got.said.find(s1 + " holds 3 scans and " + s2 + " holds 2"), std::string::npos) << got.said;
}

}  // namespace
