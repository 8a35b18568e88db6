// The fast transform against a plain, literal transcription of the radix-2
// transform: the same floats, bit for bit, for a range of lengths and inputs,
// forward and backward, on every implementation path this processor has.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <utility>
#include <vector>

#include "numerics/fft_kernel.h"

namespace {

// ----------------------------------------------------------------------
// Literal form, 1-based array d[1 .. 2nn] / d[1 .. n], exactly as the
// textbook reads (Numerical Recipes' four1 and realft with float data and
// double twiddles; tempr, tempi and h1r .. h2i are floats).
// ----------------------------------------------------------------------
void literal_complex(float* d, int nn, int isign) {
  const int n = nn << 1;
  int j = 1;
  for (int i = 1; i < n; i += 2) {
    if (j > i) {
      std::swap(d[j], d[i]);
      std::swap(d[j + 1], d[i + 1]);
    }
    int m = nn;
    while (m >= 2 && j > m) {
      j -= m;
      m >>= 1;
    }
    j += m;
  }
  int mmax = 2;
  while (n > mmax) {
    const int istep = mmax << 1;
    const double theta = isign * (6.28318530717959 / mmax);
    double wtemp = std::sin(0.5 * theta);
    const double wpr = -2.0 * wtemp * wtemp;
    const double wpi = std::sin(theta);
    double wr = 1.0;
    double wi = 0.0;
    for (int m = 1; m < mmax; m += 2) {
      for (int i = m; i <= n; i += istep) {
        const int jj = i + mmax;
        const float tempr = wr * d[jj] - wi * d[jj + 1];
        const float tempi = wr * d[jj + 1] + wi * d[jj];
        d[jj] = d[i] - tempr;
        d[jj + 1] = d[i + 1] - tempi;
        d[i] += tempr;
        d[i + 1] += tempi;
      }
      wr = (wtemp = wr) * wpr - wi * wpi + wr;
      wi = wi * wpr + wtemp * wpi + wi;
    }
    mmax = istep;
  }
}
void literal_real(float* d, int n, int isign) {
  const float c1 = 0.5f;
  float c2;
  double theta = 3.141592653589793 / static_cast<double>(n >> 1);
  if (isign == 1) {
    c2 = -0.5f;
    literal_complex(d, n >> 1, 1);
  } else {
    c2 = 0.5f;
    theta = -theta;
  }
  double wtemp = std::sin(0.5 * theta);
  const double wpr = -2.0 * wtemp * wtemp;
  const double wpi = std::sin(theta);
  double wr = 1.0 + wpr;
  double wi = wpi;
  const int np3 = n + 3;
  for (int i = 2; i <= (n >> 2); ++i) {
    const int i1 = i + i - 1, i2 = 1 + i1, i3 = np3 - i2, i4 = 1 + i3;
    const float h1r = c1 * (d[i1] + d[i3]);
    const float h1i = c1 * (d[i2] - d[i4]);
    const float h2r = -c2 * (d[i2] + d[i4]);
    const float h2i = c2 * (d[i1] - d[i3]);
    d[i1] = h1r + wr * h2r - wi * h2i;
    d[i2] = h1i + wr * h2i + wi * h2r;
    d[i3] = h1r - wr * h2r + wi * h2i;
    d[i4] = -h1i + wr * h2i + wi * h2r;
    wr = (wtemp = wr) * wpr - wi * wpi + wr;
    wi = wi * wpr + wtemp * wpi + wi;
  }
  if (isign == 1) {
    const float h1r = d[1];
    d[1] = h1r + d[2];
    d[2] = h1r - d[2];
  } else {
    const float h1r = d[1];
    d[1] = c1 * (h1r + d[2]);
    d[2] = c1 * (h1r - d[2]);
    literal_complex(d, n >> 1, -1);
  }
}

// ----------------------------------------------------------------------

std::vector<float> make_input(int n, int kind, std::mt19937& rng) {
  std::vector<float> v(static_cast<std::size_t>(n), 0.0f);
  std::uniform_real_distribution<float> u(-1.0f, 1.0f);
  std::uniform_int_distribution<int> e(-60, 60);
  switch (kind) {
    case 0:  // uniform noise
      for (float& x : v) x = u(rng);
      break;
    case 1:  // wide dynamic range
      for (float& x : v) x = std::ldexp(u(rng), e(rng));
      break;
    case 2:  // an impulse somewhere
      v[static_cast<std::size_t>(n / 3)] = 1.0f;
      break;
    case 3:  // constant
      for (float& x : v) x = 1.0f;
      break;
    case 4:  // signed zeros and tiny (subnormal-range) values
      for (std::size_t i = 0; i < v.size(); ++i) v[i] = (i % 3 == 0) ? -0.0f : std::ldexp(u(rng), -135);
      break;
    case 5:  // infinities of both signs among noise: the butterflies whose
             // twiddle is (1, 0) must still give inf - inf and 0 * inf
      for (float& x : v) x = u(rng);
      v[0] = std::numeric_limits<float>::infinity();
      v[static_cast<std::size_t>(n / 2)] = -std::numeric_limits<float>::infinity();
      v[static_cast<std::size_t>(n - 1)] = std::numeric_limits<float>::infinity();
      break;
    default:  // a smooth peak, like a line profile
      for (int i = 0; i < n; ++i) {
        const double t = (i - n * 0.4) / (n * 0.05 + 1);
        v[static_cast<std::size_t>(i)] = static_cast<float>(1000.0 * std::exp(-t * t) + 3.0);
      }
  }
  return v;
}

// Bit for bit, except that any NaN matches any NaN: which of two NaN operands
// an operation passes on, and so the sign of the NaN, follows the operand
// order the compiler picks for the literal form.
bool same_bits(const float* a, const float* b, int n) {
  for (int i = 0; i < n; ++i) {
    if (std::isnan(a[i]) && std::isnan(b[i])) continue;
    if (std::memcmp(a + i, b + i, sizeof(float)) != 0) return false;
  }
  return true;
}

// The literal real transform of `input` zero-padded to n, indexed from 0.
std::vector<float> literal_real_of(const std::vector<float>& input, int n, int isign) {
  std::vector<float> d(static_cast<std::size_t>(n) + 1, 0.0f);
  std::copy(input.begin(), input.end(), d.begin() + 1);
  literal_real(d.data(), n, isign);
  return std::vector<float>(d.begin() + 1, d.end());
}

std::vector<fft_kernel::path> paths() {
  std::vector<fft_kernel::path> p{fft_kernel::path::portable};
  if (fft_kernel::avx2_supported()) p.push_back(fft_kernel::path::avx2);
  if (fft_kernel::avx512_supported()) p.push_back(fft_kernel::path::avx512);
  return p;
}

struct path_guard {
  explicit path_guard(fft_kernel::path p) { fft_kernel::set_path(p); }
  ~path_guard() { fft_kernel::set_path(fft_kernel::path::automatic); }
};

void check_real(int isign) {
  std::mt19937 rng(2024 + isign);
  for (fft_kernel::path p : paths()) {
    path_guard guard(p);
    for (int n = 2; n <= (1 << 18); n <<= 1) {
      for (int kind = 0; kind < (n < (1 << 18) ? 7 : 1); ++kind) {  // the largest benchmarked length: noise only
        std::vector<float> fast = make_input(n, kind, rng);
        const std::vector<float> literal = literal_real_of(fast, n, isign);
        fft_kernel::real_transform(fast.data(), n, isign);
        ASSERT_TRUE(same_bits(literal.data(), fast.data(), n))
            << "n=" << n << " kind=" << kind << " sign=" << isign << " path=" << static_cast<int>(p);
      }
    }
  }
}

}  // namespace

