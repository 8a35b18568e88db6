#include "numerics/fft_kernel.h"

#include <cmath>
#include <cstddef>
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
//    stays in the cache; the first three or four passes inside the tiles of
//    the bit reversal, while the tile is in registers; on AVX-512 two or three
//    passes per sweep) and 4, 8 or 16 at a time in vector registers. Every
//    butterfly does exactly the literal form's operations on the same values:
//    double products and sums rounded once to float (tr, ti), then float
//    additions and subtractions. Vector instructions round each operation as
//    the scalar ones do, and the build forbids fused multiply-add contraction,
//    so the results are the same floats. The one exception in form, not in
//    result: a butterfly whose twiddle is exactly (1, 0), the first of every
//    group, runs in float (see unit_butterfly_rows).
//
// Without AVX-512 the widening of floats to double is what bounds the speed:
// two widenings and two narrowings of four values each for every four
// butterflies, which FFTW's float arithmetic does not need. The AVX2 passes
// therefore widen the j-side straight from memory (on AMD's Zen 3, where this
// was measured, a load that widens runs beside the narrowings; a widening of a
// register, like the moves between register halves, competes with them), and
// keep to one pass per sweep outside the tiles.
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
  std::vector<float> packed;    // the backward transform's packed array
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

// The 16 floats of a from `from` on, those from `limit` on taken as zeros:
// where all of them lie before the limit a itself, else `padded` so filled.
inline const float* source_line(const float* a, int from, int limit, float (&padded)[16]) {
  if (from + 16 <= limit) return a + from;
  for (int e = 0; e < 16; ++e) padded[e] = from + e < limit ? a[from + e] : 0.0f;
  return padded;
}

