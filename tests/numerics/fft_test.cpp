// The Fourier family: fft_3 (forward, inverse with cut-off), fft_4 (shift of
// origin, modulus) and fft_5 (axes, quotient, deconvoluted profile).
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <random>
#include <vector>

#include "numerics/fft_5.h"

namespace {

float_vec make_vec(const std::vector<double>& values, int base = 0) {
  float_vec v;
  v.allocate(static_cast<int>(values.size()));
  v.rebase(base);
  for (std::size_t i = 0; i < values.size(); ++i) v.data()[i] = static_cast<float>(values[i]);
  return v;
}

template <class F>
std::vector<double> sampled(int n, F f) {
  std::vector<double> y;
  for (int t = 0; t < n; ++t) y.push_back(f(t));
  return y;
}

std::vector<double> peak(int n, double centre, double width) {
  return sampled(n, [&](int i) { return std::exp(-std::pow((i - centre) / width, 2)); });
}

// Naive DFT in double, positive exponent: F(j) = sum_t y(t) exp(+2 pi i j t / N).
std::complex<double> naive_dft(const std::vector<double>& y, int n, int j) {
  std::complex<double> sum = 0.0;
  for (std::size_t t = 0; t < y.size(); ++t) sum += y[t] * std::polar(1.0, 2.0 * std::numbers::pi * j * double(t) / n);
  return sum;
}

}  // namespace

TEST(FftLength, SmallestPowerOfTwoTimesTheDoubling) {
  // {cnt, doubling, N}; a negative exponent counts as 0.
  const int rows[][3] = {{5, 0, 8}, {5, 2, 32}, {1, 0, 2},       {2, 0, 2},      {0, 0, 2},
                         {3, 0, 4}, {5, -3, 8}, {1024, 0, 1024}, {1025, 1, 4096}};
  for (auto r : rows) EXPECT_EQ(fft_3::transform_length(r[0], r[1]), r[2]) << r[0] << " " << r[1];
}

TEST(FftForwardAndInverse, MatchNaiveDftAndGiveTheZeroPaddedInputBack) {
  for (int cnt : {1, 2, 3, 5, 13, 37, 100, 256, 1000}) {
    for (int doubling : {0, 1, 2, 3}) {
      std::mt19937 rng(cnt * 10 + doubling);
      std::uniform_real_distribution<float> u(-1.0f, 1.0f);  // values representable as float
      const std::vector<double> y = sampled(cnt, [&](int) { return u(rng); });
      fft_3 f;
      f.forward(make_vec(y, doubling == 1 ? 5 : 0), doubling);  // read from the first element, whatever its index
      const int n = fft_3::transform_length(cnt, doubling), m = n / 2;
      ASSERT_EQ(f.re.count(), m);
      double rms = 0.0;
      for (double x : y) rms += x * x / cnt;
      const double tol = 1e-5 * std::sqrt(double(n)) * std::log2(n + 1.0) * std::sqrt(rms);
      // re[0] = F(0); im[0] = F(N/2), a real value.
      EXPECT_NEAR(f.re[0], naive_dft(y, n, 0).real(), tol) << "cnt=" << cnt << " k=" << doubling;
      EXPECT_NEAR(f.im[0], naive_dft(y, n, m).real(), tol) << "cnt=" << cnt << " k=" << doubling;
      for (int j = 1; j < m; ++j) {
        const std::complex<double> expected = naive_dft(y, n, j);
        ASSERT_NEAR(f.re[j], expected.real(), tol) << "cnt=" << cnt << " k=" << doubling << " j=" << j;
        ASSERT_NEAR(f.im[j], expected.imag(), tol) << "cnt=" << cnt << " k=" << doubling << " j=" << j;
      }
      f.inverse(m);
      ASSERT_EQ(f.inv.count(), n);
      EXPECT_EQ(f.inv.base(), 0);
      for (int t = 0; t < n; ++t)
        ASSERT_NEAR(f.inv[t], t < cnt ? y[t] : 0.0, 1e-5 * std::log2(n))
            << "inverse, cnt=" << cnt << " k=" << doubling << " t=" << t;
    }
  }
}

TEST(FftInverse, CutOffKeepsTheFrequenciesUpToItAndNegativeKeepsNothing) {
  const int n = 64;
  auto low = sampled(n, [&](int t) { return std::cos(2 * std::numbers::pi * 3 * t / n); }),
       none = sampled(n, [](int) { return 0.0; });
  auto y = sampled(n, [&](int t) { return low[t] + 0.5 * std::cos(2 * std::numbers::pi * 10 * t / n); });
  auto expect = [&](const float_vec& v, const std::vector<double>& e, const char* what) {
    ASSERT_EQ(v.count(), n) << what;
    for (int t = 0; t < n; ++t) ASSERT_NEAR(v[t], e[t], 1e-5) << what << " t=" << t;
  };
  fft_5 f;
  f.forward(make_vec(y), 0);
  f.inverse(5);
  expect(f.inv, low, "kc 5 cuts frequency 10 off");
  f.inverse(-1);
  expect(f.inv, none, "a negative kc keeps nothing");
  float_vec out;  // the static form writes into any vector
  fft_3::inverse(f.re, f.im, out, 0);
  expect(out, none, "kc 0 keeps the mean (0 here) and no Nyquist term");
  f.set_frequency_axis(x1_xd_x2_3(20.0, 0.5, n));  // x1 = 0, n = M, xd = 1 / (2 M dx), x2 = (M - 1) xd
  const x1_xd_x2_3& axis = f.frequency_axis;
  EXPECT_EQ(std::tuple(axis.n, axis.x1, axis.xd, axis.x2), std::tuple(32, 0.0, 1.0 / 32, 31.0 / 32));
  const double xd = axis.xd;
  f.inverse_at(9.9 * xd);
  expect(f.inv, low, "at 9.9 xd the cut is floor(f / xd) = 9");
  f.inverse_at(10.0 * xd + 1e-12);
  expect(f.inv, y, "at 10 xd frequency 10 stays");
}

