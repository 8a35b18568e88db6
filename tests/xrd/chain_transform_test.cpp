#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <string>
#include <vector>

#include "chain_test_tree.h"
#include "numerics/fft_3.h"
#include "xrd/B_xy_re_im_3.h"
#include "xrd/fft_zero_3.h"
#include "xrd/plot_xy_3.h"

namespace {

using namespace chain_test;

// The transform as written down, in double: F(j) = sum_t y(t) exp(+2 pi i j t / N).
std::vector<std::complex<double>> naive_dft(const std::vector<double>& y, int n) {
  std::vector<std::complex<double>> f(static_cast<std::size_t>(n / 2));
  for (int j = 0; j < n / 2; ++j) {
    std::complex<double> s = 0.0;
    for (std::size_t t = 0; t < y.size(); ++t) {
      const double a = 2.0 * std::numbers::pi * j * static_cast<double>(t) / n;
      s += y[t] * std::complex<double>(std::cos(a), std::sin(a));
    }
    f[static_cast<std::size_t>(j)] = s;
  }
  return f;
}

double nyquist(const std::vector<double>& y) {
  double s = 0.0;
  for (std::size_t t = 0; t < y.size(); ++t) s += (t % 2 == 0 ? 1.0 : -1.0) * y[t];
  return s;
}

// The observed floats minus the background line, in double.
std::vector<double> corrected(xy_yobs_4& p, double level, double slope) {
  std::vector<double> v;
  const double xc = (p.x1 + p.x2) / 2.0;
  for (int i = 0; i < p.y.count(); ++i) v.push_back(p.y[i] - (level + slope * (p.x1 + i * p.xd - xc)));
  return v;
}

struct dft_case {
  const char* name;
  int doubling;
  double level, slope;
  double origin_x;
};
void PrintTo(const dft_case& c, std::ostream* os) { *os << c.name; }

class TransformOfAGaussianLine : public ::testing::TestWithParam<dft_case> {};

TEST_P(TransformOfAGaussianLine, MatchesADoubleDftReferredToTheOrigin) {
  const dft_case& c = GetParam();
  tree t;
  assoc_class* file = t.add_file("/d/a.xdd", 20.0, 0.02, 301,
                                 [](double x) { return 5.0 + 0.5 * (x - 23.0) + 1000.0 * gaussian(x, 23.1, 0.15); });
  tree::option(file, "fBreq_doubler")->set_int(c.doubling);
  tree::option(file, "aBo_bkg")->set_double(c.level);
  tree::option(file, "aB1_bkg")->set_double(c.slope);
  tree::option(file, "fft_zero")->set_text(std::to_string(c.origin_x).c_str());
  xy_yobs_4& p = *tree::yobs(file);
  ASSERT_TRUE(p.run_transform_stages());

  const std::vector<double> y = corrected(p, c.level, c.slope);
  const int n = fft_3::transform_length(301, c.doubling);
  ASSERT_EQ(p.fft.modulus.count(), n / 2);
  const std::vector<std::complex<double>> f = naive_dft(y, n);
  double top = 0.0;
  for (const auto& v : f) top = std::max(top, std::abs(v));
  const double tol = 2e-6 * top;

  // Frequency 0 shares its slot with the Nyquist value (the packed layout).
  EXPECT_NEAR(p.fft.modulus[0], std::hypot(f[0].real(), nyquist(y)), tol);
  const double origin_points = (c.origin_x - p.x1) / p.xd;
  for (int j = 1; j < n / 2; ++j) {
    const std::complex<double> referred =
        f[static_cast<std::size_t>(j)] * std::polar(1.0, -2.0 * std::numbers::pi * j * origin_points / n);
    ASSERT_NEAR(p.fft.modulus[j], std::abs(f[static_cast<std::size_t>(j)]), tol) << "frequency " << j;
    ASSERT_NEAR(p.fft.shifted_re[j], referred.real(), tol) << "frequency " << j;
    ASSERT_NEAR(p.fft.shifted_im[j], referred.imag(), tol) << "frequency " << j;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Chain, TransformOfAGaussianLine,
    ::testing::Values(dft_case{"without_background_doubling_0_origin_on_the_peak", 0, 0.0, 0.0, 23.1},
                      dft_case{"with_a_sloping_background_doubling_2", 2, 5.0, 0.5, 23.1},
                      dft_case{"with_the_origin_off_the_peak_by_a_fraction_of_a_step", 1, 5.0, 0.0, 22.737}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Transform, ABackgroundLevelLowersReAtFrequencyZeroByTheLevelTimesTheCount) {
  tree t;
  assoc_class* file = t.add_file("/d/a.xdd", 0.0, 0.1, 50, [](double x) { return 10.0 + gaussian(x, 2.5, 0.3); });
  tree::option(file, "fft_zero")->set_double(25.0);
  xy_yobs_4& p = *tree::yobs(file);
  p.run_transform_stages();
  const double before = p.fft.re[0];
  tree::option(file, "aBo_bkg")->set_double(3.0);
  p.run_transform_stages();
  EXPECT_NEAR(before - p.fft.re[0], 3.0 * 50, 1e-3);
}

TEST(Transform, AnUnsetLimitMakesTheInverseReproduceTheCorrectedZeroPaddedInput) {
  tree t;
  assoc_class* file = t.add_file("/d/a.xdd", 0.0, 0.1, 50, [](double x) { return 10.0 + 50 * gaussian(x, 2.5, 0.3); });
  tree::option(file, "fft_zero")->set_double(25.0);
  tree::option(file, "fBreq_doubler")->set_int(1);
  tree::option(file, "aBo_bkg")->set_double(2.0);
  xy_yobs_4& p = *tree::yobs(file);
  ASSERT_TRUE(p.run_inverse());
  EXPECT_DOUBLE_EQ(tree::option(file, "fBft_f2_lim")->get_double(), 63.0) << "the last index of 64 frequencies";
  ASSERT_EQ(p.fft.inv.count(), 128);
  for (int i = 0; i < 128; ++i) {
    const double expected = i < 50 ? p.y[i] - 2.0 : 0.0;
    ASSERT_NEAR(p.fft.inv[i], expected, 1e-4) << "point " << i;
  }
}

TEST(Transform, TheInverseDisplayShowsTheTransformedPointsOnly) {
  tree t;
  assoc_class* file = t.add_file("/d/a.xdd", 4.0, 0.1, 50, [](double x) { return 50 * gaussian(x, 6.5, 0.3); });
  tree::option(file, "fBreq_doubler")->set_int(2);
  fake_view view;
  view.bits = show_bits::inverse;
  ASSERT_TRUE(tree::node<plot_xy_3>(file, "inv")->update(view));
  auto* inv = tree::node<xy_data_3>(file, "xy_inv");
  xy_yobs_4& p = *tree::yobs(file);
  ASSERT_EQ(inv->y.count(), 50) << "of 256 samples";
  EXPECT_EQ(inv->x1, 4.0);
  EXPECT_EQ(inv->xd, 0.1);
  for (int i = 0; i < 50; ++i) ASSERT_EQ(inv->y[i], p.fft.inv[i]);
}

// ------------------------------------------------------ display frequency axis

struct axis_case {
  const char* name;
  double lambda;
  double origin_x;
};
void PrintTo(const axis_case& c, std::ostream* os) { *os << c.name; }

class DisplayAxis : public ::testing::TestWithParam<axis_case> {};

TEST_P(DisplayAxis, IsTheRawAxisTimesTheWavelengthFactor) {
  const axis_case& c = GetParam();
  tree t;
  assoc_class* file = t.add_file("/d/a.xdd", 20.0, 0.05, 100, [](double x) { return gaussian(x, 22.0, 0.2); });
  tree::option(file, "lBamda")->set_double(c.lambda);
  tree::option(file, "fft_zero")->set_text(std::to_string(c.origin_x).c_str());
  xy_yobs_4& p = *tree::yobs(file);
  p.run_transform_stages();
  const x1_xd_x2_3& raw = p.fft.frequency_axis;
  EXPECT_EQ(raw.x1, 0.0);
  EXPECT_NEAR(raw.xd, 1.0 / (128 * 0.05), 1e-15) << "1 / (N dx)";
  double factor = 1.0;
  if (c.lambda > 0) {
    double cz = std::cos(c.origin_x / 2.0 * std::numbers::pi / 180.0);
    if (std::fabs(cz) < 1e-9) cz = 1e-9;
    factor = c.lambda * 180.0 / std::numbers::pi / cz;
  }
  EXPECT_EQ(p.display_axis.n, raw.n);
  EXPECT_NEAR(p.display_axis.x1, raw.x1 * factor, 1e-12);
  EXPECT_NEAR(p.display_axis.x2 / (raw.x2 * factor), 1.0, 1e-9);
  EXPECT_NEAR(p.display_axis.xd / (raw.xd * factor), 1.0, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Chain, DisplayAxis,
                         ::testing::Values(axis_case{"without_a_wavelength_equals_the_raw_axis", 0.0, 22.0},
                                           axis_case{"with_a_negative_wavelength_equals_the_raw_axis", -1.0, 22.0},
                                           axis_case{"with_copper_k_alpha_at_40_degrees_is_converted", 1.5406, 40.0},
                                           axis_case{"at_180_degrees_uses_a_cosine_of_1e_minus_9", 1.5406, 180.0}),
                         [](const auto& info) { return std::string(info.param.name); });

// ----------------------------------------------------------- displays

TEST(Displays, TheRealPartReadsOneHundredAndItsFamilySharesTheScale) {
  tree t;
  assoc_class* file = t.add_file("/d/a.xdd", 0.0, 0.1, 64, [](double x) { return 3.0 * gaussian(x, 3.0, 0.4); });
  xy_yobs_4& p = *tree::yobs(file);
  fake_view view;
  view.bits = show_bits::transform_re_im | show_bits::transform_mod;
  for (const char* name : {"re", "im", "mod"}) ASSERT_TRUE(tree::node<plot_xy_3>(file, name)->update(view)) << name;

  auto* re = tree::node<B_xy_re_im_3>(file, "xy_re");
  auto* im = tree::node<B_xy_re_im_3>(file, "xy_im");
  auto* mod = tree::node<B_xy_re_im_3>(file, "xy_mod");
  const double s = re->factor;
  float largest = re->y[0];
  for (int j = 0; j < re->y.count(); ++j) largest = std::max(largest, re->y[j]);
  EXPECT_NEAR(largest, 100.0, 1e-4);
  EXPECT_EQ(re->x1, p.display_axis.x1);
  EXPECT_EQ(re->xd, p.display_axis.xd);
  for (int j = 0; j < p.fft.modulus.count(); ++j) {
    ASSERT_FLOAT_EQ(im->y[j], static_cast<float>(p.fft.shifted_im[j] * s));
    ASSERT_FLOAT_EQ(mod->y[j], static_cast<float>(p.fft.modulus[j] * s));
  }
}

TEST(Displays, AModulusShownAloneTakesTheScaleOfTheCurrentData) {
  tree t;
  assoc_class* file = t.add_file("/d/a.xdd", 0.0, 0.1, 64, [](double x) { return 3.0 * gaussian(x, 3.0, 0.4); });
  xy_yobs_4& p = *tree::yobs(file);
  fake_view both;
  both.bits = show_bits::transform_re_im | show_bits::transform_mod;
  tree::node<plot_xy_3>(file, "re")->update(both);
  tree::node<plot_xy_3>(file, "mod")->update(both);

  // The profile doubles; only the modulus is on show now.
  for (int i = 0; i < p.y.count(); ++i) p.y[i] *= 2.0f;
  p.set_text("1");
  fake_view modulus_only;
  modulus_only.bits = show_bits::transform_mod;
  ASSERT_TRUE(tree::node<plot_xy_3>(file, "mod")->update(modulus_only));
  auto* mod = tree::node<B_xy_re_im_3>(file, "xy_mod");
  const double s = B_xy_re_im_3::scale_to_100(p.fft.shifted_re);
  for (int j = 0; j < p.fft.modulus.count(); ++j) ASSERT_FLOAT_EQ(mod->y[j], static_cast<float>(p.fft.modulus[j] * s));
}

// -------------------------------------------------------------- titles

struct title_case {
  const char* name;
  std::uint32_t bits;
  const char* suffix;
};
void PrintTo(const title_case& c, std::ostream* os) { *os << c.name; }

class ViewTitle : public ::testing::TestWithParam<title_case> {};

TEST_P(ViewTitle, NamesTheFamiliesShown) {
  EXPECT_EQ(xy_yobs_3::view_title_suffix(GetParam().bits), GetParam().suffix);
}

INSTANTIATE_TEST_SUITE_P(Chain, ViewTitle,
                         ::testing::Values(title_case{"nothing_shown_adds_nothing", 0, ""},
                                           title_case{"the_profile_alone", 0x100, ",Yo"},
                                           title_case{"profile_inverse_and_deconvolution", 0x700, ",Yo,Inv,Dec"},
                                           title_case{"the_modulus_is_a_transform", 0x20, ",FT(Yo),"},
                                           title_case{"a_quotient_alone", 0x80, ",FT(Yo)/FT(Ref)"},
                                           title_case{"transform_and_quotient", 0x50, ",FT(Yo),,FT(Yo)/FT(Ref)"},
                                           title_case{"frequency_bits_hide_profile_bits", 0x110, ",FT(Yo),"}),
                         [](const auto& info) { return std::string(info.param.name); });

// ------------------------------------------------- automatic origin and background

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
  EXPECT_EQ(p.runs.origin, 1);
  EXPECT_NEAR(tree::option(file, "fft_zero")->get_double(), 150.0, 1e-3) << "x = 23 is point 150";
  EXPECT_NEAR(tree::option(file, "aB1_bkg")->get_double(), 0.2, 1e-5);
  EXPECT_NEAR(tree::option(file, "aBo_bkg")->get_double(), 3.0 + 0.2 * 4.0, 1e-4) << "the line at the centre, x = 24";

  auto* marker = tree::node<xy_data_3>(file, "xy_y_for_zero");
  ASSERT_EQ(marker->y.count(), 3);
  EXPECT_NEAR(marker->x1, 23.0, 2e-5);
  EXPECT_EQ(marker->xd, 1e-9);
  EXPECT_FLOAT_EQ(marker->y[0], -5.0f);
  EXPECT_FLOAT_EQ(marker->y[1], 27.5f);
  EXPECT_FLOAT_EQ(marker->y[2], 60.0f);

  p.run_transform_stages();
  EXPECT_EQ(p.runs.origin, 1) << "a set origin is left alone";
}

TEST(AutomaticOrigin, AProfileWithoutAPeakTakesItsMiddle) {
  tree t;
  assoc_class* file = t.add_file("/d/a.xdd", 10.0, 0.5, 21, [](double x) { return 7.0 + 0.1 * x; });
  tree::yobs(file)->run_transform_stages();
  EXPECT_DOUBLE_EQ(tree::option(file, "fft_zero")->get_double(), 10.0);
  EXPECT_STREQ(tree::option(file, "fft_zero")->get_text(), "15.0000");
}

TEST(Origin, IsKeptAsAnIndexButReadAndWrittenAsX) {
  tree t;
  assoc_class* file = t.add_file("/d/a.xdd", 10.0, 0.5, 21, [](double x) { return x; });
  auto* zero = tree::node<fft_zero_3>(file, "fft_zero");
  EXPECT_FALSE(zero->is_set()) << "its default is the unset -999";
  EXPECT_DOUBLE_EQ(zero->get_double(), -999.0);
  zero->set_text("12.25");
  EXPECT_DOUBLE_EQ(zero->get_double(), 4.5);
  EXPECT_STREQ(zero->get_text(), "12.2500");
  EXPECT_EQ(zero->set_text_with_limits("11"), 0);
  EXPECT_DOUBLE_EQ(zero->get_double(), 2.0);
  EXPECT_EQ(tree::option(file, "fBft_shift")->get_int(), 1) << "its change script ran";
}

}  // namespace
