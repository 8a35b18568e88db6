// Sizes and strains from synthetic lines whose true values are known in
// closed form. A sample's line is its A(L) taken back to 2θ with the chain's
// own conversion (L = f λ / cos θ0, f in cycles per radian of 2θ) and
// convolved with the instrument's Gaussian, which is the reference file:
//   size:   A(L) = exp(−L / La)          ->  a Lorentzian of half width λ / (2π La cos θ0)
//   strain: A(L) = exp(−2π² L² ε² / d²)  ->  a Gaussian of sigma 2 ε tan θ0
// (both in radians of 2θ). The expected figures below come from these forms,
// not from the code under test.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "../chain_test_tree.h"
#include "synthetic_pair.h"
#include "xrd/chain/ref_prof_3.h"
#include "xrd/sizes/line_analysis.h"
#include "xrd/sizes/size_strain.h"

namespace {

using namespace chain_test;
using namespace bragg;

// Two orders of one reflection, 111 and 222 of a d-spacing of 2.3 Å.
constexpr double d111 = 2.3;

struct line_model {
  double La = 0.0;       // Å; 0: no size broadening
  double epsilon = 0.0;  // rms strain; 0: none
  double instrument = 0.03;  // sigma of the instrument's Gaussian, degrees
  double peak = 1e5;         // counts at the top
  double background = 100.0;
};

// The sample's line at 2θ0 in degrees: the Lorentzian of the size convolved
// with one Gaussian of the strain and the instrument together, by quadrature.
std::vector<double> sample_line(const line_model& m, double two_theta0, const std::vector<double>& x) {
  const double theta = two_theta0 * degree / 2.0;
  const double w = m.La > 0.0 ? lambda / (2.0 * pi * m.La * std::cos(theta)) / degree : 0.0;  // HWHM, degrees
  const double strain_sigma = 2.0 * m.epsilon * std::tan(theta) / degree;
  const double s = std::sqrt(strain_sigma * strain_sigma + m.instrument * m.instrument);
  std::vector<double> y(x.size(), 0.0);
  if (w == 0.0) {
    for (std::size_t i = 0; i < x.size(); ++i) y[i] = gaussian(x[i], two_theta0, s);
    return y;
  }
  const int steps = 400;
  const double dt = 12.0 * s / steps;
  for (std::size_t i = 0; i < x.size(); ++i) {
    double sum = 0.0;
    for (int k = 0; k <= steps; ++k) {
      const double t = -6.0 * s + k * dt;
      const double u = x[i] - two_theta0 - t;
      sum += w / pi / (w * w + u * u) * std::exp(-0.5 * t * t / (s * s)) * dt;
    }
    y[i] = sum;
  }
  return y;
}

std::vector<double> reference_line(const line_model& m, double two_theta0, const std::vector<double>& x) {
  std::vector<double> y(x.size());
  for (std::size_t i = 0; i < x.size(); ++i) y[i] = gaussian(x[i], two_theta0, m.instrument);
  return y;
}

// Scaled to the peak, on the background, with Poisson counts when `rng`.
std::vector<double> counts(std::vector<double> y, const line_model& m, std::mt19937_64* rng) {
  double top = 0.0;
  for (double v : y) top = std::max(top, v);
  for (double& v : y) {
    v = v / top * m.peak + m.background;
    if (rng) v = static_cast<double>(std::poisson_distribution<long>(v)(*rng));
  }
  return y;
}

// A pair of files, sample and reference, for one order, scanned ±15° around the line.
struct order_pair {
  assoc_class* sample;
  assoc_class* reference;
  double two_theta;
  std::vector<double> sample_counts, reference_counts;
};

order_pair add_order(tree& t, const std::string& name, const line_model& m, double d, std::mt19937_64* rng) {
  const double centre = two_theta_of(d);
  const double step = 0.01;
  const int n = 3001;
  const double x1 = std::round((centre - 15.0) / step) * step;
  std::vector<double> x(n);
  for (int i = 0; i < n; ++i) x[static_cast<std::size_t>(i)] = x1 + i * step;
  const std::vector<double> ys = counts(sample_line(m, centre, x), m, rng);
  const std::vector<double> yr = counts(reference_line(m, centre, x), m, rng);
  const auto [sample, reference] = add_scan_pair(t, name, x1, step, ys, yr, centre, m.background, m.background);
  return {sample, reference, centre, ys, yr};
}

struct Sizes : ::testing::Test {
  tree t;
};

TEST_F(Sizes, ASizeOnlyLineGivesTheAreaWeightedLengthOfItsExponential) {
  for (double La : {100.0, 250.0}) {
    line_model m;
    m.La = La;
    const order_pair p = add_order(t, "size" + std::to_string(static_cast<int>(La)), m, d111, nullptr);
    // Far out the reference's transform is below the floats' rounding: the
    // deconvoluted profile is taken up to where the quotient is still signal.
    std::string why;
    ASSERT_TRUE(set_automatic_limit(*tree::yobs(p.sample), why)) << why;
    const line_analysis a = analyse_line(*tree::yobs(p.sample));
    ASSERT_TRUE(a.refused.empty()) << a.refused;
    ASSERT_TRUE(a.size.found) << La;
    EXPECT_NEAR(a.size.length, La, 0.05 * La) << "La " << La;
    // A(L) itself against exp(−L/La) at the start of the axis.
    const fourier_coefficients& c = a.coefficients;
    for (std::size_t i = 0; i < c.L.size() && c.L[i] < La; ++i)
      EXPECT_NEAR(c.A[i], std::exp(-c.L[i] / La), 0.03) << "La " << La << " L " << c.L[i];
    EXPECT_LT(a.reconvolution_r, 0.01) << "La " << La;
    // The integral breadth of the deconvoluted Lorentzian is π w; the Scherrer
    // size λ / (β cos θ0) is then 2 La.
    EXPECT_NEAR(a.scherrer, 2.0 * La, 0.1 * La) << "La " << La;
    EXPECT_NEAR(a.deconvoluted.shape, 2.0 / pi, 0.05) << "a Lorentzian's shape factor, La " << La;
  }
}

TEST_F(Sizes, ABackgroundSetTooHighIsSaid) {
  line_model m;
  m.La = 150.0;
  const order_pair p = add_order(t, "wrong_bkg", m, d111, nullptr);
  std::string why;
  ASSERT_TRUE(set_automatic_limit(*tree::yobs(p.sample), why)) << why;
  EXPECT_TRUE(analyse_line(*tree::yobs(p.sample)).warnings.empty()) << "the true background";
  // Half a per cent of the peak too high: the profile dips below its background
  // at both ends, and the deconvoluted profile with it.
  tree::option(p.sample, "aBo_bkg")->set_double(m.background + 0.005 * m.peak);
  const line_analysis a = analyse_line(*tree::yobs(p.sample));
  ASSERT_FALSE(a.warnings.empty());
  EXPECT_EQ(a.warnings.front().find("The background the chain subtracts (600 at the scan's middle) lies above"), 0u)
      << a.warnings.front();
}

TEST_F(Sizes, SizeAndStrainSeparateOnTwoOrdersWithAndWithoutNoise) {
  const struct {
    const char* what;
    const char* tag;  // of the files' names
    double La;        // 0: strain only
    bool noisy;
    double tolerance;
  } rows[] = {{"strain only", "s", 0.0, false, 0.05},
              {"noise-free", "c", 200.0, false, 0.05},
              {"Poisson noise", "n", 200.0, true, 0.10}};
  for (const auto& row : rows) {
    line_model m;
    m.La = row.La;
    m.epsilon = 1e-3;
    std::mt19937_64 rng(2024);
    const std::string tag = row.tag;
    const order_pair first = add_order(t, tag + "111", m, d111, row.noisy ? &rng : nullptr);
    const order_pair second = add_order(t, tag + "222", m, d111 / 2.0, row.noisy ? &rng : nullptr);
    std::string why;
    if (row.noisy) {
      ASSERT_TRUE(set_automatic_limit(*tree::yobs(first.sample), why)) << why;
      ASSERT_TRUE(set_automatic_limit(*tree::yobs(second.sample), why)) << why;
    }
    fourier_coefficients c1, c2;
    ASSERT_TRUE(coefficients_of(*tree::yobs(first.sample), c1, why)) << why;
    ASSERT_TRUE(coefficients_of(*tree::yobs(second.sample), c2, why)) << why;
    const warren_averbach_result r = warren_averbach(c1, c2);
    ASSERT_TRUE(r.refused.empty()) << row.what << ": " << r.refused;
    if (row.La > 0.0) {
      ASSERT_TRUE(r.size.found) << row.what;
      EXPECT_NEAR(r.size.length, m.La, row.tolerance * m.La) << row.what;
      EXPECT_NEAR(r.strain_at_half, m.epsilon, row.tolerance * m.epsilon) << row.what;
      continue;
    }
    EXPECT_TRUE(!r.size.found || r.size.length > 1e4) << row.what << ": " << r.size.length;
    EXPECT_NEAR(r.strain_at_50, m.epsilon, row.tolerance * m.epsilon) << row.what;
    ASSERT_GT(r.rows.size(), 10u);
    for (const warren_averbach_row& wa : r.rows) {
      if (wa.L >= 20.0 && wa.L <= 150.0) {
        EXPECT_NEAR(wa.eps_rms, m.epsilon, row.tolerance * m.epsilon) << "L " << wa.L;
      }
    }
  }
}

// The automatic limit against the closed forms: a transform's signal at f
// (cycles per degree) is its counts above background times the line's
// normalised transform, exp(−2π w f − 2π² s² f²); Poisson noise gives every
// frequency a noise of median modulus sqrt(ln 2 · Σ counts). The limit is the
// last frequency before 1 / sqrt((n_o/|O|)² + (n_r/|R|)²) falls to 3.
TEST_F(Sizes, TheAutomaticLimitLandsWhereTheQuotientsSignalMeetsThreeTimesItsNoise) {
  line_model m;
  m.La = 200.0;
  m.peak = 2e4;
  std::mt19937_64 rng(77);
  const order_pair p = add_order(t, "noisy", m, d111, &rng);
  std::string why;
  ASSERT_TRUE(set_automatic_limit(*tree::yobs(p.sample), why)) << why;
  const double chosen = tree::option(p.sample, "fBft_f2_lim")->get_double();

  const double theta = p.two_theta * degree / 2.0;
  const double w = lambda / (2.0 * pi * m.La * std::cos(theta)) / degree;
  const double s = m.instrument;
  double sample_sum = 0.0, sample_signal = 0.0, ref_sum = 0.0, ref_signal = 0.0;
  for (double c : p.sample_counts) {
    sample_sum += c;
    sample_signal += c - m.background;
  }
  for (double c : p.reference_counts) {
    ref_sum += c;
    ref_signal += c - m.background;
  }
  const double no = std::sqrt(std::log(2.0) * sample_sum), nr = std::sqrt(std::log(2.0) * ref_sum);
  const double xd = tree::yobs(p.sample)->fft.frequency_axis.xd;
  int expected = -1;
  for (int k = 0; k < 100000; ++k) {
    const double f = k * xd;
    const double g = std::exp(-2.0 * pi * pi * s * s * f * f);
    const double o = sample_signal * std::exp(-2.0 * pi * w * f) * g, r = ref_signal * g;
    if (!(1.0 / std::hypot(no / o, nr / r) > 3.0)) break;
    expected = k;
  }
  ASSERT_GT(expected, 10);
  EXPECT_NEAR(chosen, expected, 0.1 * expected) << "closed form: " << expected;
}

TEST_F(Sizes, TheWienerFilterOffIsThePlainQuotientAndOnQuietensWhatLiesBeyondTheSignal) {
  line_model m;
  m.La = 200.0;
  m.peak = 2e4;
  std::mt19937_64 rng(5);
  const order_pair p = add_order(t, "wiener", m, d111, &rng);
  xy_yobs_4& chain = *tree::yobs(p.sample);
  auto quotient = [&chain] {
    EXPECT_TRUE(chain.run_quotient());
    return std::vector<float>(chain.fft.quotient_re.data(), chain.fft.quotient_re.data() + chain.fft.quotient_re.count());
  };
  const std::vector<float> plain = quotient();
  tree::option(p.sample, "fBft_wiener")->set_double(10.0);
  const std::vector<float> filtered = quotient();
  tree::option(p.sample, "fBft_wiener")->set_double(0.0);
  const std::vector<float> again = quotient();
  ASSERT_EQ(plain.size(), again.size());
  EXPECT_EQ(std::memcmp(plain.data(), again.data(), plain.size() * sizeof(float)), 0) << "off: bit for bit";

  const noise_estimate e = estimate_noise(chain);
  ASSERT_TRUE(e.ok);
  const int limit = e.limit_index;
  double plain_beyond = 0.0, filtered_beyond = 0.0;
  for (std::size_t i = static_cast<std::size_t>(2 * limit); i < plain.size(); ++i) {
    plain_beyond += std::fabs(plain[i]);
    filtered_beyond += std::fabs(filtered[i]);
  }
  EXPECT_LT(filtered_beyond, 0.2 * plain_beyond) << "beyond the signal the noise is faded out";

  for (int i = 0; i < limit / 3; ++i)
    EXPECT_NEAR(filtered[static_cast<std::size_t>(i)], plain[static_cast<std::size_t>(i)],
                0.02 * std::fabs(plain[0]))
        << "where the signal is strong the quotient stays, frequency " << i;
}

TEST(WarrenAverbach, RefusesLinesThatAreNotTwoOrdersOfOneReflection) {
  fourier_coefficients a, b;
  a.wavelength = b.wavelength = lambda;
  a.two_theta = two_theta_of(3.1);
  b.two_theta = two_theta_of(1.7);
  a.L = b.L = {0.0, 1.0, 2.0};
  a.A = b.A = {1.0, 0.9, 0.8};
  EXPECT_NE(warren_averbach(a, b).refused.find("not two orders"), std::string::npos);
  b.two_theta = two_theta_of(3.1 / 3.0);
  EXPECT_TRUE(warren_averbach(a, b).refused.empty()) << "111 and 333";
  b.wavelength = 0.0;
  EXPECT_FALSE(warren_averbach(a, b).refused.empty()) << "no wavelength, no d-spacing";
}

TEST(SizeFormulas, AgreeWithTheClosedFormsOnExactCoefficients) {
  // A(L) = exp(−L/La) on a fine axis: ⟨L⟩area = La, ⟨L⟩vol = 2 La.
  std::vector<double> L, A;
  for (int i = 0; i < 4000; ++i) {
    L.push_back(i * 0.5);
    A.push_back(std::exp(-L.back() / 150.0) - 1e-4);
  }
  const area_length s = area_weighted_length(L, A);
  ASSERT_TRUE(s.found);
  EXPECT_NEAR(s.length, 150.0, 1.5);
  bool zero = false;
  EXPECT_NEAR(volume_weighted_length(L, A, zero), 300.0, 3.0);
  EXPECT_TRUE(zero);
  // A flat A(L) has no size.
  EXPECT_FALSE(area_weighted_length(L, std::vector<double>(L.size(), 1.0)).found);
}

}  // namespace
