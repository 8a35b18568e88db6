// The batch tool's uncertainties and bounds on a line broadened by strain
// alone: Gaussian sample broadening under a Gaussian instrument, scanned in
// Poisson counts. Its A(L) has no initial slope, so the area-weighted length
// is a bound and never a figure; the widths that are measured carry their
// standard uncertainty, in the summary and in the table's _u columns.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "batch_runner.h"

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double lambda = 1.5406;
constexpr double centre = 44.67, step = 0.01;
constexpr int points = 601;

class SizeUncertaintyCli : public BatchFolder {
 protected:
  // A Gaussian of this sigma (degrees) on a background of 200 counts, 5e4 at
  // the top, Poisson counts.
  std::string scan_of(const std::string& name, double sigma, unsigned seed) {
    std::mt19937_64 rng(seed);
    const double from = centre - step * (points - 1) / 2.0;
    std::ostringstream f;
    f << "Synthetic line\n" << from << ' ' << step << ' ' << from + (points - 1) * step << "\n1 1 " << lambda << "\n";
    for (int i = 0; i < points; ++i) {
      const double u = (from + i * step - centre) / sigma;
      f << std::poisson_distribution<long>(200.0 + 5e4 * std::exp(-0.5 * u * u))(rng) << "\n";
    }
    return write(name, f.str());
  }
  // The sample's Gaussian is the instrument's (0.04°) widened by the strain's (0.08°).
  std::string sample() { return scan_of("strained.xdd", std::hypot(0.04, 0.08), 1); }
  std::string reference() { return scan_of("standard.xdd", 0.04, 2); }
};

TEST_F(SizeUncertaintyCli, AStrainOnlyLineGivesABoundForItsSizeAndAnUncertaintyForItsWidth) {
  const run_result r = run({"size-strain", "--auto-limit", "--pair", sample(), reference()});
  ASSERT_EQ(r.status, 0) << r.err;
  std::smatch m;
  ASSERT_TRUE(std::regex_search(r.out, m,
                                std::regex("^Area-weighted mean column length = not resolved \\(> ([0-9.]+) A\\)\n")))
      << r.out;
  EXPECT_GT(std::stod(m[1]), 0.0);
  ASSERT_TRUE(std::regex_search(
      r.out, m, std::regex("\nScherrer size \\(integral breadth\\) = ([0-9.]+) \u00b1 ([0-9.]+) A\n")))
      << r.out;
  EXPECT_GT(std::stod(m[2]), 0.0) << "counting noise moves the breadth";
  EXPECT_LT(std::stod(m[2]), 0.1 * std::stod(m[1]));
}

TEST_F(SizeUncertaintyCli, TheTableGivesEachLengthsUncertaintyInTheColumnAfterIt) {
  const run_result r = run({"measure", "--table", sample(), "--ref", reference(), "--auto-limit"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream rows(r.out);
  std::string header, row;
  std::getline(rows, header);
  std::getline(rows, row);
  EXPECT_EQ(header,
            "index,file,scan,name,start_time,temperature_C,fwhm,centroid,area,integral_breadth,deconvoluted_fwhm,"
            "area_weighted_length,area_weighted_length_u,volume_weighted_length,volume_weighted_length_u,scherrer_size,"
            "scherrer_size_u,warning");
  std::vector<std::string> cells;
  std::stringstream split(row);
  for (std::string c; std::getline(split, c, ',');) cells.push_back(c);
  cells.resize(18);
  EXPECT_EQ(cells[11] + cells[12], "") << "no area-weighted length where the size is not resolved: " << row;
  EXPECT_NE(cells[17].find("strained.xdd: the area-weighted length is not resolved: above "), std::string::npos)
      << row;
  ASSERT_FALSE(cells[15].empty()) << row;
  ASSERT_FALSE(cells[16].empty()) << row;
  EXPECT_GT(std::stod(cells[16]), 0.0) << row;
  EXPECT_LT(std::stod(cells[16]), 0.1 * std::stod(cells[15])) << row;
}

}  // namespace
