#include "numerics/fft_kernel.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define XRDF_HAVE_X86 1
#else
#define XRDF_HAVE_X86 0
#endif

// How the fast form relates to the literal one:
//
// 1. The bit reversal is the same permutation, done as a gather (by tiles, for
//    the cache) from the interleaved array into two separate float arrays,
//    real parts and imaginary parts, instead of by exchanges in place.
// 2. The butterflies of one pass touch disjoint pairs, and the only thing that
//    varies along a pass is the twiddle factor, which for the butterfly at
//    offset k within its group is the value the recurrence reaches after k
//    steps. Those values are computed once per pass size and sign, by the same
//    recurrence in the same double arithmetic, and kept in tables (so they are
//    the same doubles). The butterflies then run in another order (groups
//    outer, offsets inner; the first passes block by block so that the data
//    stays in the cache; two passes per sweep where the points are in
//    registers anyway) and 4, 8 or 16 at a time in vector registers. Every
//    butterfly does exactly the literal form's operations on the same values:
//    double products and sums rounded once to float (tr, ti), then float
//    additions and subtractions. Vector instructions round each operation as
//    the scalar ones do, and the build forbids fused multiply-add contraction,
//    so the results are the same floats.
// 3. The real transform's split loop likewise reads its twiddles from a table
//    filled by its own recurrence; forward, it reads the complex result from
//    the split arrays and writes the packed array.
// tests/numerics/fft_bitexact_test.cpp holds the literal form and checks
// every path against it, bit for bit.

