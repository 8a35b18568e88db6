// The instrument's width and shape from a synthetic LaB6 pattern whose
// every line is a K-alpha doublet of known Caglioti width and mixing.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "standard_pattern.h"
#include "xrd/pattern/doublet_fit.h"
#include "xrd/pattern/instrument_function.h"

namespace {

using namespace standard_pattern;

struct measured_standard {
  std::vector<line> lines;
  std::vector<double> x, y;
  std::vector<doublet_fit> fits;
};

measured_standard measure(const instrument_truth& truth, std::mt19937_64* rng) {
  measured_standard m;
  m.lines = lab6_lines(truth, 20.0, 140.0);
  const double step = 0.01;
  for (int i = 0; i <= 13000; ++i) m.x.push_back(15.0 + i * step);
  m.y = pattern(m.lines, m.x, rng);
  for (const line_window& w : isolated_windows(m.lines, 8.0)) m.fits.push_back(fit_doublet(m.x, m.y, w, {}));
  return m;
}

const line& truth_of(const measured_standard& m, const doublet_fit& f) {
  for (const line& l : m.lines)
    if (l.hkl == f.label) return l;
  return m.lines.front();
}

TEST(InstrumentFromStandard, FittingEveryIsolatedLineOfAStandardGivesBackItsPositionWidthAndShape) {
  const instrument_truth truth;
  std::mt19937_64 rng(660);
  const struct {
    const char* what;
    bool noisy;
  } rows[] = {{"noise-free", false}, {"with Poisson noise", true}};
  for (const auto& row : rows) {
    const measured_standard m = measure(truth, row.noisy ? &rng : nullptr);
    ASSERT_GE(m.fits.size(), 8u) << row.what << ": lines from 20 to 140 deg a fit can take alone";
    for (const doublet_fit& f : m.fits) {
      ASSERT_TRUE(f.converged) << row.what << " " << f.label << ": " << f.why;
      const line& l = truth_of(m, f);
      // Noise-free the only misfit is the neighbours' far tails under the window.
      const auto near = [&](double got, double want, double u, double exact) {
        return row.noisy ? std::fabs(got - want) <= 3.0 * u : std::fabs(got - want) <= exact;
      };
      EXPECT_TRUE(near(f.two_theta, l.two_theta1, f.u_two_theta, 1e-4))
          << row.what << " " << f.label << ": 2theta " << f.two_theta << " ± " << f.u_two_theta << ", true "
          << l.two_theta1;
      EXPECT_TRUE(near(f.fwhm, l.fwhm, f.u_fwhm, 1e-3 * l.fwhm))
          << row.what << " " << f.label << ": FWHM " << f.fwhm << " ± " << f.u_fwhm << ", true " << l.fwhm;
      EXPECT_TRUE(near(f.eta, l.eta, f.u_eta, 2e-3))
          << row.what << " " << f.label << ": eta " << f.eta << " ± " << f.u_eta << ", true " << l.eta;
      EXPECT_TRUE(near(f.area, l.area, f.u_area, 1e-3 * l.area))
          << row.what << " " << f.label << ": area " << f.area << " ± " << f.u_area << ", true " << l.area;
    }
  }
}

TEST(InstrumentFromStandard, TheCagliotiWidthAndTheMixingOfAStandardAreRecoveredWithinTheirUncertainties) {
  const instrument_truth truth;
  std::mt19937_64 rng(6600);
  const struct {
    const char* what;
    bool noisy;
  } rows[] = {{"noise-free", false}, {"with Poisson noise", true}};
  for (const auto& row : rows) {
    const measured_standard m = measure(truth, row.noisy ? &rng : nullptr);
    const instrument_function f = fit_instrument(m.fits, "LaB6");
    ASSERT_TRUE(f.fitted) << row.what << ": " << f.why;
    EXPECT_EQ(f.lines.size(), m.fits.size()) << row.what;
    const struct {
      const char* name;
      double got, u, want, exact;
    } values[] = {{"U", f.U, f.u_U, truth.U, 1e-6},
                  {"V", f.V, f.u_V, truth.V, 1e-6},
                  {"W", f.W, f.u_W, truth.W, 2e-7},
                  {"eta0", f.eta0, f.u_eta0, truth.eta0, 1e-4},
                  {"eta1", f.eta1, f.u_eta1, truth.eta1, 2e-6}};
    for (const auto& v : values) {
      EXPECT_TRUE(std::isfinite(v.u) && v.u > 0.0) << row.what << " " << v.name;
      if (row.noisy) {
        EXPECT_LE(std::fabs(v.got - v.want), 2.0 * v.u)
            << row.what << ": " << v.name << " " << v.got << " ± " << v.u << ", true " << v.want;
      } else {
        EXPECT_NEAR(v.got, v.want, v.exact) << row.what << ": " << v.name << " ± " << v.u;
      }
    }
    // The fitted width between the lines, where no line was fitted.
    for (double two_theta : {25.0, 60.0, 100.0, 135.0}) {
      const double tolerance = row.noisy ? 3.0 * f.u_fwhm_at(two_theta) : 1e-3 * truth.fwhm(two_theta);
      EXPECT_NEAR(f.fwhm_at(two_theta), truth.fwhm(two_theta), tolerance) << row.what << " at " << two_theta;
    }
  }
}

TEST(InstrumentFromStandard, TooFewLinesOrLinesThatDidNotConvergeAreRefusedWithTheReason) {
  const instrument_truth truth;
  measured_standard m = measure(truth, nullptr);
  ASSERT_GE(m.fits.size(), 4u);
  const std::vector<doublet_fit> two(m.fits.begin(), m.fits.begin() + 2);
  const instrument_function few = fit_instrument(two, "LaB6");
  EXPECT_FALSE(few.fitted);
  EXPECT_NE(few.why.find("at least three fitted lines, and 2 were fitted"), std::string::npos) << few.why;

  std::vector<doublet_fit> failing(m.fits.begin(), m.fits.begin() + 3);
  failing[1].converged = false;
  failing[1].why = "the fit did not converge";
  const instrument_function refused = fit_instrument(failing, "LaB6");
  EXPECT_FALSE(refused.fitted);
  EXPECT_NE(refused.why.find(failing[1].label + ": the fit did not converge"), std::string::npos) << refused.why;

  // A window on the background alone holds no line.
  const line_window empty{"none", 16.0, 15.5, 17.5};
  const doublet_fit nothing = fit_doublet(m.x, m.y, empty, {});
  EXPECT_FALSE(nothing.converged);
  EXPECT_FALSE(nothing.why.empty());
}

}  // namespace