TEST(FftBitExact, EveryRequestedPathIsServed) {
  for (fft_kernel::path p : paths()) {
    path_guard guard(p);
    EXPECT_EQ(fft_kernel::active_path(), p);
  }
  {
    path_guard guard(fft_kernel::path::automatic);
    EXPECT_NE(fft_kernel::active_path(), fft_kernel::path::automatic);
    EXPECT_EQ(fft_kernel::active_path(), paths().back());  // the widest
  }
}

TEST(FftBitExact, ForwardRealTransformGivesTheLiteralFloats) { check_real(1); }

TEST(FftBitExact, BackwardRealTransformGivesTheLiteralFloats) { check_real(-1); }

TEST(FftBitExact, ComplexTransformGivesTheLiteralFloatsBothSigns) {
  std::mt19937 rng(7);
  for (fft_kernel::path p : paths()) {
    path_guard guard(p);
    for (int isign : {1, -1}) {
      for (int nn = 1; nn <= (1 << 16); nn <<= 1) {
        for (int kind : {0, 1, 5, 6}) {
          const std::vector<float> input = make_input(2 * nn, kind, rng);
          std::vector<float> literal(2 * static_cast<std::size_t>(nn) + 1);
          std::copy(input.begin(), input.end(), literal.begin() + 1);
          std::vector<float> fast = input;
          literal_complex(literal.data(), nn, isign);
          fft_kernel::complex_transform(fast.data(), nn, isign);
          ASSERT_TRUE(same_bits(literal.data() + 1, fast.data(), 2 * nn))
              << "nn=" << nn << " kind=" << kind << " sign=" << isign << " path=" << static_cast<int>(p);
        }
      }
    }
  }
}