namespace fft_kernel {
namespace {

// ---------------------------------------------------------------- tables --

// Twiddles of the complex passes for one sign. The pass whose butterflies span
// h complex points (mmax = 2h floats in the literal form) has h twiddles, kept
// at indices h .. 2h-1: wr[h + k], wi[h + k] is the value after k steps.
struct pass_tables {
  std::vector<double> wr, wi;
  int filled = 1;  // passes with h < filled are in the tables
};

// Twiddles of the real transform's split loop for one sign and length n:
// wr[k], wi[k] for k = 1 .. n/4 - 1 (k = i - 1 in the literal split loop).
struct split_table {
  std::vector<double> wr, wi;
  bool ready = false;
};

struct workspace {
  pass_tables passes[2];        // [0] forward, [1] backward
  split_table split[2][32];     // by sign and log2(n)
  std::vector<float> re, im;    // split complex data between the passes
};

// One per thread: the transforms keep no other state.
thread_local workspace ws;

const pass_tables& tables_for(int nn, int isign) {
  pass_tables& t = ws.passes[isign > 0 ? 0 : 1];
  if (t.filled >= nn) return t;
  t.wr.resize(static_cast<std::size_t>(nn));
  t.wi.resize(static_cast<std::size_t>(nn));
  for (int h = t.filled; h < nn; h <<= 1) {
    const int mmax = 2 * h;
    // The literal pass set-up and recurrence.
    const double theta = isign * (6.28318530717959 / mmax);
    double wtemp = std::sin(0.5 * theta);
    const double wpr = -2.0 * wtemp * wtemp;
    const double wpi = std::sin(theta);
    double wr = 1.0, wi = 0.0;
    for (int k = 0; k < h; ++k) {
      t.wr[static_cast<std::size_t>(h + k)] = wr;
      t.wi[static_cast<std::size_t>(h + k)] = wi;
      wr = (wtemp = wr) * wpr - wi * wpi + wr;
      wi = wi * wpr + wtemp * wpi + wi;
    }
  }
  t.filled = nn;
  return t;
}

int log2_of(int n) {
  int k = 0;
  while ((1 << k) < n) ++k;
  return k;
}

const split_table& split_for(int n, int isign) {
  split_table& t = ws.split[isign > 0 ? 0 : 1][log2_of(n)];
  if (t.ready) return t;
  double theta = 3.141592653589793 / static_cast<double>(n >> 1);
  if (isign != 1) theta = -theta;
  double wtemp = std::sin(0.5 * theta);
  const double wpr = -2.0 * wtemp * wtemp;
  const double wpi = std::sin(theta);
  double wr = 1.0 + wpr;
  double wi = wpi;
  const int quarter = n >> 2;
  t.wr.assign(static_cast<std::size_t>(quarter > 1 ? quarter : 1), 0.0);
  t.wi.assign(t.wr.size(), 0.0);
  for (int i = 2; i <= quarter; ++i) {
    t.wr[static_cast<std::size_t>(i - 1)] = wr;
    t.wi[static_cast<std::size_t>(i - 1)] = wi;
    wr = (wtemp = wr) * wpr - wi * wpi + wr;
    wi = wi * wpr + wtemp * wpi + wi;
  }
  t.ready = true;
  return t;
}

// ------------------------------------------------------- bit reversal --

// rev(k + 1) from r = rev(k) for an index of `bits` bits (top = 2^(bits-1)):
// add one at the top bit, carrying downwards.
inline int next_reversed(int r, int top) {
  int m = top;
  while (m > 0 && (r & m)) {
    r ^= m;
    m >>= 1;
  }
  return r | m;
}

// re[k], im[k] = complex point rev(k) of the interleaved array a: the
// exchanges of the literal form, done as one gather.
void gather_reversed(const float* a, float* re, float* im, int nn) {
  if (nn < 128) {
    int r = 0;
    for (int k = 0; k < nn; ++k) {
      re[k] = a[2 * r];
      im[k] = a[2 * r + 1];
      r = next_reversed(r, nn >> 1);
    }
    return;
  }
  // By tiles of 16 x 8 points, so that every cache line is read once and
  // written whole: with k = t * nn/8 + m * 16 + c (t < 8, c < 16),
  // rev(k) = rev4(c) * nn/16 + rev(m) * 8 + rev3(t). The eight points t of
  // one c are contiguous in the source.
  static constexpr int rev3[8] = {0, 4, 2, 6, 1, 5, 3, 7};
  static constexpr int rev4[16] = {0, 8, 4, 12, 2, 10, 6, 14, 1, 9, 5, 13, 3, 11, 7, 15};
  const int eighth = nn >> 3;
  const int sixteenth = nn >> 4;
  const int tiles = nn >> 7;
  float tile_re[8][16];
  float tile_im[8][16];
  int rm = 0;
  for (int m = 0; m < tiles; ++m) {
    for (int c = 0; c < 16; ++c) {
      const float* src = a + 2 * (rev4[c] * sixteenth + rm * 8);
      for (int t = 0; t < 8; ++t) {
        tile_re[t][c] = src[2 * rev3[t]];
        tile_im[t][c] = src[2 * rev3[t] + 1];
      }
    }
    for (int t = 0; t < 8; ++t) {
      std::memcpy(re + t * eighth + m * 16, tile_re[t], sizeof tile_re[t]);
      std::memcpy(im + t * eighth + m * 16, tile_im[t], sizeof tile_im[t]);
    }
    rm = next_reversed(rm, tiles >> 1);
  }
}

void interleave(const float* re, const float* im, float* a, int nn) {
  for (int k = 0; k < nn; ++k) {
    a[2 * k] = re[k];
    a[2 * k + 1] = im[k];
  }
}

// ------------------------------------------------------ portable passes --

// The passes with h_from <= h < h_to over nn points (groups of 2h).
void passes_portable(float* __restrict xr, float* __restrict xi, int nn, int h_from, int h_to,
                     const double* twr, const double* twi) {
  for (int h = h_from; h < h_to; h <<= 1) {
    const double* wr = twr + h;
    const double* wi = twi + h;
    for (int g = 0; g < nn; g += 2 * h) {
      float* ar = xr + g;
      float* ai = xi + g;
      float* br = ar + h;
      float* bi = ai + h;
      for (int k = 0; k < h; ++k) {
        const float tr = static_cast<float>(wr[k] * br[k] - wi[k] * bi[k]);
        const float ti = static_cast<float>(wr[k] * bi[k] + wi[k] * br[k]);
        br[k] = ar[k] - tr;
        bi[k] = ai[k] - ti;
        ar[k] += tr;
        ai[k] += ti;
      }
    }
  }
}

// Points per cache block: the first passes run block by block.
constexpr int block_points = 2048;

void all_passes_portable(float* xr, float* xi, int nn, const double* twr, const double* twi) {
  const int block = nn < block_points ? nn : block_points;
  for (int b = 0; b < nn; b += block) passes_portable(xr + b, xi + b, block, 1, block, twr, twi);
  passes_portable(xr, xi, nn, block, nn, twr, twi);
}

// ---------------------------------------------------------- AVX2 passes --

#if XRDF_HAVE_X86
#define XRDF_AVX2 __attribute__((target("avx2")))

// Eight butterflies: i-side (ar, ai), j-side (br, bi) as 8 floats each; the
// twiddles of the low and high four lanes in double.
XRDF_AVX2 inline void butterfly8(__m256& ar, __m256& ai, __m256& br, __m256& bi, __m256d wr_lo,
                                 __m256d wi_lo, __m256d wr_hi, __m256d wi_hi) {
  const __m256d br_lo = _mm256_cvtps_pd(_mm256_castps256_ps128(br));
  const __m256d br_hi = _mm256_cvtps_pd(_mm256_extractf128_ps(br, 1));
  const __m256d bi_lo = _mm256_cvtps_pd(_mm256_castps256_ps128(bi));
  const __m256d bi_hi = _mm256_cvtps_pd(_mm256_extractf128_ps(bi, 1));
  // tr = wr * b.re - wi * b.im; ti = wr * b.im + wi * b.re (double, then float)
  const __m128 tr_lo = _mm256_cvtpd_ps(_mm256_sub_pd(_mm256_mul_pd(wr_lo, br_lo), _mm256_mul_pd(wi_lo, bi_lo)));
  const __m128 tr_hi = _mm256_cvtpd_ps(_mm256_sub_pd(_mm256_mul_pd(wr_hi, br_hi), _mm256_mul_pd(wi_hi, bi_hi)));
  const __m128 ti_lo = _mm256_cvtpd_ps(_mm256_add_pd(_mm256_mul_pd(wr_lo, bi_lo), _mm256_mul_pd(wi_lo, br_lo)));
  const __m128 ti_hi = _mm256_cvtpd_ps(_mm256_add_pd(_mm256_mul_pd(wr_hi, bi_hi), _mm256_mul_pd(wi_hi, br_hi)));
  const __m256 tr = _mm256_insertf128_ps(_mm256_castps128_ps256(tr_lo), tr_hi, 1);
  const __m256 ti = _mm256_insertf128_ps(_mm256_castps128_ps256(ti_lo), ti_hi, 1);
  br = _mm256_sub_ps(ar, tr);
  bi = _mm256_sub_ps(ai, ti);
  ar = _mm256_add_ps(ar, tr);
  ai = _mm256_add_ps(ai, ti);
}

// Four butterflies (pass h = 4).
XRDF_AVX2 inline void butterfly4(float* ar_p, float* ai_p, float* br_p, float* bi_p, __m256d wr, __m256d wi) {
  const __m256d br = _mm256_cvtps_pd(_mm_loadu_ps(br_p));
  const __m256d bi = _mm256_cvtps_pd(_mm_loadu_ps(bi_p));
  const __m128 tr = _mm256_cvtpd_ps(_mm256_sub_pd(_mm256_mul_pd(wr, br), _mm256_mul_pd(wi, bi)));
  const __m128 ti = _mm256_cvtpd_ps(_mm256_add_pd(_mm256_mul_pd(wr, bi), _mm256_mul_pd(wi, br)));
  const __m128 ar = _mm_loadu_ps(ar_p);
  const __m128 ai = _mm_loadu_ps(ai_p);
  _mm_storeu_ps(br_p, _mm_sub_ps(ar, tr));
  _mm_storeu_ps(bi_p, _mm_sub_ps(ai, ti));
  _mm_storeu_ps(ar_p, _mm_add_ps(ar, tr));
  _mm_storeu_ps(ai_p, _mm_add_ps(ai, ti));
}

// Pass h = 1 over nn points (nn a multiple of 16): pairs (2t, 2t+1), one twiddle.
XRDF_AVX2 void pass1_avx2(float* xr, float* xi, int nn, const double* twr, const double* twi) {
  const __m256d wr = _mm256_set1_pd(twr[1]);
  const __m256d wi = _mm256_set1_pd(twi[1]);
  for (int p = 0; p < nn; p += 16) {
    const __m256 r0 = _mm256_loadu_ps(xr + p), r1 = _mm256_loadu_ps(xr + p + 8);
    const __m256 i0 = _mm256_loadu_ps(xi + p), i1 = _mm256_loadu_ps(xi + p + 8);
    // Even points (i-side) and odd points (j-side), lane for lane.
    __m256 er = _mm256_shuffle_ps(r0, r1, 0x88), orr = _mm256_shuffle_ps(r0, r1, 0xDD);
    __m256 ei = _mm256_shuffle_ps(i0, i1, 0x88), oi = _mm256_shuffle_ps(i0, i1, 0xDD);
    butterfly8(er, ei, orr, oi, wr, wi, wr, wi);
    _mm256_storeu_ps(xr + p, _mm256_unpacklo_ps(er, orr));
    _mm256_storeu_ps(xr + p + 8, _mm256_unpackhi_ps(er, orr));
    _mm256_storeu_ps(xi + p, _mm256_unpacklo_ps(ei, oi));
    _mm256_storeu_ps(xi + p + 8, _mm256_unpackhi_ps(ei, oi));
  }
}

// Pass h = 2 over nn points (nn a multiple of 16): pairs (4t+e, 4t+e+2).
XRDF_AVX2 void pass2_avx2(float* xr, float* xi, int nn, const double* twr, const double* twi) {
  const __m256d wr = _mm256_setr_pd(twr[2], twr[3], twr[2], twr[3]);
  const __m256d wi = _mm256_setr_pd(twi[2], twi[3], twi[2], twi[3]);
  for (int p = 0; p < nn; p += 16) {
    const __m256d r0 = _mm256_castps_pd(_mm256_loadu_ps(xr + p));
    const __m256d r1 = _mm256_castps_pd(_mm256_loadu_ps(xr + p + 8));
    const __m256d i0 = _mm256_castps_pd(_mm256_loadu_ps(xi + p));
    const __m256d i1 = _mm256_castps_pd(_mm256_loadu_ps(xi + p + 8));
    // Pairs of floats moved as one 64-bit unit: i-side (4t, 4t+1), j-side (4t+2, 4t+3).
    __m256 ar = _mm256_castpd_ps(_mm256_unpacklo_pd(r0, r1));
    __m256 br = _mm256_castpd_ps(_mm256_unpackhi_pd(r0, r1));
    __m256 ai = _mm256_castpd_ps(_mm256_unpacklo_pd(i0, i1));
    __m256 bi = _mm256_castpd_ps(_mm256_unpackhi_pd(i0, i1));
    butterfly8(ar, ai, br, bi, wr, wi, wr, wi);
    _mm256_storeu_ps(xr + p, _mm256_castpd_ps(_mm256_unpacklo_pd(_mm256_castps_pd(ar), _mm256_castps_pd(br))));
    _mm256_storeu_ps(xr + p + 8, _mm256_castpd_ps(_mm256_unpackhi_pd(_mm256_castps_pd(ar), _mm256_castps_pd(br))));
    _mm256_storeu_ps(xi + p, _mm256_castpd_ps(_mm256_unpacklo_pd(_mm256_castps_pd(ai), _mm256_castps_pd(bi))));
    _mm256_storeu_ps(xi + p + 8, _mm256_castpd_ps(_mm256_unpackhi_pd(_mm256_castps_pd(ai), _mm256_castps_pd(bi))));
  }
}

// Loads, runs and stores the eight butterflies at offsets k .. k+7 of the
// i-side arrays (ar, ai) and the j-side arrays (br, bi) with twiddles w + k.
XRDF_AVX2 inline void butterfly8_at(float* arp, float* aip, float* brp, float* bip, const double* wrp,
                                    const double* wip) {
  __m256 ar = _mm256_loadu_ps(arp), ai = _mm256_loadu_ps(aip);
  __m256 br = _mm256_loadu_ps(brp), bi = _mm256_loadu_ps(bip);
  butterfly8(ar, ai, br, bi, _mm256_loadu_pd(wrp), _mm256_loadu_pd(wip), _mm256_loadu_pd(wrp + 4),
             _mm256_loadu_pd(wip + 4));
  _mm256_storeu_ps(arp, ar);
  _mm256_storeu_ps(aip, ai);
  _mm256_storeu_ps(brp, br);
  _mm256_storeu_ps(bip, bi);
}

// Passes h and 2h together (h >= 8): for the four points g+k, g+k+h,
// g+k+2h, g+k+3h the two butterflies of pass h, then the two of pass 2h,
// while the points are in registers. The same butterflies as two separate
// passes, with half the memory traffic.
XRDF_AVX2 void pass_pair_avx2(float* xr, float* xi, int nn, int h, const double* twr, const double* twi) {
  const double* w1r = twr + h;
  const double* w1i = twi + h;
  const double* w2r = twr + 2 * h;
  const double* w2i = twi + 2 * h;
  for (int g = 0; g < nn; g += 4 * h) {
    float* r0 = xr + g;
    float* i0 = xi + g;
    for (int k = 0; k < h; k += 8) {
      __m256 x0r = _mm256_loadu_ps(r0 + k), x0i = _mm256_loadu_ps(i0 + k);
      __m256 x1r = _mm256_loadu_ps(r0 + k + h), x1i = _mm256_loadu_ps(i0 + k + h);
      __m256 x2r = _mm256_loadu_ps(r0 + k + 2 * h), x2i = _mm256_loadu_ps(i0 + k + 2 * h);
      __m256 x3r = _mm256_loadu_ps(r0 + k + 3 * h), x3i = _mm256_loadu_ps(i0 + k + 3 * h);
      const __m256d a_lo = _mm256_loadu_pd(w1r + k), a_hi = _mm256_loadu_pd(w1r + k + 4);
      const __m256d b_lo = _mm256_loadu_pd(w1i + k), b_hi = _mm256_loadu_pd(w1i + k + 4);
      butterfly8(x0r, x0i, x1r, x1i, a_lo, b_lo, a_hi, b_hi);
      butterfly8(x2r, x2i, x3r, x3i, a_lo, b_lo, a_hi, b_hi);
      butterfly8(x0r, x0i, x2r, x2i, _mm256_loadu_pd(w2r + k), _mm256_loadu_pd(w2i + k), _mm256_loadu_pd(w2r + k + 4),
                 _mm256_loadu_pd(w2i + k + 4));
      butterfly8(x1r, x1i, x3r, x3i, _mm256_loadu_pd(w2r + k + h), _mm256_loadu_pd(w2i + k + h),
                 _mm256_loadu_pd(w2r + k + h + 4), _mm256_loadu_pd(w2i + k + h + 4));
      _mm256_storeu_ps(r0 + k, x0r);
      _mm256_storeu_ps(i0 + k, x0i);
      _mm256_storeu_ps(r0 + k + h, x1r);
      _mm256_storeu_ps(i0 + k + h, x1i);
      _mm256_storeu_ps(r0 + k + 2 * h, x2r);
      _mm256_storeu_ps(i0 + k + 2 * h, x2i);
      _mm256_storeu_ps(r0 + k + 3 * h, x3r);
      _mm256_storeu_ps(i0 + k + 3 * h, x3i);
    }
  }
}

// Passes h_from <= h < h_to with h >= 4, two at a time where possible.
XRDF_AVX2 void passes_wide_avx2(float* xr, float* xi, int nn, int h_from, int h_to, const double* twr,
                                const double* twi) {
  int h = h_from;
  if (h == 4 && h < h_to) {
    const __m256d wr = _mm256_loadu_pd(twr + 4), wi = _mm256_loadu_pd(twi + 4);
    for (int g = 0; g < nn; g += 8) butterfly4(xr + g, xi + g, xr + g + 4, xi + g + 4, wr, wi);
    h = 8;
  }
  for (; h < h_to; h <<= 1) {
    if (2 * h < h_to) {
      pass_pair_avx2(xr, xi, nn, h, twr, twi);
      h <<= 1;
      continue;
    }
    for (int g = 0; g < nn; g += 2 * h) {
      for (int k = 0; k < h; k += 8)
        butterfly8_at(xr + g + k, xi + g + k, xr + g + h + k, xi + g + h + k, twr + h + k, twi + h + k);
    }
  }
}

XRDF_AVX2 void all_passes_avx2(float* xr, float* xi, int nn, const double* twr, const double* twi) {
  const int block = nn < block_points ? nn : block_points;
  for (int b = 0; b < nn; b += block) {
    pass1_avx2(xr + b, xi + b, block, twr, twi);
    pass2_avx2(xr + b, xi + b, block, twr, twi);
    passes_wide_avx2(xr + b, xi + b, block, 4, block, twr, twi);
  }
  passes_wide_avx2(xr, xi, nn, block, nn, twr, twi);
}

// -------------------------------------------------------- AVX-512 passes --

#define XRDF_AVX512 __attribute__((target("avx512f,avx2")))

// (The zero-masked forms with all lanes selected are the plain operations;
// they spare GCC 12 its false "may be used uninitialized" warnings about the
// unmasked ones.)
XRDF_AVX512 inline __m512d low_to_double(__m512 v) {
  return _mm512_maskz_cvtps_pd(0xFF, _mm256_castpd_ps(_mm512_maskz_extractf64x4_pd(0xF, _mm512_castps_pd(v), 0)));
}
XRDF_AVX512 inline __m512d high_to_double(__m512 v) {
  return _mm512_maskz_cvtps_pd(0xFF, _mm256_castpd_ps(_mm512_maskz_extractf64x4_pd(0xF, _mm512_castps_pd(v), 1)));
}
XRDF_AVX512 inline __m256 to_float(__m512d v) { return _mm512_maskz_cvtpd_ps(0xFF, v); }
XRDF_AVX512 inline __m512 join_floats(__m256 lo, __m256 hi) {
  return _mm512_castpd_ps(
      _mm512_maskz_insertf64x4(0xFF, _mm512_castpd256_pd512(_mm256_castps_pd(lo)), _mm256_castps_pd(hi), 1));
}

// Sixteen butterflies, as butterfly8.
XRDF_AVX512 inline void butterfly16(__m512& ar, __m512& ai, __m512& br, __m512& bi, const double* wrp,
                                    const double* wip) {
  const __m512d wr_lo = _mm512_loadu_pd(wrp), wr_hi = _mm512_loadu_pd(wrp + 8);
  const __m512d wi_lo = _mm512_loadu_pd(wip), wi_hi = _mm512_loadu_pd(wip + 8);
  const __m512d br_lo = low_to_double(br), br_hi = high_to_double(br);
  const __m512d bi_lo = low_to_double(bi), bi_hi = high_to_double(bi);
  const __m256 tr_lo = to_float(_mm512_sub_pd(_mm512_mul_pd(wr_lo, br_lo), _mm512_mul_pd(wi_lo, bi_lo)));
  const __m256 tr_hi = to_float(_mm512_sub_pd(_mm512_mul_pd(wr_hi, br_hi), _mm512_mul_pd(wi_hi, bi_hi)));
  const __m256 ti_lo = to_float(_mm512_add_pd(_mm512_mul_pd(wr_lo, bi_lo), _mm512_mul_pd(wi_lo, br_lo)));
  const __m256 ti_hi = to_float(_mm512_add_pd(_mm512_mul_pd(wr_hi, bi_hi), _mm512_mul_pd(wi_hi, br_hi)));
  const __m512 tr = join_floats(tr_lo, tr_hi);
  const __m512 ti = join_floats(ti_lo, ti_hi);
  br = _mm512_sub_ps(ar, tr);
  bi = _mm512_sub_ps(ai, ti);
  ar = _mm512_add_ps(ar, tr);
  ai = _mm512_add_ps(ai, ti);
}

// Passes h and 2h together (h >= 16), as pass_pair_avx2.
XRDF_AVX512 void pass_pair_avx512(float* xr, float* xi, int nn, int h, const double* twr, const double* twi) {
  const double* w1r = twr + h;
  const double* w1i = twi + h;
  const double* w2r = twr + 2 * h;
  const double* w2i = twi + 2 * h;
  for (int g = 0; g < nn; g += 4 * h) {
    float* r0 = xr + g;
    float* i0 = xi + g;
    for (int k = 0; k < h; k += 16) {
      __m512 x0r = _mm512_loadu_ps(r0 + k), x0i = _mm512_loadu_ps(i0 + k);
      __m512 x1r = _mm512_loadu_ps(r0 + k + h), x1i = _mm512_loadu_ps(i0 + k + h);
      __m512 x2r = _mm512_loadu_ps(r0 + k + 2 * h), x2i = _mm512_loadu_ps(i0 + k + 2 * h);
      __m512 x3r = _mm512_loadu_ps(r0 + k + 3 * h), x3i = _mm512_loadu_ps(i0 + k + 3 * h);
      butterfly16(x0r, x0i, x1r, x1i, w1r + k, w1i + k);
      butterfly16(x2r, x2i, x3r, x3i, w1r + k, w1i + k);
      butterfly16(x0r, x0i, x2r, x2i, w2r + k, w2i + k);
      butterfly16(x1r, x1i, x3r, x3i, w2r + k + h, w2i + k + h);
      _mm512_storeu_ps(r0 + k, x0r);
      _mm512_storeu_ps(i0 + k, x0i);
      _mm512_storeu_ps(r0 + k + h, x1r);
      _mm512_storeu_ps(i0 + k + h, x1i);
      _mm512_storeu_ps(r0 + k + 2 * h, x2r);
      _mm512_storeu_ps(i0 + k + 2 * h, x2i);
      _mm512_storeu_ps(r0 + k + 3 * h, x3r);
      _mm512_storeu_ps(i0 + k + 3 * h, x3i);
    }
  }
}

// Passes h_from <= h < h_to with h >= 16, two at a time where possible.
XRDF_AVX512 void passes_wide_avx512(float* xr, float* xi, int nn, int h_from, int h_to, const double* twr,
                                    const double* twi) {
  for (int h = h_from; h < h_to; h <<= 1) {
    if (2 * h < h_to) {
      pass_pair_avx512(xr, xi, nn, h, twr, twi);
      h <<= 1;
      continue;
    }
    for (int g = 0; g < nn; g += 2 * h) {
      float* ar = xr + g;
      float* ai = xi + g;
      for (int k = 0; k < h; k += 16) {
        __m512 x0r = _mm512_loadu_ps(ar + k), x0i = _mm512_loadu_ps(ai + k);
        __m512 x1r = _mm512_loadu_ps(ar + k + h), x1i = _mm512_loadu_ps(ai + k + h);
        butterfly16(x0r, x0i, x1r, x1i, twr + h + k, twi + h + k);
        _mm512_storeu_ps(ar + k, x0r);
        _mm512_storeu_ps(ai + k, x0i);
        _mm512_storeu_ps(ar + k + h, x1r);
        _mm512_storeu_ps(ai + k + h, x1i);
      }
    }
  }
}

// Needs nn >= 32: passes 1, 2, 4 and 8 as in the AVX2 path, the rest 16 wide.
XRDF_AVX512 void all_passes_avx512(float* xr, float* xi, int nn, const double* twr, const double* twi) {
  const int block = nn < block_points ? nn : block_points;
  for (int b = 0; b < nn; b += block) {
    pass1_avx2(xr + b, xi + b, block, twr, twi);
    pass2_avx2(xr + b, xi + b, block, twr, twi);
    passes_wide_avx2(xr + b, xi + b, block, 4, 16, twr, twi);
    passes_wide_avx512(xr + b, xi + b, block, 16, block, twr, twi);
  }
  passes_wide_avx512(xr, xi, nn, block, nn, twr, twi);
}
#endif

// ------------------------------------------------------------ dispatch --

path requested = path::automatic;

bool cpu_has_avx2() {
#if XRDF_HAVE_X86
  static const bool has = __builtin_cpu_supports("avx2");
  return has;
#else
  return false;
#endif
}

bool cpu_has_avx512() {
#if XRDF_HAVE_X86
  static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx2");
  return has;
#else
  return false;
#endif
}

// The vector passes need a few full vectors of points; shorter transforms
// take the portable code.
bool use_avx2(int nn) {
  const path p = active_path();
  return nn >= 16 && (p == path::avx2 || p == path::avx512);
}
bool use_avx512(int nn) { return nn >= 32 && active_path() == path::avx512; }

void run_passes(float* xr, float* xi, int nn, int isign) {
  const pass_tables& t = tables_for(nn, isign);
#if XRDF_HAVE_X86
  if (use_avx512(nn)) {
    all_passes_avx512(xr, xi, nn, t.wr.data(), t.wi.data());
    return;
  }
  if (use_avx2(nn)) {
    all_passes_avx2(xr, xi, nn, t.wr.data(), t.wi.data());
    return;
  }
#endif
  all_passes_portable(xr, xi, nn, t.wr.data(), t.wi.data());
}

float* scratch_re(int nn) {
  if (ws.re.size() < static_cast<std::size_t>(nn)) {
    ws.re.resize(static_cast<std::size_t>(nn));
    ws.im.resize(static_cast<std::size_t>(nn));
  }
  return ws.re.data();
}

// The real transform's split loop run backward (c2 = +0.5), in place on the
// packed array a of n floats, as the literal form has it (its 1-based i1 .. i4
// are i1 - 1 .. i4 - 1 here).
void split_backward(float* a, int n) {
  const split_table& t = split_for(n, -1);
  const float c1 = 0.5f;
  const float c2 = 0.5f;
  const int quarter = n >> 2;
  for (int i = 2; i <= quarter; ++i) {
    const int i1 = 2 * i - 2;
    const int i2 = i1 + 1;
    const int i3 = n + 2 - 2 * i;
    const int i4 = i3 + 1;
    const double wr = t.wr[static_cast<std::size_t>(i - 1)];
    const double wi = t.wi[static_cast<std::size_t>(i - 1)];
    const float h1r = c1 * (a[i1] + a[i3]);
    const float h1i = c1 * (a[i2] - a[i4]);
    const float h2r = -c2 * (a[i2] + a[i4]);
    const float h2i = c2 * (a[i1] - a[i3]);
    a[i1] = static_cast<float>(h1r + wr * h2r - wi * h2i);
    a[i2] = static_cast<float>(h1i + wr * h2i + wi * h2r);
    a[i3] = static_cast<float>(h1r - wr * h2r + wi * h2i);
    a[i4] = static_cast<float>(-h1i + wr * h2i + wi * h2r);
  }
}

// The real transform's split loop run forward (c2 = -0.5), reading the
// complex result from the split arrays (re, im) and writing the packed real
// transform into a; the points k >= k_from of the loop, then the middle point
// (left as it is) and the first two elements.
void split_forward_tail(const float* re, const float* im, float* a, int n, int k_from) {
  const int nn = n >> 1;
  const split_table& t = split_for(n, 1);
  const float c1 = 0.5f;
  const float c2 = -0.5f;
  const int quarter = n >> 2;
  for (int k = k_from; k < quarter; ++k) {
    const int p = nn - k;
    const double wr = t.wr[static_cast<std::size_t>(k)];
    const double wi = t.wi[static_cast<std::size_t>(k)];
    const float h1r = c1 * (re[k] + re[p]);
    const float h1i = c1 * (im[k] - im[p]);
    const float h2r = -c2 * (im[k] + im[p]);
    const float h2i = c2 * (re[k] - re[p]);
    a[2 * k] = static_cast<float>(h1r + wr * h2r - wi * h2i);
    a[2 * k + 1] = static_cast<float>(h1i + wr * h2i + wi * h2r);
    a[2 * p] = static_cast<float>(h1r - wr * h2r + wi * h2i);
    a[2 * p + 1] = static_cast<float>(-h1i + wr * h2i + wi * h2r);
  }
  if (nn >= 2) {  // the middle point is left as it is
    a[2 * quarter] = re[quarter];
    a[2 * quarter + 1] = im[quarter];
  }
  const float h1r = re[0];
  a[0] = h1r + im[0];
  a[1] = h1r - im[0];
}

#if XRDF_HAVE_X86
// split_forward_tail, four points k at a time (the partners nn - k read and
// written in reverse order), then the same scalar code for the rest.
XRDF_AVX2 void split_forward_avx2(const float* re, const float* im, float* a, int n) {
  const int nn = n >> 1;
  const int quarter = n >> 2;
  const split_table& t = split_for(n, 1);
  const double* twr = t.wr.data();
  const double* twi = t.wi.data();
  const __m128 c1 = _mm_set1_ps(0.5f);   // c1, and -c2
  const __m128 c2 = _mm_set1_ps(-0.5f);  // c2
  const __m256d sign = _mm256_set1_pd(-0.0);
  int k = 1;
  for (; k + 3 < quarter; k += 4) {
    const int p = nn - k - 3;  // partners of k+3 .. k, ascending
    const __m128 ar = _mm_loadu_ps(re + k), ai = _mm_loadu_ps(im + k);
    const __m128 br = _mm_shuffle_ps(_mm_loadu_ps(re + p), _mm_loadu_ps(re + p), 0x1B);
    const __m128 bi = _mm_shuffle_ps(_mm_loadu_ps(im + p), _mm_loadu_ps(im + p), 0x1B);
    const __m256d h1r = _mm256_cvtps_pd(_mm_mul_ps(c1, _mm_add_ps(ar, br)));
    const __m256d h1i = _mm256_cvtps_pd(_mm_mul_ps(c1, _mm_sub_ps(ai, bi)));
    const __m256d h2r = _mm256_cvtps_pd(_mm_mul_ps(c1, _mm_add_ps(ai, bi)));
    const __m256d h2i = _mm256_cvtps_pd(_mm_mul_ps(c2, _mm_sub_ps(ar, br)));
    const __m256d wr = _mm256_loadu_pd(twr + k), wi = _mm256_loadu_pd(twi + k);
    const __m256d wr_h2r = _mm256_mul_pd(wr, h2r), wi_h2i = _mm256_mul_pd(wi, h2i);
    const __m256d wr_h2i = _mm256_mul_pd(wr, h2i), wi_h2r = _mm256_mul_pd(wi, h2r);
    const __m128 o1 = _mm256_cvtpd_ps(_mm256_sub_pd(_mm256_add_pd(h1r, wr_h2r), wi_h2i));
    const __m128 o2 = _mm256_cvtpd_ps(_mm256_add_pd(_mm256_add_pd(h1i, wr_h2i), wi_h2r));
    const __m128 o3 = _mm256_cvtpd_ps(_mm256_add_pd(_mm256_sub_pd(h1r, wr_h2r), wi_h2i));
    const __m128 o4 = _mm256_cvtpd_ps(_mm256_add_pd(_mm256_add_pd(_mm256_xor_pd(h1i, sign), wr_h2i), wi_h2r));
    _mm_storeu_ps(a + 2 * k, _mm_unpacklo_ps(o1, o2));
    _mm_storeu_ps(a + 2 * k + 4, _mm_unpackhi_ps(o1, o2));
    const __m128 o3r = _mm_shuffle_ps(o3, o3, 0x1B), o4r = _mm_shuffle_ps(o4, o4, 0x1B);
    _mm_storeu_ps(a + 2 * p, _mm_unpacklo_ps(o3r, o4r));
    _mm_storeu_ps(a + 2 * p + 4, _mm_unpackhi_ps(o3r, o4r));
  }
  split_forward_tail(re, im, a, n, k);
}
#endif

}  // namespace

bool avx2_supported() { return cpu_has_avx2(); }

void set_path(path p) { requested = p; }

bool avx512_supported() { return cpu_has_avx512(); }

path active_path() {
  if (requested == path::portable) return path::portable;
  if (requested != path::avx2 && cpu_has_avx512()) return path::avx512;
  return cpu_has_avx2() ? path::avx2 : path::portable;
}

void complex_transform(float* a, int nn, int isign) {
  if (nn < 2) return;  // one point: the bit reversal and the passes do nothing
  float* re = scratch_re(nn);
  float* im = ws.im.data();
  gather_reversed(a, re, im, nn);
  run_passes(re, im, nn, isign);
  interleave(re, im, a, nn);
}

void real_transform(float* a, int n, int isign) {
  if (n < 2) return;
  const int nn = n >> 1;
  if (isign == 1) {
    float* re = scratch_re(nn);
    float* im = ws.im.data();
    gather_reversed(a, re, im, nn);
    if (nn >= 2) run_passes(re, im, nn, 1);
#if XRDF_HAVE_X86
    if (use_avx2(nn)) {
      split_forward_avx2(re, im, a, n);
      return;
    }
#endif
    split_forward_tail(re, im, a, n, 1);
  } else {
    split_backward(a, n);
    const float c1 = 0.5f;
    const float h1r = a[0];
    a[0] = c1 * (h1r + a[1]);
    a[1] = c1 * (h1r - a[1]);
    complex_transform(a, nn, -1);
  }
}

}  // namespace fft_kernel
