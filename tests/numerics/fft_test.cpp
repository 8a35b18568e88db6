// The Fourier family: fft_3 (forward, inverse with cut-off),
// fft_4 (shift of origin, modulus) and fft_5 (axes, quotient, deconvoluted
// profile).
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

#include "numerics/fft_3.h"
#include "numerics/fft_4.h"
#include "numerics/fft_5.h"

namespace {

float_vec make_vec(const std::vector<double>& values, int base = 0) {
  float_vec v;
  v.allocate(static_cast<int>(values.size()));
  v.rebase(base);
  for (std::size_t i = 0; i < values.size(); ++i) v.data()[i] = static_cast<float>(values[i]);
  return v;
}

std::vector<double> random_values(int cnt, unsigned seed) {
  std::mt19937 rng(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::vector<double> v(static_cast<std::size_t>(cnt));
  for (double& x : v) x = static_cast<float>(u(rng));  // representable as float
  return v;
}

// Naive DFT in double, positive exponent: F(j) = sum_t y(t) exp(+2 pi i j t / N).
std::complex<double> naive_dft(const std::vector<double>& y, int n, int j) {
  std::complex<double> sum = 0.0;
  for (std::size_t t = 0; t < y.size(); ++t) {
    const double a = 2.0 * std::numbers::pi * static_cast<double>(j) * static_cast<double>(t) / n;
    sum += y[t] * std::complex<double>(std::cos(a), std::sin(a));
  }
  return sum;
}

double rms(const std::vector<double>& y) {
  double s = 0.0;
  for (double x : y) s += x * x;
  return y.empty() ? 0.0 : std::sqrt(s / static_cast<double>(y.size()));
}

// Float rounding of a transform of length n over values of this size.
double tolerance(int n, const std::vector<double>& y) {
  return 1e-5 * std::sqrt(static_cast<double>(n)) * std::log2(static_cast<double>(n) + 1.0) * (rms(y) + 1e-30);
}

// A profile sampled on x1 + i * dx.
std::vector<double> peak(int cnt, double centre, double width) {
  std::vector<double> y(static_cast<std::size_t>(cnt));
  for (int i = 0; i < cnt; ++i) {
    const double t = (i - centre) / width;
    y[static_cast<std::size_t>(i)] = std::exp(-t * t);
  }
  return y;
}

}  // namespace

// ------------------------------------------------------------ length rule

TEST(FftLength, SmallestPowerOfTwoTimesTheDoubling) {
  EXPECT_EQ(fft_3::transform_length(5, 0), 8);
  EXPECT_EQ(fft_3::transform_length(5, 2), 32);
  EXPECT_EQ(fft_3::transform_length(1, 0), 2);
  EXPECT_EQ(fft_3::transform_length(2, 0), 2);
  EXPECT_EQ(fft_3::transform_length(0, 0), 2);
  EXPECT_EQ(fft_3::transform_length(3, 0), 4);
  EXPECT_EQ(fft_3::transform_length(1024, 0), 1024);
  EXPECT_EQ(fft_3::transform_length(1025, 1), 4096);
  EXPECT_EQ(fft_3::transform_length(5, -3), 8);  // a negative exponent counts as 0

  fft_3 f;
  f.forward(make_vec({1, 2, 3, 4, 5}), 0);
  EXPECT_EQ(f.re.count(), 4);
  EXPECT_EQ(f.im.count(), 4);
  f.forward(make_vec({1, 2, 3, 4, 5}), 2);
  EXPECT_EQ(f.re.count(), 16);
  EXPECT_EQ(f.doubling, 2);
  f.forward(make_vec({7}), 0);
  EXPECT_EQ(f.re.count(), 1);
  EXPECT_FLOAT_EQ(f.re[0], 7.0f);  // F(0)
  EXPECT_FLOAT_EQ(f.im[0], 7.0f);  // F(N/2) = y(0) for N = 2
}

// -------------------------------------------------- against a naive DFT

TEST(FftForward, MatchesNaiveDftInPackedLayoutForSeveralLengthsAndDoublings) {
  for (int cnt : {1, 2, 3, 5, 8, 13, 64, 100, 1000}) {
    for (int doubling : {0, 1, 2}) {
      const std::vector<double> y = random_values(cnt, static_cast<unsigned>(cnt * 10 + doubling));
      fft_3 f;
      f.forward(make_vec(y), doubling);
      const int n = fft_3::transform_length(cnt, doubling);
      const int m = n / 2;
      ASSERT_EQ(f.re.count(), m);
      const double tol = tolerance(n, y);
      // re[0] = F(0); im[0] = F(N/2), a real value.
      EXPECT_NEAR(f.re[0], naive_dft(y, n, 0).real(), tol) << "cnt=" << cnt << " k=" << doubling;
      EXPECT_NEAR(f.im[0], naive_dft(y, n, m).real(), tol) << "cnt=" << cnt << " k=" << doubling;
      for (int j = 1; j < m; ++j) {
        const std::complex<double> expected = naive_dft(y, n, j);
        ASSERT_NEAR(f.re[j], expected.real(), tol) << "cnt=" << cnt << " k=" << doubling << " j=" << j;
        ASSERT_NEAR(f.im[j], expected.imag(), tol) << "cnt=" << cnt << " k=" << doubling << " j=" << j;
      }
    }
  }
}

TEST(FftForward, InputWithAnotherFirstIndexIsTakenFromItsFirstElement) {
  const std::vector<double> y = random_values(6, 3);
  fft_3 a;
  fft_3 b;
  a.forward(make_vec(y, 0), 0);
  b.forward(make_vec(y, 5), 0);
  for (int j = 0; j < 4; ++j) {
    EXPECT_EQ(a.re[j], b.re[j]);
    EXPECT_EQ(a.im[j], b.im[j]);
  }
}

TEST(FftForward, ConstantOneGivesNAtZeroAndNothingElse) {
  for (int n : {2, 8, 64, 4096}) {
    fft_3 f;
    f.forward(make_vec(std::vector<double>(static_cast<std::size_t>(n), 1.0)), 0);
    EXPECT_NEAR(f.re[0], n, 1e-6 * n);
    EXPECT_NEAR(f.im[0], 0.0, 1e-5 * n);  // the Nyquist value
    for (int j = 1; j < n / 2; ++j) {
      ASSERT_NEAR(f.re[j], 0.0, 1e-5 * n) << "n=" << n << " j=" << j;
      ASSERT_NEAR(f.im[j], 0.0, 1e-5 * n) << "n=" << n << " j=" << j;
    }
  }
}

// -------------------------------------------------------------- inverse

TEST(FftInverse, ForwardThenInverseReproducesTheZeroPaddedInput) {
  for (int cnt : {1, 2, 5, 37, 256, 1000}) {
    for (int doubling : {0, 1, 3}) {
      const std::vector<double> y = random_values(cnt, static_cast<unsigned>(cnt + 100 * doubling));
      fft_3 f;
      f.forward(make_vec(y), doubling);
      const int m = f.re.count();
      f.inverse(m);
      ASSERT_EQ(f.inv.count(), 2 * m);
      EXPECT_EQ(f.inv.base(), 0);
      for (int t = 0; t < 2 * m; ++t) {
        const double expected = t < cnt ? y[static_cast<std::size_t>(t)] : 0.0;
        ASSERT_NEAR(f.inv[t], expected, 1e-5 * std::log2(2.0 * m)) << "cnt=" << cnt << " k=" << doubling << " t=" << t;
      }
    }
  }
}

TEST(FftInverse, CutOffKeepsTheFrequenciesUpToItAndNegativeKeepsNothing) {
  const int n = 64;
  std::vector<double> y(n);
  for (int t = 0; t < n; ++t)
    y[static_cast<std::size_t>(t)] =
        std::cos(2 * std::numbers::pi * 3 * t / n) + 0.5 * std::cos(2 * std::numbers::pi * 10 * t / n);
  fft_3 f;
  f.forward(make_vec(y), 0);
  f.inverse(5);  // frequency 10 is cut off
  for (int t = 0; t < n; ++t)
    ASSERT_NEAR(f.inv[t], std::cos(2 * std::numbers::pi * 3 * t / n), 1e-5) << t;
  f.inverse(-1);
  for (int t = 0; t < n; ++t) ASSERT_EQ(f.inv[t], 0.0f) << t;
  // The static form writes into any vector.
  float_vec out;
  fft_3::inverse(f.re, f.im, out, 0);  // only the mean (0 here) and no Nyquist term
  for (int t = 0; t < n; ++t) ASSERT_NEAR(out[t], 0.0, 1e-5) << t;
}

// ------------------------------------------------------- shift of origin

TEST(FftShift, WholePointsMultiplyByAUnitPhaseAndKeepTheModulus) {
  const int n = 128;
  const std::vector<double> y = peak(n, 40.0, 5.0);
  fft_4 f;
  f.forward(make_vec(y), 0);
  const int m = n / 2;
  for (int p : {0, 1, 3, -7, 64}) {
    f.shift(p);
    ASSERT_EQ(f.shifted_re.count(), m);
    ASSERT_EQ(f.modulus.count(), m);
    for (int j = 0; j < m; ++j) {
      const double before = std::hypot(static_cast<double>(f.re[j]), static_cast<double>(f.im[j]));
      const double after = std::hypot(static_cast<double>(f.shifted_re[j]), static_cast<double>(f.shifted_im[j]));
      ASSERT_NEAR(after, before, 1e-5 * (before + 1)) << "p=" << p << " j=" << j;
      ASSERT_NEAR(f.modulus[j], before, 1e-5 * (before + 1)) << "p=" << p << " j=" << j;
      // The phase factor is exp(i 2 pi j p / N).
      const double a = 2.0 * std::numbers::pi * j * p / n;
      const std::complex<double> expected = std::complex<double>(f.re[j], f.im[j]) * std::polar(1.0, a);
      ASSERT_NEAR(f.shifted_re[j], expected.real(), 1e-5 * (before + 1));
      ASSERT_NEAR(f.shifted_im[j], expected.imag(), 1e-5 * (before + 1));
    }
  }
}

TEST(FftShift, ShiftingByPPointsIsTheTransformOfTheProfileDelayedByP) {
  const int n = 256;
  const int p = 9;
  const std::vector<double> y = peak(n, 60.0, 4.0);
  std::vector<double> delayed(n);
  for (int t = 0; t < n; ++t) delayed[static_cast<std::size_t>(t)] = y[static_cast<std::size_t>((t - p + n) % n)];
  fft_4 a;
  fft_4 b;
  a.forward(make_vec(y), 0);
  a.shift(p);
  b.forward(make_vec(delayed), 0);
  EXPECT_NEAR(a.shifted_re[0], b.re[0], 1e-4);
  for (int j = 1; j < n / 2; ++j) {
    ASSERT_NEAR(a.shifted_re[j], b.re[j], 1e-4) << j;
    ASSERT_NEAR(a.shifted_im[j], b.im[j], 1e-4) << j;
  }
}

// ---------------------------------------------------------------- axes

TEST(FftAxes, FrequencyAxisAndOriginInXUnits) {
  fft_5 f;
  const int cnt = 100;
  const x1_xd_x2_3 input(20.0, 0.02, cnt);
  EXPECT_DOUBLE_EQ(input.x2, 20.0 + 99 * 0.02);
  f.forward(make_vec(peak(cnt, 50.0, 3.0)), 1);  // N = 256, M = 128
  f.set_frequency_axis(input);
  EXPECT_EQ(f.input_axis.n, cnt);
  EXPECT_DOUBLE_EQ(f.input_axis.x1, 20.0);
  EXPECT_EQ(f.frequency_axis.n, 128);
  EXPECT_DOUBLE_EQ(f.frequency_axis.x1, 0.0);
  EXPECT_DOUBLE_EQ(f.frequency_axis.xd, 1.0 / (2.0 * 128 * 0.02));
  EXPECT_DOUBLE_EQ(f.frequency_axis.x2, 127 * f.frequency_axis.xd);

  // The origin at the peak's centre: p = (x1 - x0) / dx = -50 points.
  f.shift_origin(20.0 + 50 * 0.02);
  fft_4 g;
  g.forward(make_vec(peak(cnt, 50.0, 3.0)), 1);
  g.shift(-50.0);
  for (int j = 0; j < 128; ++j) {
    ASSERT_NEAR(f.shifted_re[j], g.shifted_re[j], 1e-4) << j;
    ASSERT_NEAR(f.shifted_im[j], g.shifted_im[j], 1e-4) << j;
  }
  // A symmetric peak referred to its centre has (nearly) no imaginary part.
  for (int j = 1; j < 20; ++j) ASSERT_NEAR(f.shifted_im[j], 0.0, 1e-3 * std::fabs(f.shifted_re[0])) << j;
}

TEST(FftAxes, InverseAtAFrequencyCutsAtFloorOfFOverXd) {
  const int n = 64;
  std::vector<double> y(n);
  for (int t = 0; t < n; ++t)
    y[static_cast<std::size_t>(t)] =
        std::cos(2 * std::numbers::pi * 2 * t / n) + std::cos(2 * std::numbers::pi * 6 * t / n);
  fft_5 f;
  f.forward(make_vec(y), 0);
  f.set_frequency_axis(x1_xd_x2_3(0.0, 0.5, n));  // xd of the frequency axis: 1 / (64 * 0.5)
  const double xd = f.frequency_axis.xd;
  f.inverse_at(5.9 * xd);  // kc = 5: frequency 6 is cut off
  for (int t = 0; t < n; ++t) ASSERT_NEAR(f.inv[t], std::cos(2 * std::numbers::pi * 2 * t / n), 1e-5) << t;
  f.inverse_at(6.0 * xd + 1e-12);  // kc = 6: all of it
  for (int t = 0; t < n; ++t) ASSERT_NEAR(f.inv[t], y[static_cast<std::size_t>(t)], 1e-5) << t;
}

// ------------------------------------------------------------ quotient

namespace {

// An fft_5 ready for the quotient: transformed, axes set, origin at x0.
fft_5 prepared(const std::vector<double>& y, double x1, double dx, double x0, int doubling = 0) {
  fft_5 f;
  f.forward(make_vec(y), doubling);
  f.set_frequency_axis(x1_xd_x2_3(x1, dx, static_cast<int>(y.size())));
  f.shift_origin(x0);
  return f;
}

}  // namespace

TEST(FftQuotient, ATransformDividedByItselfIsOne) {
  const fft_5 obs = prepared(peak(64, 30.0, 2.0), 10.0, 0.05, 10.0 + 30 * 0.05);
  fft_5 q = obs;
  q.quotient(obs, 1e9);  // lowered to the last frequency
  const int m = q.frequency_count();
  ASSERT_EQ(q.quotient_re.count(), m);
  for (int i = 0; i < m; ++i) {
    const double a = obs.shifted_re[i];
    const double b = obs.shifted_im[i];
    if (a * a + b * b < 1e-6) continue;  // guarded (or nearly) there
    ASSERT_NEAR(q.quotient_re[i], 1.0, 1e-4) << i;
    ASSERT_NEAR(q.quotient_im[i], 0.0, 1e-4) << i;
    ASSERT_NEAR(q.quotient_mod[i], 1.0, 1e-4) << i;
  }
}

TEST(FftQuotient, VanishingReferenceGivesTheGuardValueNotAnInfinity) {
  const fft_5 obs = prepared(peak(32, 10.0, 2.0), 0.0, 0.1, 1.0);
  const fft_5 ref = prepared(std::vector<double>(32, 0.0), 0.0, 0.1, 1.0);  // transform all zero
  fft_5 q = obs;
  const double f = 5 * q.frequency_axis.xd;
  q.quotient(ref, f);
  for (int i = 0; i < q.frequency_count(); ++i) {
    if (i <= 5) {
      ASSERT_EQ(q.quotient_re[i], -1000.0f) << i;
      ASSERT_EQ(q.quotient_im[i], -1000.0f) << i;
      ASSERT_NEAR(q.quotient_mod[i], 1414.2135, 1e-3) << i;
    } else {
      ASSERT_EQ(q.quotient_re[i], 0.0f) << i;  // above the limit
      ASSERT_EQ(q.quotient_im[i], 0.0f) << i;
      ASSERT_EQ(q.quotient_mod[i], 0.0f) << i;
    }
  }
}

TEST(FftQuotient, NegativeLimitLeavesTheQuotientAllZeros) {
  const fft_5 obs = prepared(peak(32, 10.0, 2.0), 0.0, 0.1, 1.0);
  fft_5 q = obs;
  q.quotient(obs, -0.001);
  ASSERT_EQ(q.quotient_re.count(), q.frequency_count());
  for (int i = 0; i < q.frequency_count(); ++i) {
    ASSERT_EQ(q.quotient_re[i], 0.0f);
    ASSERT_EQ(q.quotient_im[i], 0.0f);
    ASSERT_EQ(q.quotient_mod[i], 0.0f);
  }
}

TEST(FftQuotient, ReferenceIsReadBySplineAtTheObservedFrequencies) {
  // The observed transform has twice the frequency points of the reference
  // (doubling 1): its frequencies fall on and between the reference's.
  const double dx = 0.05;
  const fft_5 obs = prepared(peak(64, 32.0, 3.0), 0.0, dx, 32 * dx, 1);
  const fft_5 ref = prepared(peak(64, 32.0, 1.5), 0.0, dx, 32 * dx, 0);
  ASSERT_EQ(obs.frequency_count(), 2 * ref.frequency_count());
  fft_5 q = obs;
  const double f = ref.frequency_axis.x2 * 0.5;
  q.quotient(ref, f);
  const int m = static_cast<int>(std::floor(f / q.frequency_axis.xd));
  for (int i = 0; i <= m; i += 2) {  // on the reference's points the spline is the reference
    const std::complex<double> a(obs.shifted_re[i], obs.shifted_im[i]);
    const std::complex<double> r(ref.shifted_re[i / 2], ref.shifted_im[i / 2]);
    const std::complex<double> expected = a / r;
    ASSERT_NEAR(q.quotient_re[i], expected.real(), 1e-4 * std::abs(expected) + 1e-5) << i;
    ASSERT_NEAR(q.quotient_im[i], expected.imag(), 1e-4 * std::abs(expected) + 1e-5) << i;
  }
  for (int i = m + 1; i < q.frequency_count(); ++i) ASSERT_EQ(q.quotient_re[i], 0.0f) << i;
}

TEST(FftDeconvolution, ProfileIsTheInverseOfTheQuotientWithItsHalvesExchanged) {
  const double dx = 0.1;
  const fft_5 obs = prepared(peak(64, 20.0, 3.0), 0.0, dx, 20 * dx);
  const fft_5 ref = prepared(peak(64, 20.0, 1.0), 0.0, dx, 20 * dx);
  fft_5 q = obs;
  q.quotient(ref, ref.frequency_axis.x2 / 4);
  q.deconvolute();
  float_vec plain;
  fft_3::inverse(q.quotient_re, q.quotient_im, plain, q.quotient_re.count());
  const int length = plain.count();
  ASSERT_EQ(q.profile.count(), length);
  ASSERT_EQ(length, 64);
  for (int i = 0; i < length; ++i) ASSERT_EQ(q.profile[i], plain[(i + length / 2) % length]) << i;
  // The deconvoluted peak sits in the middle.
  int top = 0;
  for (int i = 0; i < length; ++i)
    if (q.profile[i] > q.profile[top]) top = i;
  EXPECT_NEAR(top, length / 2, 1);
}