// Moving the origin by p points multiplies by exp(i 2 pi j p / N): the
// transform of the profile delayed (circularly) by p, with the same modulus.
TEST(FftShift, WholePointsGiveTheTransformOfTheDelayedProfileAndKeepTheModulus) {
  const int n = 128;
  const std::vector<double> y = peak(n, 40.0, 5.0);
  fft_4 f;
  f.forward(make_vec(y), 0);
  for (int p : {0, 1, 3, -7, 9, 64}) {
    fft_4 g;
    g.forward(make_vec(sampled(n, [&](int t) { return y[((t - p) % n + n) % n]; })), 0);
    f.shift(p);
    ASSERT_EQ(f.modulus.count(), n / 2);
    EXPECT_NEAR(f.shifted_re[0], g.re[0], 1e-4) << "p=" << p;
    for (int j = 0; j < n / 2; ++j) {
      const double before = std::hypot(double(f.re[j]), double(f.im[j]));
      ASSERT_NEAR(f.modulus[j], before, 1e-5 * (before + 1)) << "p=" << p << " j=" << j;
      if (j == 0) continue;  // im[0] is the Nyquist value
      ASSERT_NEAR(f.shifted_re[j], g.re[j], 1e-4) << "p=" << p << " j=" << j;
      ASSERT_NEAR(f.shifted_im[j], g.im[j], 1e-4) << "p=" << p << " j=" << j;
    }
  }
}

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

TEST(FftQuotient, AVanishingReferenceGivesTheGuardUpToTheLimitAndZeroBeyond) {
  const fft_5 obs = prepared(peak(32, 10.0, 2.0), 0.0, 0.1, 1.0);
  const fft_5 zero = prepared(std::vector<double>(32, 0.0), 0.0, 0.1, 1.0);
  for (int last : {5, -1}) {  // -1: a negative limit leaves every value 0
    fft_5 q = obs;
    q.quotient(zero, last >= 0 ? last * q.frequency_axis.xd : -0.001);
    ASSERT_EQ(q.quotient_re.count(), q.frequency_count());
    for (int i = 0; i < q.frequency_count(); ++i) {
      const float guard = i <= last ? -1000.0f : 0.0f;
      ASSERT_EQ(q.quotient_re[i], guard) << "limit " << last << " frequency " << i;
      ASSERT_EQ(q.quotient_im[i], guard) << "limit " << last << " frequency " << i;
      ASSERT_NEAR(q.quotient_mod[i], i <= last ? 1414.2135 : 0.0, 1e-3) << "limit " << last << " frequency " << i;
    }
  }
}

TEST(FftQuotient, ReferenceIsReadBySplineAtTheObservedFrequenciesUpToTheLimit) {
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
    const std::complex<double> expected = std::complex<double>(obs.shifted_re[i], obs.shifted_im[i]) /
                                          std::complex<double>(ref.shifted_re[i / 2], ref.shifted_im[i / 2]);
    ASSERT_NEAR(q.quotient_re[i], expected.real(), 1e-4 * std::abs(expected) + 1e-5) << i;
    ASSERT_NEAR(q.quotient_im[i], expected.imag(), 1e-4 * std::abs(expected) + 1e-5) << i;
  }
  for (int i = m + 1; i < q.frequency_count(); ++i) ASSERT_EQ(q.quotient_re[i], 0.0f) << i;
  q.quotient(obs, 1e9);  // lowered to the last frequency
  for (int i = 0; i < q.frequency_count(); ++i) {
    if (std::norm(std::complex<double>(obs.shifted_re[i], obs.shifted_im[i])) < 1e-6) continue;  // guarded there
    ASSERT_NEAR(q.quotient_re[i], 1.0, 1e-4) << "divided by itself, " << i;
    ASSERT_NEAR(q.quotient_im[i], 0.0, 1e-4) << "divided by itself, " << i;
    ASSERT_NEAR(q.quotient_mod[i], 1.0, 1e-4) << "divided by itself, " << i;
  }
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
  ASSERT_EQ(plain.count(), 64);
  ASSERT_EQ(q.profile.count(), 64);
  int top = 0;
  for (int i = 0; i < 64; ++i) {
    ASSERT_EQ(q.profile[i], plain[(i + 32) % 64]) << i;
    if (q.profile[i] > q.profile[top]) top = i;
  }
  EXPECT_NEAR(top, 32, 1) << "the deconvoluted peak sits in the middle";
}
