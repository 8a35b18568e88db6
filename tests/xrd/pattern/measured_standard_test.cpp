// The instrument of the D8 the measured iron was taken on, from its LaB6
// standard: every line the pattern holds, fitted as a K-alpha doublet.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "../files/data_file_fixture.h"
#include "standard_pattern.h"
#include "xrd/pattern/doublet_fit.h"
#include "xrd/pattern/instrument_file.h"
#include "xrd/pattern/instrument_function.h"

namespace {

struct MeasuredStandard : data_file_fixture::DataFiles {};

TEST_F(MeasuredStandard, TheD8LaB6ExportGivesAnInstrumentFunctionFromItsLines) {
  xdd_10* file = new_file(XRDF_TEST_DATA "/d8_lab6_standard.csv");
  ASSERT_NE(file->execute(), nullptr);
  const xy_data_3& p = profile(file);
  std::vector<double> x, y;
  for (int i = 0; i < p.n; ++i) {
    x.push_back(p.x1 + i * p.xd);
    y.push_back(p.y[i]);
  }
  const double lambda = member(file, "lBambda");
  ASSERT_EQ(lambda, standard_pattern::lambda1) << "the file has none: the default, Cu K-alpha1";

  // The lines of LaB6 within the scan, each in a window a degree beyond its
  // doublet: the nearest neighbours are more than four degrees away.
  const standard_pattern::instrument_truth guess;
  std::vector<doublet_fit> fits;
  for (const standard_pattern::line& l : standard_pattern::lab6_lines(guess, p.x1 + 1.0, p.x1 + (p.n - 1) * p.xd - 1.0)) {
    const line_window w{l.hkl, l.two_theta1, l.two_theta1 - 1.0, l.two_theta2 + 1.0};
    fits.push_back(fit_doublet(x, y, w, {}));
    const doublet_fit& f = fits.back();
    EXPECT_TRUE(f.converged) << l.hkl << ": " << f.why;
    EXPECT_NEAR(f.two_theta, l.two_theta1, 0.1) << l.hkl << ": where a = 4.15692 A puts it, but for the specimen's displacement";
  }
  ASSERT_EQ(fits.size(), 19u) << "LaB6 100 to 421 lie between 10.7 and 119.3 deg";

  const instrument_function f = fit_instrument(fits, "LaB6, d8_lab6_standard.csv");
  ASSERT_TRUE(f.fitted) << f.why;
  for (double two_theta : {20.0, 45.0, 80.0, 115.0}) {
    EXPECT_GT(f.fwhm_at(two_theta), 0.05) << two_theta;
    EXPECT_LT(f.fwhm_at(two_theta), 0.3) << two_theta;
    EXPECT_LT(f.u_fwhm_at(two_theta), 0.1 * f.fwhm_at(two_theta)) << two_theta;
  }
  // Saved for the iron measured in the same session, and read back for it.
  const std::string saved = dir + "/d8_lab6.instrument.txt";
  std::string why;
  ASSERT_TRUE(write_instrument_file(saved, f, why)) << why;
  instrument_function back;
  ASSERT_TRUE(read_instrument_file(saved, lambda, back, why)) << why;
  EXPECT_EQ(back.fwhm_at(44.7), f.fwhm_at(44.7));
  EXPECT_EQ(back.lines.size(), f.lines.size());
  // For the documentation: the fitted instrument and how each line sits on it.
  std::printf("LaB6 (d8_lab6_standard.csv), %zu lines:\n", f.lines.size());
  std::printf("  U = %.3e ± %.1e deg^2, V = %.3e ± %.1e deg^2, W = %.3e ± %.1e deg^2 (reduced chi-square %.1f)\n", f.U,
              f.u_U, f.V, f.u_V, f.W, f.u_W, f.fwhm_chi_square);
  std::printf("  eta = %.3f ± %.3f + (%.2e ± %.1e) * 2theta (reduced chi-square %.1f)\n", f.eta0, f.u_eta0, f.eta1,
              f.u_eta1, f.eta_chi_square);
  std::printf("  hkl  2theta    FWHM ± u          FWHM residual  eta ± u        eta residual\n");
  for (const instrument_line& l : f.lines)
    std::printf("  %-4s %8.4f  %.4f ± %.4f  %+.4f        %.3f ± %.3f  %+.3f\n", l.label.c_str(), l.two_theta, l.fwhm,
                l.u_fwhm, l.fwhm_residual, l.eta, l.u_eta, l.eta_residual);
}

}  // namespace
