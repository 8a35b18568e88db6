#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <string>
#include <vector>

#include "../chain_test_tree.h"
#include "numerics/fft_3.h"
#include "xrd/curves/B_xy_re_im_3.h"
#include "xrd/plots/plot_xy_3.h"

namespace {

using namespace chain_test;

// The transform as written down, in double: F(j) = sum_t y(t) exp(+2 pi i j t / N), j = 0 .. N/2.
std::vector<std::complex<double>> naive_dft(const std::vector<double>& y, int n) {
  std::vector<std::complex<double>> f(static_cast<std::size_t>(n / 2 + 1));
  for (int j = 0; j <= n / 2; ++j)
    for (std::size_t t = 0; t < y.size(); ++t)
      f[j] += y[t] * std::polar(1.0, 2.0 * std::numbers::pi * j * double(t) / n);
  return f;
}

TEST(Transform, OfAGaussianLineMatchesADoubleDftOfTheCorrectedProfileReferredToTheOrigin) {
  const struct {
    const char* name;
    int doubling;
    double level, slope, origin_x;
  } rows[] = {{"without background, doubling 0, origin on the peak", 0, 0.0, 0.0, 23.1},
              {"with a sloping background, doubling 2", 2, 5.0, 0.5, 23.1},
              {"with the origin off the peak by a fraction of a step", 1, 5.0, 0.0, 22.737}};
  for (const auto& c : rows) {
    tree t;
    assoc_class* file = t.add_file("/d/a.xdd", 20.0, 0.02, 301,
                                   [](double x) { return 5.0 + 0.5 * (x - 23.0) + 1000.0 * gaussian(x, 23.1, 0.15); });
    tree::option(file, "fBreq_doubler")->set_int(c.doubling);
    tree::option(file, "aBo_bkg")->set_double(c.level);
    tree::option(file, "aB1_bkg")->set_double(c.slope);
    tree::option(file, "fft_zero")->set_text(std::to_string(c.origin_x).c_str());
    xy_yobs_4& p = *tree::yobs(file);
    ASSERT_TRUE(p.run_transform_stages()) << c.name;
    std::vector<double> y;  // the observed floats minus the background line, about the middle
    for (int i = 0; i < p.y.count(); ++i) y.push_back(p.y[i] - (c.level + c.slope * (i * p.xd - (p.x2 - p.x1) / 2)));
    const int n = fft_3::transform_length(301, c.doubling);
    ASSERT_EQ(p.fft.modulus.count(), n / 2) << c.name;
    const std::vector<std::complex<double>> f = naive_dft(y, n);
    double top = 0.0;
    for (const auto& v : f) top = std::max(top, std::abs(v));
    const double tol = 2e-6 * top;
    // Frequency 0 shares its slot with the real Nyquist value (the packed layout).
    EXPECT_NEAR(p.fft.modulus[0], std::hypot(f[0].real(), f[n / 2].real()), tol) << c.name;
    const double origin_points = (c.origin_x - p.x1) / p.xd;
    for (int j = 1; j < n / 2; ++j) {
      const std::complex<double> referred = f[j] * std::polar(1.0, -2.0 * std::numbers::pi * j * origin_points / n);
      ASSERT_NEAR(p.fft.modulus[j], std::abs(f[j]), tol) << c.name << ", frequency " << j;
      ASSERT_NEAR(p.fft.shifted_re[j], referred.real(), tol) << c.name << ", frequency " << j;
      ASSERT_NEAR(p.fft.shifted_im[j], referred.imag(), tol) << c.name << ", frequency " << j;
    }
  }
}

TEST(Transform, AnUnsetLimitMakesTheInverseReproduceTheCorrectedInputAndItsDisplayShowsItsPoints) {
  tree t;
  assoc_class* file = t.add_file("/d/a.xdd", 4.0, 0.1, 50, [](double x) { return 10.0 + 50 * gaussian(x, 6.5, 0.3); });
  tree::option(file, "fft_zero")->set_double(25.0);  // set, so that no automatic background replaces the one below
  tree::option(file, "fBreq_doubler")->set_int(1);
  tree::option(file, "aBo_bkg")->set_double(2.0);
  xy_yobs_4& p = *tree::yobs(file);
  ASSERT_TRUE(p.run_inverse());
  EXPECT_DOUBLE_EQ(tree::option(file, "fBft_f2_lim")->get_double(), 63.0) << "the last index of 64 frequencies";
  ASSERT_EQ(p.fft.inv.count(), 128);
  for (int i = 0; i < 128; ++i) ASSERT_NEAR(p.fft.inv[i], i < 50 ? p.y[i] - 2.0 : 0.0, 1e-4) << "point " << i;

  fake_view view;
  view.bits = show_bits::inverse;
  ASSERT_TRUE(tree::node<plot_xy_3>(file, "inv")->update(view));
  auto* inv = tree::node<xy_data_3>(file, "xy_inv");
  ASSERT_EQ(inv->y.count(), 50) << "of 128 samples";
  EXPECT_EQ(std::pair(inv->x1, inv->xd), std::pair(4.0, 0.1));
  for (int i = 0; i < 50; ++i) ASSERT_EQ(inv->y[i], p.fft.inv[i]);
}

TEST(Transform, TheDisplayAxisIsTheRawAxisTimesTheWavelengthFactor) {
  const struct {
    const char* name;
    double lambda, origin_x;
  } rows[] = {{"without a wavelength equals the raw axis", 0.0, 22.0},
              {"with a negative wavelength equals the raw axis", -1.0, 22.0},
              {"with copper K alpha at 40 degrees is converted", 1.5406, 40.0},
              {"at 180 degrees uses a cosine of 1e-9", 1.5406, 180.0}};
  for (const auto& c : rows) {
    tree t;
    assoc_class* file = t.add_file("/d/a.xdd", 20.0, 0.05, 100, [](double x) { return gaussian(x, 22.0, 0.2); });
    tree::option(file, "lBamda")->set_double(c.lambda);
    tree::option(file, "fft_zero")->set_text(std::to_string(c.origin_x).c_str());
    xy_yobs_4& p = *tree::yobs(file);
    p.run_transform_stages();
    const x1_xd_x2_3& raw = p.fft.frequency_axis;
    EXPECT_EQ(raw.x1, 0.0) << c.name;
    EXPECT_NEAR(raw.xd, 1.0 / (128 * 0.05), 1e-15) << "1 / (N dx): " << c.name;
    const double cz = std::max(1e-9, std::fabs(std::cos(c.origin_x / 2.0 * std::numbers::pi / 180.0)));
    const double factor = c.lambda > 0 ? c.lambda * 180.0 / std::numbers::pi / cz : 1.0;
    EXPECT_EQ(p.display_axis.n, raw.n) << c.name;
    EXPECT_NEAR(p.display_axis.x1, raw.x1 * factor, 1e-12) << c.name;
    EXPECT_NEAR(p.display_axis.x2 / (raw.x2 * factor), 1.0, 1e-9) << c.name;
    EXPECT_NEAR(p.display_axis.xd / (raw.xd * factor), 1.0, 1e-9) << c.name;
  }
}

TEST(Displays, TheRealPartReadsOneHundredAndItsFamilySharesTheScaleOfTheCurrentData) {
  tree t;
  assoc_class* file = t.add_file("/d/a.xdd", 0.0, 0.1, 64, [](double x) { return 3.0 * gaussian(x, 3.0, 0.4); });
  xy_yobs_4& p = *tree::yobs(file);
  fake_view view;
  view.bits = show_bits::transform_re_im | show_bits::transform_mod;
  for (const char* name : {"re", "im", "mod"}) ASSERT_TRUE(tree::node<plot_xy_3>(file, name)->update(view)) << name;
  auto* re = tree::node<B_xy_re_im_3>(file, "xy_re");
  auto* im = tree::node<B_xy_re_im_3>(file, "xy_im");
  auto* mod = tree::node<B_xy_re_im_3>(file, "xy_mod");
  EXPECT_NEAR(*std::max_element(re->y.data(), re->y.data() + re->y.count()), 100.0, 1e-4);
  EXPECT_EQ(std::pair(re->x1, re->xd), std::pair(p.display_axis.x1, p.display_axis.xd));
  for (int j = 0; j < p.fft.modulus.count(); ++j) {
    ASSERT_FLOAT_EQ(im->y[j], static_cast<float>(p.fft.shifted_im[j] * re->factor)) << j;
    ASSERT_FLOAT_EQ(mod->y[j], static_cast<float>(p.fft.modulus[j] * re->factor)) << j;
  }

  // The profile doubles; only the modulus is on show now.
  for (int i = 0; i < p.y.count(); ++i) p.y[i] *= 2.0f;
  p.set_text("1");
  view.bits = show_bits::transform_mod;
  ASSERT_TRUE(tree::node<plot_xy_3>(file, "mod")->update(view));
  const double s = B_xy_re_im_3::scale_to_100(p.fft.shifted_re);
  for (int j = 0; j < p.fft.modulus.count(); ++j)
    ASSERT_FLOAT_EQ(mod->y[j], static_cast<float>(p.fft.modulus[j] * s)) << j;
}

TEST(AutomaticOrigin, FindsThePeakAboveTheLineThroughTheEnds) {
  tree t;
  assoc_class* file = t.add_file("/d/a.xdd", 20.0, 0.02, 401,
                                 [](double x) { return 3.0 + 0.2 * (x - 20.0) + 50.0 * gaussian(x, 23.0, 0.1); });
  xy_yobs_4& p = *tree::yobs(file);
  fake_view view;
  view.bits = show_bits::observed;
  view.yb = -5;
  view.yt = 60;
  ASSERT_TRUE(tree::node<plot_xy_3>(file, "y_for_zero")->update(view));
  EXPECT_NEAR(tree::option(file, "fft_zero")->get_double(), 150.0, 1e-3) << "x = 23 is point 150";
  EXPECT_NEAR(tree::option(file, "aB1_bkg")->get_double(), 0.2, 1e-5);
  EXPECT_NEAR(tree::option(file, "aBo_bkg")->get_double(), 3.0 + 0.2 * 4.0, 1e-4) << "the line at the centre, x = 24";
  auto* marker = tree::node<xy_data_3>(file, "xy_y_for_zero");
  ASSERT_EQ(marker->y.count(), 3);
  EXPECT_NEAR(marker->x1, 23.0, 2e-5);
  EXPECT_EQ(marker->xd, 1e-9);
  EXPECT_EQ(std::vector<float>(marker->y.data(), marker->y.data() + 3), (std::vector<float>{-5.0f, 27.5f, 60.0f}));
  p.run_transform_stages();
  EXPECT_EQ(p.runs.origin, 1) << "found once; a set origin is left alone";

  assoc_class* flat = t.add_file("/d/b.xdd", 10.0, 0.5, 21, [](double x) { return 7.0 + 0.1 * x; });
  tree::yobs(flat)->run_transform_stages();
  EXPECT_STREQ(tree::option(flat, "fft_zero")->get_text(), "15.0000") << "a profile without a peak takes its middle";
}

}  // namespace