// re[k], im[k] = complex point rev(k) of the interleaved array a, whose
// floats from index `limit` on are taken as zeros (the padding of a transform
// longer than its input): the exchanges of the literal form, done as one
// gather. For the short transforms; the longer ones gather by tiles that also
// run the first passes (gather_first_passes_*).
void gather_reversed(const float* a, int limit, float* re, float* im, int nn) {
  int r = 0;
  for (int k = 0; k < nn; ++k) {
    re[k] = 2 * r < limit ? a[2 * r] : 0.0f;
    im[k] = 2 * r + 1 < limit ? a[2 * r + 1] : 0.0f;
    r = next_reversed(r, nn >> 1);
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

// Points per cache block: the passes run block by block while their butterflies
// stay within one, so that the data and the twiddles stay in the first-level
// cache.
constexpr int block_points = 1024;

void all_passes_portable(float* xr, float* xi, int nn, int h_from, const double* twr, const double* twi) {
  const int block = nn < block_points ? nn : block_points;
  if (h_from < block)
    for (int b = 0; b < nn; b += block) passes_portable(xr + b, xi + b, block, h_from, block, twr, twi);
  passes_portable(xr, xi, nn, block > h_from ? block : h_from, nn, twr, twi);
}

// Butterflies of eight rows at once, for the tiles below: column (ar, ai) and
// column (br, bi), one twiddle (wr, wi) for all eight.
void butterfly_rows(float* __restrict ar, float* __restrict ai, float* __restrict br, float* __restrict bi, double wr,
                    double wi) {
  for (int t = 0; t < 8; ++t) {
    const float tr = static_cast<float>(wr * br[t] - wi * bi[t]);
    const float ti = static_cast<float>(wr * bi[t] + wi * br[t]);
    br[t] = ar[t] - tr;
    bi[t] = ai[t] - ti;
    ar[t] += tr;
    ai[t] += ti;
  }
}

// The same with the twiddle (1, 0), the first of every group, in float: the
// literal products wr * b.re and wi * b.im are b.re and +-0 exactly (or NaN
// for an infinite or undefined b), and the sum of b and a signed zero is
// exact, so the same operations in float give the same tr and ti, bit for bit.
void unit_butterfly_rows(float* __restrict ar, float* __restrict ai, float* __restrict br, float* __restrict bi) {
  for (int t = 0; t < 8; ++t) {
    const float tr = br[t] - 0.0f * bi[t];
    const float ti = bi[t] + 0.0f * br[t];
    br[t] = ar[t] - tr;
    bi[t] = ai[t] - ti;
    ar[t] += tr;
    ai[t] += ti;
  }
}

// gather_reversed and the passes h = 1, 2 and 4 in one sweep (nn >= 64), by
// tiles of 8 x 8 points: with k = t * nn/8 + m * 8 + c (t, c < 8),
// rev(k) = rev3(c) * nn/8 + rev(m) * 8 + rev3(t). The eight points t of one
// column c are one cache line of the source, and the butterflies of the
// passes join columns c and c + h, the eight rows at once, with the one
// twiddle of offset c mod h; the tile is then written out row by row.
void gather_first_passes_portable(const float* a, int limit, float* re, float* im, int nn, const double* twr,
                                  const double* twi) {
  static constexpr int rev3[8] = {0, 4, 2, 6, 1, 5, 3, 7};
  const int eighth = nn >> 3;
  const int tiles = nn >> 6;
  float xr[8][8], xi[8][8];  // [column c][source point j]
  float padded[16];
  int rm = 0;
  for (int m = 0; m < tiles; ++m) {
    for (int c = 0; c < 8; ++c) {
      const float* src = source_line(a, 2 * (rev3[c] * eighth + rm * 8), limit, padded);
      for (int j = 0; j < 8; ++j) {
        xr[c][j] = src[2 * j];
        xi[c][j] = src[2 * j + 1];
      }
    }
    for (int c = 0; c < 8; c += 2) unit_butterfly_rows(xr[c], xi[c], xr[c + 1], xi[c + 1]);
    for (int c : {0, 4}) {
      unit_butterfly_rows(xr[c], xi[c], xr[c + 2], xi[c + 2]);
      butterfly_rows(xr[c + 1], xi[c + 1], xr[c + 3], xi[c + 3], twr[3], twi[3]);
    }
    unit_butterfly_rows(xr[0], xi[0], xr[4], xi[4]);
    for (int c = 1; c < 4; ++c) butterfly_rows(xr[c], xi[c], xr[c + 4], xi[c + 4], twr[4 + c], twi[4 + c]);
    for (int j = 0; j < 8; ++j) {  // point j of each column is row rev3(j)
      float* row_re = re + rev3[j] * eighth + m * 8;
      float* row_im = im + rev3[j] * eighth + m * 8;
      for (int c = 0; c < 8; ++c) {
        row_re[c] = xr[c][j];
        row_im[c] = xi[c][j];
      }
    }
    rm = next_reversed(rm, tiles >> 1);
  }
}

// ---------------------------------------------------------- AVX2 passes --

#if XRDF_HAVE_X86
#define XRDF_AVX2 __attribute__((target("avx2")))

// Eight butterflies: i-side (ar, ai), j-side (br, bi) as 8 floats each, the
// j-side also widened to double (lanes 0-3 in _lo, 4-7 in _hi); the twiddles
// of the low and high four lanes in double.
XRDF_AVX2 inline void butterfly8_widened(__m256& ar, __m256& ai, __m256& br, __m256& bi, __m256d br_lo, __m256d br_hi,
                                         __m256d bi_lo, __m256d bi_hi, __m256d wr_lo, __m256d wi_lo, __m256d wr_hi,
                                         __m256d wi_hi) {
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

// Eight butterflies with the j-side in registers.
XRDF_AVX2 inline void butterfly8(__m256& ar, __m256& ai, __m256& br, __m256& bi, __m256d wr_lo, __m256d wi_lo,
                                 __m256d wr_hi, __m256d wi_hi) {
  butterfly8_widened(ar, ai, br, bi, _mm256_cvtps_pd(_mm256_castps256_ps128(br)),
                     _mm256_cvtps_pd(_mm256_extractf128_ps(br, 1)), _mm256_cvtps_pd(_mm256_castps256_ps128(bi)),
                     _mm256_cvtps_pd(_mm256_extractf128_ps(bi, 1)), wr_lo, wi_lo, wr_hi, wi_hi);
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
// The j-side floats are widened to double straight from memory, four at a
// time (see widen4), and the i-side updated eight wide.
XRDF_AVX2 inline void butterfly8_at(float* arp, float* aip, float* brp, float* bip, const double* wrp,
                                    const double* wip) {
  __m256 ar = _mm256_loadu_ps(arp), ai = _mm256_loadu_ps(aip), br, bi;
  butterfly8_widened(ar, ai, br, bi, _mm256_cvtps_pd(_mm_loadu_ps(brp)), _mm256_cvtps_pd(_mm_loadu_ps(brp + 4)),
                     _mm256_cvtps_pd(_mm_loadu_ps(bip)), _mm256_cvtps_pd(_mm_loadu_ps(bip + 4)),
                     _mm256_loadu_pd(wrp), _mm256_loadu_pd(wip), _mm256_loadu_pd(wrp + 4), _mm256_loadu_pd(wip + 4));
  _mm256_storeu_ps(arp, ar);
  _mm256_storeu_ps(aip, ai);
  _mm256_storeu_ps(brp, br);
  _mm256_storeu_ps(bip, bi);
}

// The pass h (h >= 8) over nn points.
XRDF_AVX2 void pass_single_avx2(float* xr, float* xi, int nn, int h, const double* twr, const double* twi) {
  for (int g = 0; g < nn; g += 2 * h)
    for (int k = 0; k < h; k += 8)
      butterfly8_at(xr + g + k, xi + g + k, xr + g + h + k, xi + g + h + k, twr + h + k, twi + h + k);
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

// Eight butterflies whose twiddle is (1, 0): see unit_butterfly_rows.
XRDF_AVX2 inline void unit8_avx2(__m256& ar, __m256& ai, __m256& br, __m256& bi) {
  const __m256 zero = _mm256_setzero_ps();
  const __m256 tr = _mm256_sub_ps(br, _mm256_mul_ps(zero, bi));
  const __m256 ti = _mm256_add_ps(bi, _mm256_mul_ps(zero, br));
  br = _mm256_sub_ps(ar, tr);
  bi = _mm256_sub_ps(ai, ti);
  ar = _mm256_add_ps(ar, tr);
  ai = _mm256_add_ps(ai, ti);
}

// r[j] lane c = r[c] lane j before.
XRDF_AVX2 inline void transpose8_avx2(__m256 (&r)[8]) {
  const __m256 t0 = _mm256_unpacklo_ps(r[0], r[1]), t1 = _mm256_unpackhi_ps(r[0], r[1]);
  const __m256 t2 = _mm256_unpacklo_ps(r[2], r[3]), t3 = _mm256_unpackhi_ps(r[2], r[3]);
  const __m256 t4 = _mm256_unpacklo_ps(r[4], r[5]), t5 = _mm256_unpackhi_ps(r[4], r[5]);
  const __m256 t6 = _mm256_unpacklo_ps(r[6], r[7]), t7 = _mm256_unpackhi_ps(r[6], r[7]);
  const __m256 u0 = _mm256_shuffle_ps(t0, t2, 0x44), u1 = _mm256_shuffle_ps(t0, t2, 0xEE);
  const __m256 u2 = _mm256_shuffle_ps(t1, t3, 0x44), u3 = _mm256_shuffle_ps(t1, t3, 0xEE);
  const __m256 u4 = _mm256_shuffle_ps(t4, t6, 0x44), u5 = _mm256_shuffle_ps(t4, t6, 0xEE);
  const __m256 u6 = _mm256_shuffle_ps(t5, t7, 0x44), u7 = _mm256_shuffle_ps(t5, t7, 0xEE);
  r[0] = _mm256_permute2f128_ps(u0, u4, 0x20);
  r[1] = _mm256_permute2f128_ps(u1, u5, 0x20);
  r[2] = _mm256_permute2f128_ps(u2, u6, 0x20);
  r[3] = _mm256_permute2f128_ps(u3, u7, 0x20);
  r[4] = _mm256_permute2f128_ps(u0, u4, 0x31);
  r[5] = _mm256_permute2f128_ps(u1, u5, 0x31);
  r[6] = _mm256_permute2f128_ps(u2, u6, 0x31);
  r[7] = _mm256_permute2f128_ps(u3, u7, 0x31);
}

// gather_reversed and the passes h = 1, 2 and 4 in one sweep (nn >= 64), by
// tiles of 8 x 8 points: with k = t * nn/8 + m * 8 + c (t, c < 8),
// rev(k) = rev3(c) * nn/8 + rev(m) * 8 + rev3(t). The eight points t of one
// c are one cache line of the source; loaded and split into real and
// imaginary parts, they sit in the lanes of one register pair, so the
// butterflies of c and c + h run for the eight rows t at once, with the one
// twiddle of offset c mod h. The tile is then transposed into its rows.
XRDF_AVX2 void gather_first_passes_avx2(const float* a, int limit, float* re, float* im, int nn, const double* twr,
                                        const double* twi) {
  static constexpr int rev3[8] = {0, 4, 2, 6, 1, 5, 3, 7};
  // The deinterleaving shuffle leaves point sigma(l) = 0, 1, 4, 5, 2, 3, 6, 7
  // in lane l; its row is rev3(sigma(l)).
  static constexpr int lane_row[8] = {0, 4, 1, 5, 2, 6, 3, 7};
  const int eighth = nn >> 3;
  const int tiles = nn >> 6;
  int row_offset[8];
  for (int l = 0; l < 8; ++l) row_offset[l] = lane_row[l] * eighth;
  alignas(32) float padded[16];
  int rm = 0;
  for (int m = 0; m < tiles; ++m) {
    __m256 xr[8], xi[8];
    for (int c = 0; c < 8; ++c) {
      const float* src = source_line(a, 2 * (rev3[c] * eighth + rm * 8), limit, padded);
      const __m256 v0 = _mm256_loadu_ps(src), v1 = _mm256_loadu_ps(src + 8);
      xr[c] = _mm256_shuffle_ps(v0, v1, 0x88);
      xi[c] = _mm256_shuffle_ps(v0, v1, 0xDD);
    }
    // pass 1: every twiddle is (1, 0)
    for (int c = 0; c < 8; c += 2) unit8_avx2(xr[c], xi[c], xr[c + 1], xi[c + 1]);
    // pass 2
    for (int c : {0, 4}) {
      unit8_avx2(xr[c], xi[c], xr[c + 2], xi[c + 2]);
      const __m256d wr = _mm256_set1_pd(twr[3]), wi = _mm256_set1_pd(twi[3]);
      butterfly8(xr[c + 1], xi[c + 1], xr[c + 3], xi[c + 3], wr, wi, wr, wi);
    }
    // pass 4
    unit8_avx2(xr[0], xi[0], xr[4], xi[4]);
    for (int c = 1; c < 4; ++c) {
      const __m256d wr = _mm256_set1_pd(twr[4 + c]), wi = _mm256_set1_pd(twi[4 + c]);
      butterfly8(xr[c], xi[c], xr[c + 4], xi[c + 4], wr, wi, wr, wi);
    }
    transpose8_avx2(xr);
    transpose8_avx2(xi);
    for (int l = 0; l < 8; ++l) {
      _mm256_storeu_ps(re + row_offset[l] + m * 8, xr[l]);
      _mm256_storeu_ps(im + row_offset[l] + m * 8, xi[l]);
    }
    rm = next_reversed(rm, tiles >> 1);
  }
}

// Points per cache block of the AVX2 passes: the data and the twiddles of
// its passes stay in the first-level cache.
constexpr int avx2_block = 1024;

// The passes h >= 8, one at a time (two passes per sweep would keep the
// second pass's j-side in registers, where widening it costs more than the
// memory traffic saved): block by block while they fit, then over all nn.
XRDF_AVX2 void passes_from8_avx2(float* xr, float* xi, int nn, const double* twr, const double* twi) {
  const int block = nn < avx2_block ? nn : avx2_block;
  for (int b = 0; b < nn; b += block)
    for (int h = 8; h < block; h <<= 1) pass_single_avx2(xr + b, xi + b, block, h, twr, twi);
  for (int h = block; h < nn; h <<= 1) pass_single_avx2(xr, xi, nn, h, twr, twi);
}

// -------------------------------------------------------- AVX-512 passes --

#define XRDF_AVX512 __attribute__((target("avx512f,avx2")))

// (The zero-masked forms with all lanes selected are the plain operations;
// they spare GCC 12 its false "may be used uninitialized" warnings about the
// unmasked ones.)
XRDF_AVX512 inline __m256 to_float(__m512d v) { return _mm512_maskz_cvtpd_ps(0xFF, v); }
XRDF_AVX512 inline __m512 join_floats(__m256 lo, __m256 hi) {
  return _mm512_castpd_ps(
      _mm512_maskz_insertf64x4(0xFF, _mm512_castpd256_pd512(_mm256_castps_pd(lo)), _mm256_castps_pd(hi), 1));
}

// Eight butterflies sharing one twiddle (wr, wi), in double eight wide.
XRDF_AVX512 inline void butterfly8_one_twiddle(__m256& ar, __m256& ai, __m256& br, __m256& bi, __m512d wr,
                                               __m512d wi) {
  const __m512d brd = _mm512_maskz_cvtps_pd(0xFF, br);
  const __m512d bid = _mm512_maskz_cvtps_pd(0xFF, bi);
  const __m256 tr = to_float(_mm512_sub_pd(_mm512_mul_pd(wr, brd), _mm512_mul_pd(wi, bid)));
  const __m256 ti = to_float(_mm512_add_pd(_mm512_mul_pd(wr, bid), _mm512_mul_pd(wi, brd)));
  br = _mm256_sub_ps(ar, tr);
  bi = _mm256_sub_ps(ai, ti);
  ar = _mm256_add_ps(ar, tr);
  ai = _mm256_add_ps(ai, ti);
}

// Eight butterflies at offsets k .. k+7 of the pass whose twiddles start at
// w (+ h in the tables): the twiddles of the eight offsets, eight wide.
XRDF_AVX512 inline void butterfly8_at(__m256& ar, __m256& ai, __m256& br, __m256& bi, const double* wr,
                                      const double* wi) {
  butterfly8_one_twiddle(ar, ai, br, bi, _mm512_loadu_pd(wr), _mm512_loadu_pd(wi));
}

// The passes h, 2h and 4h (h >= 8) in one sweep: the eight points
// g + k + j h (j < 8) of a group of 8h go through their three butterflies of
// each pass while in registers, eight offsets k at a time. Points are kept as
// eight floats and widened to eight doubles for the products, so no register
// halves need to be taken apart or joined.
XRDF_AVX512 void pass_triple_avx512(float* xr, float* xi, int nn, int h, const double* twr, const double* twi) {
  for (int g = 0; g < nn; g += 8 * h) {
    float* r = xr + g;
    float* i = xi + g;
    for (int k = 0; k < h; k += 8) {
      __m256 pr[8], pi[8];
      for (int j = 0; j < 8; ++j) {
        pr[j] = _mm256_loadu_ps(r + k + j * h);
        pi[j] = _mm256_loadu_ps(i + k + j * h);
      }
      const double* w1r = twr + h + k;
      const double* w1i = twi + h + k;
      for (int j = 0; j < 8; j += 2) butterfly8_at(pr[j], pi[j], pr[j + 1], pi[j + 1], w1r, w1i);
      const double* w2r = twr + 2 * h + k;
      const double* w2i = twi + 2 * h + k;
      butterfly8_at(pr[0], pi[0], pr[2], pi[2], w2r, w2i);
      butterfly8_at(pr[1], pi[1], pr[3], pi[3], w2r + h, w2i + h);
      butterfly8_at(pr[4], pi[4], pr[6], pi[6], w2r, w2i);
      butterfly8_at(pr[5], pi[5], pr[7], pi[7], w2r + h, w2i + h);
      const double* w4r = twr + 4 * h + k;
      const double* w4i = twi + 4 * h + k;
      for (int j = 0; j < 4; ++j) butterfly8_at(pr[j], pi[j], pr[j + 4], pi[j + 4], w4r + j * h, w4i + j * h);
      for (int j = 0; j < 8; ++j) {
        _mm256_storeu_ps(r + k + j * h, pr[j]);
        _mm256_storeu_ps(i + k + j * h, pi[j]);
      }
    }
  }
}

// The passes h and 2h (h >= 8) in one sweep, as pass_triple_avx512.
XRDF_AVX512 void pass_pair8_avx512(float* xr, float* xi, int nn, int h, const double* twr, const double* twi) {
  for (int g = 0; g < nn; g += 4 * h) {
    float* r = xr + g;
    float* i = xi + g;
    for (int k = 0; k < h; k += 8) {
      __m256 pr[4], pi[4];
      for (int j = 0; j < 4; ++j) {
        pr[j] = _mm256_loadu_ps(r + k + j * h);
        pi[j] = _mm256_loadu_ps(i + k + j * h);
      }
      butterfly8_at(pr[0], pi[0], pr[1], pi[1], twr + h + k, twi + h + k);
      butterfly8_at(pr[2], pi[2], pr[3], pi[3], twr + h + k, twi + h + k);
      butterfly8_at(pr[0], pi[0], pr[2], pi[2], twr + 2 * h + k, twi + 2 * h + k);
      butterfly8_at(pr[1], pi[1], pr[3], pi[3], twr + 3 * h + k, twi + 3 * h + k);
      for (int j = 0; j < 4; ++j) {
        _mm256_storeu_ps(r + k + j * h, pr[j]);
        _mm256_storeu_ps(i + k + j * h, pi[j]);
      }
    }
  }
}

// The pass h (h >= 8) alone.
XRDF_AVX512 void pass_single8_avx512(float* xr, float* xi, int nn, int h, const double* twr, const double* twi) {
  for (int g = 0; g < nn; g += 2 * h) {
    float* r = xr + g;
    float* i = xi + g;
    for (int k = 0; k < h; k += 8) {
      __m256 ar = _mm256_loadu_ps(r + k), ai = _mm256_loadu_ps(i + k);
      __m256 br = _mm256_loadu_ps(r + k + h), bi = _mm256_loadu_ps(i + k + h);
      butterfly8_at(ar, ai, br, bi, twr + h + k, twi + h + k);
      _mm256_storeu_ps(r + k, ar);
      _mm256_storeu_ps(i + k, ai);
      _mm256_storeu_ps(r + k + h, br);
      _mm256_storeu_ps(i + k + h, bi);
    }
  }
}

// Passes h_from <= h < h_to (h >= 8), three per sweep over the data where
// they divide evenly, otherwise two or one first.
XRDF_AVX512 void passes_radix8_avx512(float* xr, float* xi, int nn, int h_from, int h_to, const double* twr,
                                      const double* twi) {
  int left = 0;
  for (int h = h_from; h < h_to; h <<= 1) ++left;
  int h = h_from;
  if (left % 3 == 1 && left >= 4) {  // 4 = 2 + 2, 7 = 2 + 2 + 3, ...
    pass_pair8_avx512(xr, xi, nn, h, twr, twi);
    h <<= 2;
    left -= 2;
  }
  if (left % 3 == 2) {
    pass_pair8_avx512(xr, xi, nn, h, twr, twi);
    h <<= 2;
    left -= 2;
  } else if (left % 3 == 1) {
    pass_single8_avx512(xr, xi, nn, h, twr, twi);
    h <<= 1;
    left -= 1;
  }
  for (; left > 0; left -= 3, h <<= 3) pass_triple_avx512(xr, xi, nn, h, twr, twi);
}

// Points per cache block of the AVX-512 passes.
constexpr int avx512_block = 2048;

// Needs nn >= 32: passes 1, 2, 4 and 8 as in the AVX2 path (unless they are
// done: h_from 16), the rest eight wide, block by block while they fit.
XRDF_AVX512 void all_passes_avx512(float* xr, float* xi, int nn, int h_from, const double* twr, const double* twi) {
  const int block = nn < avx512_block ? nn : avx512_block;
  for (int b = 0; b < nn; b += block) {
    if (h_from < 16) {
      pass1_avx2(xr + b, xi + b, block, twr, twi);
      pass2_avx2(xr + b, xi + b, block, twr, twi);
      passes_wide_avx2(xr + b, xi + b, block, 4, 16, twr, twi);
    }
    passes_radix8_avx512(xr + b, xi + b, block, 16, block, twr, twi);
  }
  passes_radix8_avx512(xr, xi, nn, block, nn, twr, twi);
}

// Transposes, within each 256-bit half, the 8 x 8 floats of r[0 .. 7] (r[c]
// holding in its halves the rows c and c + 8 of a 16-row tile, point j in lane
// j of each half) and stores row j (the sixteen rows' point j, in row order)
// at out + offset[j].
XRDF_AVX512 inline void transpose_store(const __m512 (&r)[8], float* out, const int (&offset)[8]) {
  const __m512i lo = _mm512_setr_epi32(0, 1, 2, 3, 16, 17, 18, 19, 8, 9, 10, 11, 24, 25, 26, 27);
  const __m512i hi = _mm512_setr_epi32(4, 5, 6, 7, 20, 21, 22, 23, 12, 13, 14, 15, 28, 29, 30, 31);
  const __m512 t0 = _mm512_maskz_unpacklo_ps(0xFFFF, r[0], r[1]), t1 = _mm512_maskz_unpackhi_ps(0xFFFF, r[0], r[1]);
  const __m512 t2 = _mm512_maskz_unpacklo_ps(0xFFFF, r[2], r[3]), t3 = _mm512_maskz_unpackhi_ps(0xFFFF, r[2], r[3]);
  const __m512 t4 = _mm512_maskz_unpacklo_ps(0xFFFF, r[4], r[5]), t5 = _mm512_maskz_unpackhi_ps(0xFFFF, r[4], r[5]);
  const __m512 t6 = _mm512_maskz_unpacklo_ps(0xFFFF, r[6], r[7]), t7 = _mm512_maskz_unpackhi_ps(0xFFFF, r[6], r[7]);
  const __m512 u0 = _mm512_shuffle_ps(t0, t2, 0x44), u1 = _mm512_shuffle_ps(t0, t2, 0xEE);
  const __m512 u2 = _mm512_shuffle_ps(t1, t3, 0x44), u3 = _mm512_shuffle_ps(t1, t3, 0xEE);
  const __m512 u4 = _mm512_shuffle_ps(t4, t6, 0x44), u5 = _mm512_shuffle_ps(t4, t6, 0xEE);
  const __m512 u6 = _mm512_shuffle_ps(t5, t7, 0x44), u7 = _mm512_shuffle_ps(t5, t7, 0xEE);
  _mm512_storeu_ps(out + offset[0], _mm512_permutex2var_ps(u0, lo, u4));
  _mm512_storeu_ps(out + offset[1], _mm512_permutex2var_ps(u1, lo, u5));
  _mm512_storeu_ps(out + offset[2], _mm512_permutex2var_ps(u2, lo, u6));
  _mm512_storeu_ps(out + offset[3], _mm512_permutex2var_ps(u3, lo, u7));
  _mm512_storeu_ps(out + offset[4], _mm512_permutex2var_ps(u0, hi, u4));
  _mm512_storeu_ps(out + offset[5], _mm512_permutex2var_ps(u1, hi, u5));
  _mm512_storeu_ps(out + offset[6], _mm512_permutex2var_ps(u2, hi, u6));
  _mm512_storeu_ps(out + offset[7], _mm512_permutex2var_ps(u3, hi, u7));
}

XRDF_AVX512 inline __m512 join_halves(__m256 lo, __m256 hi) { return join_floats(lo, hi); }

// gather_reversed and the passes h = 1, 2, 4 and 8 in one sweep (nn >= 128),
// by tiles of 16 x 8 points: with k = t * nn/8 + m * 16 + c (t < 8, c < 16),
// rev(k) = rev4(c) * nn/16 + rev(m) * 8 + rev3(t), and the eight points t of
// one c are contiguous in the source. The sixteen points c of a row t are one
// group of those four passes, and before the transposition the points c of
// all eight rows sit in the lanes of one register pair (real parts, imaginary
// parts): the butterflies of c and c + h run eight rows at a time, all with the
// one twiddle of offset c mod h. The tile is then transposed into its rows.
XRDF_AVX512 void gather_first_passes_avx512(const float* a, int limit, float* re, float* im, int nn,
                                            const double* twr, const double* twi) {
  static constexpr int rev3[8] = {0, 4, 2, 6, 1, 5, 3, 7};
  static constexpr int rev4[16] = {0, 8, 4, 12, 2, 10, 6, 14, 1, 9, 5, 13, 3, 11, 7, 15};
  const __m512i deinterleave = _mm512_setr_epi32(0, 2, 4, 6, 8, 10, 12, 14, 1, 3, 5, 7, 9, 11, 13, 15);
  const int eighth = nn >> 3;
  const int sixteenth = nn >> 4;
  const int tiles = nn >> 7;
  int row_offset[8];  // where the point of source lane j goes: row rev3(j)
  for (int j = 0; j < 8; ++j) row_offset[j] = rev3[j] * eighth;
  int rm = 0;
  for (int m = 0; m < tiles; ++m) {
    __m256 xr[16], xi[16];
    for (int c = 0; c < 16; ++c) {
      const int from = 2 * (rev4[c] * sixteenth + rm * 8);
      __m512 z;
      if (from + 16 <= limit)
        z = _mm512_loadu_ps(a + from);
      else if (from >= limit)
        z = _mm512_setzero_ps();
      else
        z = _mm512_maskz_loadu_ps(static_cast<__mmask16>((1u << (limit - from)) - 1u), a + from);
      z = _mm512_maskz_permutexvar_ps(0xFFFF, deinterleave, z);
      xr[c] = _mm256_castpd_ps(_mm512_maskz_extractf64x4_pd(0xF, _mm512_castps_pd(z), 0));
      xi[c] = _mm256_castpd_ps(_mm512_maskz_extractf64x4_pd(0xF, _mm512_castps_pd(z), 1));
    }
    for (int h = 1; h < 16; h <<= 1) {
      for (int c = 0; c < 16; ++c) {
        if (c & h) continue;
        const int k = c & (h - 1);
        if (k == 0) {
          unit8_avx2(xr[c], xi[c], xr[c + h], xi[c + h]);
        } else {
          butterfly8_one_twiddle(xr[c], xi[c], xr[c + h], xi[c + h], _mm512_set1_pd(twr[h + k]),
                                 _mm512_set1_pd(twi[h + k]));
        }
      }
    }
    int offset[8];
    for (int j = 0; j < 8; ++j) offset[j] = row_offset[j] + m * 16;
    __m512 q[8];
    for (int c = 0; c < 8; ++c) q[c] = join_halves(xr[c], xr[c + 8]);
    transpose_store(q, re, offset);
    for (int c = 0; c < 8; ++c) q[c] = join_halves(xi[c], xi[c + 8]);
    transpose_store(q, im, offset);
    rm = next_reversed(rm, tiles >> 1);
  }
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

// The bit reversal of the nn complex points of a (floats from `limit` on
// taken as zeros) into xr, xi, and all the passes.
void reverse_and_transform(const float* a, int limit, float* xr, float* xi, int nn, int isign) {
  if (nn < 2) {
    gather_reversed(a, limit, xr, xi, nn);
    return;
  }
  const pass_tables& t = tables_for(nn, isign);
#if XRDF_HAVE_X86
  if (use_avx512(nn)) {
    if (nn >= 128) {
      gather_first_passes_avx512(a, limit, xr, xi, nn, t.wr.data(), t.wi.data());
      all_passes_avx512(xr, xi, nn, 16, t.wr.data(), t.wi.data());
    } else {
      gather_reversed(a, limit, xr, xi, nn);
      all_passes_avx512(xr, xi, nn, 1, t.wr.data(), t.wi.data());
    }
    return;
  }
  if (use_avx2(nn)) {
    if (nn >= 64) {
      gather_first_passes_avx2(a, limit, xr, xi, nn, t.wr.data(), t.wi.data());
      passes_from8_avx2(xr, xi, nn, t.wr.data(), t.wi.data());
    } else {
      gather_reversed(a, limit, xr, xi, nn);
      all_passes_avx2(xr, xi, nn, t.wr.data(), t.wi.data());
    }
    return;
  }
#endif
  if (nn >= 64) {
    gather_first_passes_portable(a, limit, xr, xi, nn, t.wr.data(), t.wi.data());
    all_passes_portable(xr, xi, nn, 8, t.wr.data(), t.wi.data());
  } else {
    gather_reversed(a, limit, xr, xi, nn);
    all_passes_portable(xr, xi, nn, 1, t.wr.data(), t.wi.data());
  }
}

float* scratch_re(int nn) {
  if (ws.re.size() < static_cast<std::size_t>(nn)) {
    ws.re.resize(static_cast<std::size_t>(nn));
    ws.im.resize(static_cast<std::size_t>(nn));
  }
  return ws.re.data();
}

// A spectrum as the backward real transform reads it: the real part of
// frequency j at re[j * stride], its imaginary part at im[j * stride], for
// j < kept; the frequencies from kept on are 0.
struct spectrum_in {
  const float* re;
  const float* im;
  int stride;
  int kept;
  float re_at(int j) const { return j < kept ? re[j * stride] : 0.0f; }
  float im_at(int j) const { return j < kept ? im[j * stride] : 0.0f; }
};

// The real transform's split loop run backward (c2 = +0.5) as the literal
// form has it (its 1-based i1 .. i4 are i1 - 1 .. i4 - 1 here, the points
// k = i - 1 and nn - k), for the points k >= k_from, reading the spectrum
// from `in` and writing the packed array a (which may be where `in` is); then
// the middle point and the first two elements.
void split_backward_tail(spectrum_in in, float* a, int n, int k_from) {
  const int nn = n >> 1;
  const split_table& t = split_for(n, -1);
  const float c1 = 0.5f;
  const float c2 = 0.5f;
  const int quarter = n >> 2;
  for (int k = k_from; k < quarter; ++k) {
    const int p = nn - k;
    const double wr = t.wr[static_cast<std::size_t>(k)];
    const double wi = t.wi[static_cast<std::size_t>(k)];
    const float a1 = in.re_at(k), a2 = in.im_at(k), a3 = in.re_at(p), a4 = in.im_at(p);
    const float h1r = c1 * (a1 + a3);
    const float h1i = c1 * (a2 - a4);
    const float h2r = -c2 * (a2 + a4);
    const float h2i = c2 * (a1 - a3);
    a[2 * k] = static_cast<float>(h1r + wr * h2r - wi * h2i);
    a[2 * k + 1] = static_cast<float>(h1i + wr * h2i + wi * h2r);
    a[2 * p] = static_cast<float>(h1r - wr * h2r + wi * h2i);
    a[2 * p + 1] = static_cast<float>(-h1i + wr * h2i + wi * h2r);
  }
  if (nn >= 2) {  // the middle point is left as it is
    a[2 * quarter] = in.re_at(quarter);
    a[2 * quarter + 1] = in.im_at(quarter);
  }
  const float h1r = in.re_at(0);
  const float a1 = in.im_at(0);
  a[0] = c1 * (h1r + a1);
  a[1] = c1 * (h1r - a1);
}

#if XRDF_HAVE_X86
// Four floats widened to double from memory: on processors such as AMD's
// Zen 3 the widening of a register shares one unit with the narrowing and the
// moves between register halves, one a cycle, where the widening of a load
// runs beside them.
XRDF_AVX2 inline __m256d widen4(const float* p) { return _mm256_cvtps_pd(_mm_load_ps(p)); }

// The real transform's split loop for four points k (x, the real and
// imaginary parts) and their partners nn - k (y, in the same order as k):
//   h1r = c1 (x.re + y.re)     h1i = c1 (x.im - y.im)
//   h2r = f2r (x.im + y.im)    h2i = f2i (x.re - y.re)
// with f2r = -c2 and f2i = c2 (forward +0.5 and -0.5, backward the other way
// round), then in double the values at k (o1, o2) and at the partners (o3,
// o4, turned round so that they lie in memory order from nn - k - 3 on).
struct split4 {
  __m128 o1, o2, o3, o4;
};
XRDF_AVX2 inline split4 split4_avx2(__m128 x_re, __m128 x_im, __m128 y_re, __m128 y_im, __m128 f2r, __m128 f2i,
                                     const double* wrp, const double* wip) {
  const __m128 c1 = _mm_set1_ps(0.5f);
  const __m256d sign = _mm256_set1_pd(-0.0);
  alignas(16) float h[16];
  _mm_store_ps(h, _mm_mul_ps(c1, _mm_add_ps(x_re, y_re)));
  _mm_store_ps(h + 4, _mm_mul_ps(c1, _mm_sub_ps(x_im, y_im)));
  _mm_store_ps(h + 8, _mm_mul_ps(f2r, _mm_add_ps(x_im, y_im)));
  _mm_store_ps(h + 12, _mm_mul_ps(f2i, _mm_sub_ps(x_re, y_re)));
  const __m256d h1r = widen4(h), h1i = widen4(h + 4), h2r = widen4(h + 8), h2i = widen4(h + 12);
  const __m256d wr = _mm256_loadu_pd(wrp), wi = _mm256_loadu_pd(wip);
  const __m256d wr_h2r = _mm256_mul_pd(wr, h2r), wi_h2i = _mm256_mul_pd(wi, h2i);
  const __m256d wr_h2i = _mm256_mul_pd(wr, h2i), wi_h2r = _mm256_mul_pd(wi, h2r);
  const __m128 o3 = _mm256_cvtpd_ps(_mm256_add_pd(_mm256_sub_pd(h1r, wr_h2r), wi_h2i));
  const __m128 o4 = _mm256_cvtpd_ps(_mm256_add_pd(_mm256_add_pd(_mm256_xor_pd(h1i, sign), wr_h2i), wi_h2r));
  return {_mm256_cvtpd_ps(_mm256_sub_pd(_mm256_add_pd(h1r, wr_h2r), wi_h2i)),
          _mm256_cvtpd_ps(_mm256_add_pd(_mm256_add_pd(h1i, wr_h2i), wi_h2r)), _mm_shuffle_ps(o3, o3, 0x1B),
          _mm_shuffle_ps(o4, o4, 0x1B)};
}
#endif

#if XRDF_HAVE_X86
// Four floats of a spectrum from frequency j on, those from `kept` on taken as 0.
XRDF_AVX2 inline __m128 spectrum4(const float* v, int j, int kept) {
  if (j + 4 <= kept) return _mm_loadu_ps(v + j);
  if (j >= kept) return _mm_setzero_ps();
  const __m128i lane = _mm_setr_epi32(0, 1, 2, 3);
  const __m128i mask = _mm_cmpgt_epi32(_mm_set1_epi32(kept - j), lane);
  return _mm_maskload_ps(v + j, mask);
}

// split_backward_tail four points k at a time (the partners nn - k read and
// written in reverse order), then the same scalar code for the rest.
XRDF_AVX2 void split_backward_avx2(const float* re, const float* im, int kept, float* a, int n) {
  const int nn = n >> 1;
  const int quarter = n >> 2;
  const split_table& t = split_for(n, -1);
  const __m128 minus_c2 = _mm_set1_ps(-0.5f), c2 = _mm_set1_ps(0.5f);
  int k = 1;
  for (; k + 3 < quarter; k += 4) {
    const int p = nn - k - 3;  // partners of k+3 .. k, ascending
    const __m128 p3 = spectrum4(re, p, kept), p4 = spectrum4(im, p, kept);
    const split4 o = split4_avx2(spectrum4(re, k, kept), spectrum4(im, k, kept), _mm_shuffle_ps(p3, p3, 0x1B),
                                 _mm_shuffle_ps(p4, p4, 0x1B), minus_c2, c2, t.wr.data() + k, t.wi.data() + k);
    _mm_storeu_ps(a + 2 * k, _mm_unpacklo_ps(o.o1, o.o2));
    _mm_storeu_ps(a + 2 * k + 4, _mm_unpackhi_ps(o.o1, o.o2));
    _mm_storeu_ps(a + 2 * p, _mm_unpacklo_ps(o.o3, o.o4));
    _mm_storeu_ps(a + 2 * p + 4, _mm_unpackhi_ps(o.o3, o.o4));
  }
  split_backward_tail(spectrum_in{re, im, 1, kept}, a, n, k);
}

// out[2k], out[2k+1] = xr[k], xi[k] times scale (in double, rounded to float),
// four points at a time; returns the points done.
XRDF_AVX2 int scale_interleave_avx2(const float* xr, const float* xi, int nn, double scale, float* out) {
  const __m256d f = _mm256_set1_pd(scale);
  int k = 0;
  for (; k + 4 <= nn; k += 4) {
    const __m128 r = _mm256_cvtpd_ps(_mm256_mul_pd(_mm256_cvtps_pd(_mm_loadu_ps(xr + k)), f));
    const __m128 i = _mm256_cvtpd_ps(_mm256_mul_pd(_mm256_cvtps_pd(_mm_loadu_ps(xi + k)), f));
    _mm_storeu_ps(out + 2 * k, _mm_unpacklo_ps(r, i));
    _mm_storeu_ps(out + 2 * k + 4, _mm_unpackhi_ps(r, i));
  }
  return k;
}
#endif

#if XRDF_HAVE_X86
// split_backward_tail eight points k at a time, from separate arrays with
// every frequency kept (the partners nn - k read and written in reverse order).
XRDF_AVX512 void split_backward_avx512(const float* re, const float* im, float* a, int n) {
  const int nn = n >> 1;
  const int quarter = n >> 2;
  const split_table& t = split_for(n, -1);
  const double* twr = t.wr.data();
  const double* twi = t.wi.data();
  const __m256 c1 = _mm256_set1_ps(0.5f);        // c1, and c2
  const __m256 minus_c2 = _mm256_set1_ps(-0.5f);  // -c2
  const __m512d sign = _mm512_set1_pd(-0.0);
  const __m256i reverse = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
  const __m512i pairs = _mm512_setr_epi32(0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23);
  const __m512i pairs_reversed = _mm512_setr_epi32(7, 23, 6, 22, 5, 21, 4, 20, 3, 19, 2, 18, 1, 17, 0, 16);
  int k = 1;
  for (; k + 7 < quarter; k += 8) {
    const int p = nn - k - 7;  // partners of k+7 .. k, ascending
    const __m256 a1 = _mm256_loadu_ps(re + k), a2 = _mm256_loadu_ps(im + k);
    const __m256 a3 = _mm256_permutevar8x32_ps(_mm256_loadu_ps(re + p), reverse);
    const __m256 a4 = _mm256_permutevar8x32_ps(_mm256_loadu_ps(im + p), reverse);
    const __m512d h1r = _mm512_maskz_cvtps_pd(0xFF, _mm256_mul_ps(c1, _mm256_add_ps(a1, a3)));
    const __m512d h1i = _mm512_maskz_cvtps_pd(0xFF, _mm256_mul_ps(c1, _mm256_sub_ps(a2, a4)));
    const __m512d h2r = _mm512_maskz_cvtps_pd(0xFF, _mm256_mul_ps(minus_c2, _mm256_add_ps(a2, a4)));
    const __m512d h2i = _mm512_maskz_cvtps_pd(0xFF, _mm256_mul_ps(c1, _mm256_sub_ps(a1, a3)));
    const __m512d wr = _mm512_loadu_pd(twr + k), wi = _mm512_loadu_pd(twi + k);
    const __m512d wr_h2r = _mm512_mul_pd(wr, h2r), wi_h2i = _mm512_mul_pd(wi, h2i);
    const __m512d wr_h2i = _mm512_mul_pd(wr, h2i), wi_h2r = _mm512_mul_pd(wi, h2r);
    const __m256 o1 = to_float(_mm512_sub_pd(_mm512_add_pd(h1r, wr_h2r), wi_h2i));
    const __m256 o2 = to_float(_mm512_add_pd(_mm512_add_pd(h1i, wr_h2i), wi_h2r));
    const __m256 o3 = to_float(_mm512_add_pd(_mm512_sub_pd(h1r, wr_h2r), wi_h2i));
    const __m256 o4 = to_float(
        _mm512_add_pd(_mm512_add_pd(_mm512_castsi512_pd(_mm512_xor_si512(_mm512_castpd_si512(h1i),
                                                                         _mm512_castpd_si512(sign))),
                                    wr_h2i),
                      wi_h2r));
    _mm512_storeu_ps(a + 2 * k, _mm512_permutex2var_ps(_mm512_castps256_ps512(o1), pairs, _mm512_castps256_ps512(o2)));
    _mm512_storeu_ps(a + 2 * p,
                     _mm512_permutex2var_ps(_mm512_castps256_ps512(o3), pairs_reversed, _mm512_castps256_ps512(o4)));
  }
  split_backward_tail(spectrum_in{re, im, 1, nn}, a, n, k);
}

// out[2k], out[2k+1] = xr[k], xi[k] times scale (in double, rounded to float),
// sixteen points at a time; returns the points done.
XRDF_AVX512 int scale_interleave_avx512(const float* xr, const float* xi, int nn, double scale, float* out) {
  const __m512d f = _mm512_set1_pd(scale);
  const __m512i pairs = _mm512_setr_epi32(0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23);
  int k = 0;
  for (; k + 8 <= nn; k += 8) {
    const __m256 r = to_float(_mm512_mul_pd(_mm512_maskz_cvtps_pd(0xFF, _mm256_loadu_ps(xr + k)), f));
    const __m256 i = to_float(_mm512_mul_pd(_mm512_maskz_cvtps_pd(0xFF, _mm256_loadu_ps(xi + k)), f));
    _mm512_storeu_ps(out + 2 * k, _mm512_permutex2var_ps(_mm512_castps256_ps512(r), pairs, _mm512_castps256_ps512(i)));
  }
  return k;
}
#endif

// Where the forward real transform puts frequency j: its real part at
// re[j * stride], its imaginary part at im[j * stride] (the packed array is
// re = a, im = a + 1, stride 2).
struct spectrum_out {
  float* re;
  float* im;
  int stride;
};

// The real transform's split loop run forward (c2 = -0.5), reading the
// complex result from the split arrays (re, im) and writing the real
// transform to out; the points k >= k_from of the loop, then the middle point
// (left as it is) and frequency 0 with the Nyquist value.
void split_forward_tail(const float* re, const float* im, spectrum_out out, int n, int k_from) {
  const int nn = n >> 1;
  const split_table& t = split_for(n, 1);
  const float c1 = 0.5f;
  const float c2 = -0.5f;
  const int quarter = n >> 2;
  const int s = out.stride;
  for (int k = k_from; k < quarter; ++k) {
    const int p = nn - k;
    const double wr = t.wr[static_cast<std::size_t>(k)];
    const double wi = t.wi[static_cast<std::size_t>(k)];
    const float h1r = c1 * (re[k] + re[p]);
    const float h1i = c1 * (im[k] - im[p]);
    const float h2r = -c2 * (im[k] + im[p]);
    const float h2i = c2 * (re[k] - re[p]);
    out.re[s * k] = static_cast<float>(h1r + wr * h2r - wi * h2i);
    out.im[s * k] = static_cast<float>(h1i + wr * h2i + wi * h2r);
    out.re[s * p] = static_cast<float>(h1r - wr * h2r + wi * h2i);
    out.im[s * p] = static_cast<float>(-h1i + wr * h2i + wi * h2r);
  }
  if (nn >= 2) {  // the middle point is left as it is
    out.re[s * quarter] = re[quarter];
    out.im[s * quarter] = im[quarter];
  }
  const float h1r = re[0];
  out.re[0] = h1r + im[0];
  out.im[0] = h1r - im[0];
}

#if XRDF_HAVE_X86
// split_forward_tail, four points k at a time (the partners nn - k read and
// written in reverse order), then the same scalar code for the rest.
XRDF_AVX2 void split_forward_avx2(const float* re, const float* im, spectrum_out out, int n) {
  const int nn = n >> 1;
  const int quarter = n >> 2;
  const split_table& t = split_for(n, 1);
  const __m128 minus_c2 = _mm_set1_ps(0.5f), c2 = _mm_set1_ps(-0.5f);
  int k = 1;
  for (; k + 3 < quarter; k += 4) {
    const int p = nn - k - 3;  // partners of k+3 .. k, ascending
    const __m128 yr = _mm_loadu_ps(re + p), yi = _mm_loadu_ps(im + p);
    const split4 o = split4_avx2(_mm_loadu_ps(re + k), _mm_loadu_ps(im + k), _mm_shuffle_ps(yr, yr, 0x1B),
                                 _mm_shuffle_ps(yi, yi, 0x1B), minus_c2, c2, t.wr.data() + k, t.wi.data() + k);
    if (out.stride == 2) {
      _mm_storeu_ps(out.re + 2 * k, _mm_unpacklo_ps(o.o1, o.o2));
      _mm_storeu_ps(out.re + 2 * k + 4, _mm_unpackhi_ps(o.o1, o.o2));
      _mm_storeu_ps(out.re + 2 * p, _mm_unpacklo_ps(o.o3, o.o4));
      _mm_storeu_ps(out.re + 2 * p + 4, _mm_unpackhi_ps(o.o3, o.o4));
    } else {
      _mm_storeu_ps(out.re + k, o.o1);
      _mm_storeu_ps(out.im + k, o.o2);
      _mm_storeu_ps(out.re + p, o.o3);
      _mm_storeu_ps(out.im + p, o.o4);
    }
  }
  split_forward_tail(re, im, out, n, k);
}
#endif

#if XRDF_HAVE_X86
// split_forward_avx2 eight points k at a time, in double eight wide.
XRDF_AVX512 void split_forward_avx512(const float* re, const float* im, spectrum_out out, int n) {
  const int nn = n >> 1;
  const int quarter = n >> 2;
  const split_table& t = split_for(n, 1);
  const double* twr = t.wr.data();
  const double* twi = t.wi.data();
  const __m256 c1 = _mm256_set1_ps(0.5f);   // c1, and -c2
  const __m256 c2 = _mm256_set1_ps(-0.5f);  // c2
  const __m512d sign = _mm512_set1_pd(-0.0);
  const __m256i reverse = _mm256_setr_epi32(7, 6, 5, 4, 3, 2, 1, 0);
  // Interleaves (re, im) of eight points, in order and in reverse order.
  const __m512i pairs = _mm512_setr_epi32(0, 16, 1, 17, 2, 18, 3, 19, 4, 20, 5, 21, 6, 22, 7, 23);
  const __m512i pairs_reversed = _mm512_setr_epi32(7, 23, 6, 22, 5, 21, 4, 20, 3, 19, 2, 18, 1, 17, 0, 16);
  int k = 1;
  for (; k + 7 < quarter; k += 8) {
    const int p = nn - k - 7;  // partners of k+7 .. k, ascending
    const __m256 ar = _mm256_loadu_ps(re + k), ai = _mm256_loadu_ps(im + k);
    const __m256 br = _mm256_permutevar8x32_ps(_mm256_loadu_ps(re + p), reverse);
    const __m256 bi = _mm256_permutevar8x32_ps(_mm256_loadu_ps(im + p), reverse);
    const __m512d h1r = _mm512_maskz_cvtps_pd(0xFF, _mm256_mul_ps(c1, _mm256_add_ps(ar, br)));
    const __m512d h1i = _mm512_maskz_cvtps_pd(0xFF, _mm256_mul_ps(c1, _mm256_sub_ps(ai, bi)));
    const __m512d h2r = _mm512_maskz_cvtps_pd(0xFF, _mm256_mul_ps(c1, _mm256_add_ps(ai, bi)));
    const __m512d h2i = _mm512_maskz_cvtps_pd(0xFF, _mm256_mul_ps(c2, _mm256_sub_ps(ar, br)));
    const __m512d wr = _mm512_loadu_pd(twr + k), wi = _mm512_loadu_pd(twi + k);
    const __m512d wr_h2r = _mm512_mul_pd(wr, h2r), wi_h2i = _mm512_mul_pd(wi, h2i);
    const __m512d wr_h2i = _mm512_mul_pd(wr, h2i), wi_h2r = _mm512_mul_pd(wi, h2r);
    const __m256 o1 = to_float(_mm512_sub_pd(_mm512_add_pd(h1r, wr_h2r), wi_h2i));
    const __m256 o2 = to_float(_mm512_add_pd(_mm512_add_pd(h1i, wr_h2i), wi_h2r));
    const __m256 o3 = to_float(_mm512_add_pd(_mm512_sub_pd(h1r, wr_h2r), wi_h2i));
    const __m256 o4 = to_float(
        _mm512_add_pd(_mm512_add_pd(_mm512_castsi512_pd(_mm512_xor_si512(_mm512_castpd_si512(h1i),
                                                                         _mm512_castpd_si512(sign))),
                                    wr_h2i),
                      wi_h2r));
    if (out.stride == 2) {
      _mm512_storeu_ps(out.re + 2 * k, _mm512_permutex2var_ps(_mm512_castps256_ps512(o1), pairs,
                                                              _mm512_castps256_ps512(o2)));
      _mm512_storeu_ps(out.re + 2 * p, _mm512_permutex2var_ps(_mm512_castps256_ps512(o3), pairs_reversed,
                                                              _mm512_castps256_ps512(o4)));
    } else {
      _mm256_storeu_ps(out.re + k, o1);
      _mm256_storeu_ps(out.im + k, o2);
      _mm256_storeu_ps(out.re + p, _mm256_permutevar8x32_ps(o3, reverse));
      _mm256_storeu_ps(out.im + p, _mm256_permutevar8x32_ps(o4, reverse));
    }
  }
  split_forward_tail(re, im, out, n, k);
}
#endif

// The forward real transform of the n floats in[0 .. limit-1] followed by
// zeros, into out.
void forward_into(const float* in, int limit, int n, spectrum_out out) {
  const int nn = n >> 1;
  float* re = scratch_re(nn);
  float* im = ws.im.data();
  reverse_and_transform(in, limit, re, im, nn, 1);
#if XRDF_HAVE_X86
  if (use_avx512(nn)) {
    split_forward_avx512(re, im, out, n);
    return;
  }
  if (use_avx2(nn)) {
    split_forward_avx2(re, im, out, n);
    return;
  }
#endif
  split_forward_tail(re, im, out, n, 1);
}

}  // namespace

bool avx2_supported() { return cpu_has_avx2(); }

const char* path_name(path p) {
  switch (p) {
    case path::portable: return "portable";
    case path::avx2: return "avx2";
    case path::avx512: return "avx512";
    case path::automatic: break;
  }
  return "automatic";
}

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
  reverse_and_transform(a, 2 * nn, re, im, nn, isign);
  interleave(re, im, a, nn);
}

void real_transform(float* a, int n, int isign) {
  if (n < 2) return;
  if (isign == 1) {
    forward_into(a, n, n, spectrum_out{a, a + 1, 2});
  } else {
    split_backward_tail(spectrum_in{a, a + 1, 2, n >> 1}, a, n, 1);
    complex_transform(a, n >> 1, -1);
  }
}

void real_forward(const float* in, int count, int n, float* re, float* im) {
  if (n < 2) return;
  forward_into(in, count < n ? count : n, n, spectrum_out{re, im, 1});
}

void real_backward(const float* re, const float* im, int kept, int n, double scale, float* out) {
  if (n < 2) return;
  const int nn = n >> 1;
  if (kept > nn) kept = nn;
  if (kept < 0) kept = 0;
  if (ws.packed.size() < static_cast<std::size_t>(n)) ws.packed.resize(static_cast<std::size_t>(n));
  float* a = ws.packed.data();
#if XRDF_HAVE_X86
  if (kept == nn && use_avx512(nn))
    split_backward_avx512(re, im, a, n);
  else if (use_avx2(nn))
    split_backward_avx2(re, im, kept, a, n);
  else
#endif
    split_backward_tail(spectrum_in{re, im, 1, kept}, a, n, 1);
  float* xr = scratch_re(nn);
  float* xi = ws.im.data();
  reverse_and_transform(a, n, xr, xi, nn, -1);
  int k = 0;
#if XRDF_HAVE_X86
  if (use_avx512(nn))
    k = scale_interleave_avx512(xr, xi, nn, scale, out);
  else if (use_avx2(nn))
    k = scale_interleave_avx2(xr, xi, nn, scale, out);
#endif
  for (; k < nn; ++k) {
    out[2 * k] = static_cast<float>(xr[k] * scale);
    out[2 * k + 1] = static_cast<float>(xi[k] * scale);
  }
}

}  // namespace fft_kernel