TEST(FftBitExact, RepeatedCallsAndInterleavedLengthsGiveTheSameFloats) {
  // The tables and the scratch space are kept between calls: a long transform
  // after a short one and the other way round must not change anything.
  std::mt19937 rng(5);
  for (int n : {64, 1 << 15, 256, 1 << 12, 8}) {
    const std::vector<float> input = make_input(n, 0, rng);
    const std::vector<float> literal = literal_real_of(input, n, 1);
    for (int repeat = 0; repeat < 2; ++repeat) {
      std::vector<float> fast = input;
      fft_kernel::real_transform(fast.data(), n, 1);
      ASSERT_TRUE(same_bits(literal.data(), fast.data(), n)) << "n=" << n;
    }
  }
}

TEST(FftBitExact, ForwardOfAShortInputGivesTheLiteralFloatsOfItsZeroPaddedArray) {
  // The transform reads only the samples it is given and writes the spectrum
  // as two arrays: the padding, the split and the layout must not change a bit.
  std::mt19937 rng(31);
  for (fft_kernel::path p : paths()) {
    path_guard guard(p);
    for (int n = 2; n <= (1 << 17); n <<= 1) {
      for (int count : {1, n / 4 + 3, n / 2 - 1, n - 5, n}) {
        if (count < 1 || count > n) continue;
        const std::vector<float> input = make_input(count, n % 3 == 0 ? 1 : 6, rng);
        const std::vector<float> literal = literal_real_of(input, n, 1);
        std::vector<float> re(static_cast<std::size_t>(n / 2)), im(static_cast<std::size_t>(n / 2));
        fft_kernel::real_forward(input.data(), count, n, re.data(), im.data());
        for (std::size_t j = 0; j < re.size(); ++j) {
          ASSERT_TRUE(same_bits(&literal[2 * j], &re[j], 1) && same_bits(&literal[2 * j + 1], &im[j], 1))
              << "n=" << n << " count=" << count << " j=" << j << " path=" << static_cast<int>(p);
        }
      }
    }
  }
}

TEST(FftBitExact, BackwardOfTheKeptFrequenciesGivesTheLiteralFloatsScaled) {
  // The inverse with a cut-off: the literal transform of the packed array with
  // the frequencies from `kept` on set to 0, each result times 2/n in double.
  std::mt19937 rng(47);
  for (fft_kernel::path p : paths()) {
    path_guard guard(p);
    for (int n = 2; n <= (1 << 17); n <<= 1) {
      const int nn = n / 2;
      for (int kept : {0, 1, nn / 3, nn - 1, nn}) {
        const std::vector<float> spectrum = make_input(n, 0, rng);
        std::vector<float> re, im, packed(spectrum.size(), 0.0f);
        for (std::size_t j = 0; j < spectrum.size(); j += 2) {
          re.push_back(spectrum[j]);
          im.push_back(spectrum[j + 1]);
          if (j < 2 * static_cast<std::size_t>(kept)) std::copy_n(&spectrum[j], 2, &packed[j]);
        }
        const double scale = 2.0 / n;
        std::vector<float> expected = literal_real_of(packed, n, -1), out(expected.size());
        for (float& x : expected) x = static_cast<float>(x * scale);
        fft_kernel::real_backward(re.data(), im.data(), kept, n, scale, out.data());
        ASSERT_TRUE(same_bits(expected.data(), out.data(), n))
            << "n=" << n << " kept=" << kept << " path=" << static_cast<int>(p);
      }
    }
  }
}
