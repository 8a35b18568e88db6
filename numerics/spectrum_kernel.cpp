#include "numerics/spectrum_kernel.h"

#include <cmath>

#include "numerics/fft_kernel.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define XRDF_SPECTRUM_X86 1
#else
#define XRDF_SPECTRUM_X86 0
#endif

namespace spectrum_kernel {
namespace {

// The scalar forms: the reference for the vector ones, and their tails.
inline void rotate_one(float r, float i, double c, double s, float& sr, float& si, float& mod) {
  const float a = static_cast<float>(r * c - i * s);
  const float b = static_cast<float>(i * c + r * s);
  sr = a;
  si = b;
  mod = static_cast<float>(std::sqrt(static_cast<double>(a) * a + static_cast<double>(b) * b));
}

inline void divide_one(float a, float b, double u, double v, double smallest, float vanished, float& qr, float& qi,
                       float& qmod) {
  const double q = u * u + v * v;
  float r = vanished;
  float i = vanished;
  if (q >= smallest) {
    r = static_cast<float>((a * u + b * v) / q);
    i = static_cast<float>((b * u - a * v) / q);
  }
  qr = r;
  qi = i;
  qmod = static_cast<float>(std::sqrt(static_cast<double>(r) * r + static_cast<double>(i) * i));
}

void rotate_portable(const float* re, const float* im, const double* c, const double* s, int from, int m, float* sr,
                     float* si, float* mod) {
  for (int j = from; j < m; ++j) rotate_one(re[j], im[j], c[j], s[j], sr[j], si[j], mod[j]);
}

void divide_portable(const float* a, const float* b, const double* u, const double* v, int from, int count,
                     double smallest, float vanished, float* qr, float* qi, float* qmod) {
  for (int i = from; i < count; ++i) divide_one(a[i], b[i], u[i], v[i], smallest, vanished, qr[i], qi[i], qmod[i]);
}

#if XRDF_SPECTRUM_X86
#define XRDF_SPECTRUM_AVX2 __attribute__((target("avx2")))
#define XRDF_SPECTRUM_AVX512 __attribute__((target("avx512f,avx2")))

// Four frequencies at a time.
XRDF_SPECTRUM_AVX2 int rotate_avx2(const float* re, const float* im, const double* cs, const double* sn, int m,
                                   float* sr, float* si, float* mod) {
  int j = 0;
  for (; j + 4 <= m; j += 4) {
    const __m256d r = _mm256_cvtps_pd(_mm_loadu_ps(re + j));
    const __m256d i = _mm256_cvtps_pd(_mm_loadu_ps(im + j));
    const __m256d c = _mm256_loadu_pd(cs + j);
    const __m256d s = _mm256_loadu_pd(sn + j);
    const __m128 a = _mm256_cvtpd_ps(_mm256_sub_pd(_mm256_mul_pd(r, c), _mm256_mul_pd(i, s)));
    const __m128 b = _mm256_cvtpd_ps(_mm256_add_pd(_mm256_mul_pd(i, c), _mm256_mul_pd(r, s)));
    const __m256d ad = _mm256_cvtps_pd(a);
    const __m256d bd = _mm256_cvtps_pd(b);
    const __m256d sum = _mm256_add_pd(_mm256_mul_pd(ad, ad), _mm256_mul_pd(bd, bd));
    _mm_storeu_ps(sr + j, a);
    _mm_storeu_ps(si + j, b);
    _mm_storeu_ps(mod + j, _mm256_cvtpd_ps(_mm256_sqrt_pd(sum)));
  }
  return j;
}

// The guard value goes through double (it is a float, so it comes back the
// same) to be blended with the quotients before their rounding.
XRDF_SPECTRUM_AVX2 int divide_avx2(const float* a, const float* b, const double* u, const double* v, int count,
                                   double smallest, float vanished, float* qr, float* qi, float* qmod) {
  const __m256d low = _mm256_set1_pd(smallest);
  const __m256d guard = _mm256_set1_pd(vanished);
  int i = 0;
  for (; i + 4 <= count; i += 4) {
    const __m256d ad = _mm256_cvtps_pd(_mm_loadu_ps(a + i));
    const __m256d bd = _mm256_cvtps_pd(_mm_loadu_ps(b + i));
    const __m256d ud = _mm256_loadu_pd(u + i);
    const __m256d vd = _mm256_loadu_pd(v + i);
    const __m256d q = _mm256_add_pd(_mm256_mul_pd(ud, ud), _mm256_mul_pd(vd, vd));
    const __m256d ok = _mm256_cmp_pd(q, low, _CMP_GE_OQ);
    const __m256d r = _mm256_div_pd(_mm256_add_pd(_mm256_mul_pd(ad, ud), _mm256_mul_pd(bd, vd)), q);
    const __m256d im = _mm256_div_pd(_mm256_sub_pd(_mm256_mul_pd(bd, ud), _mm256_mul_pd(ad, vd)), q);
    const __m128 rf = _mm256_cvtpd_ps(_mm256_blendv_pd(guard, r, ok));
    const __m128 imf = _mm256_cvtpd_ps(_mm256_blendv_pd(guard, im, ok));
    const __m256d rd = _mm256_cvtps_pd(rf);
    const __m256d id = _mm256_cvtps_pd(imf);
    _mm_storeu_ps(qr + i, rf);
    _mm_storeu_ps(qi + i, imf);
    _mm_storeu_ps(qmod + i, _mm256_cvtpd_ps(_mm256_sqrt_pd(_mm256_add_pd(_mm256_mul_pd(rd, rd), _mm256_mul_pd(id, id)))));
  }
  return i;
}
#endif

}  // namespace

void rotate(const float* re, const float* im, const double* cos_a, const double* sin_a, int m, float* sr, float* si,
            float* mod) {
  int done = 0;
#if XRDF_SPECTRUM_X86
  if (fft_kernel::active_path() != fft_kernel::path::portable) done = rotate_avx2(re, im, cos_a, sin_a, m, sr, si, mod);
#endif
  rotate_portable(re, im, cos_a, sin_a, done, m, sr, si, mod);
}

void divide(const float* a, const float* b, const double* u, const double* v, int count, double smallest,
            float vanished, float* qr, float* qi, float* qmod) {
  int done = 0;
#if XRDF_SPECTRUM_X86
  if (fft_kernel::active_path() != fft_kernel::path::portable)
    done = divide_avx2(a, b, u, v, count, smallest, vanished, qr, qi, qmod);
#endif
  divide_portable(a, b, u, v, done, count, smallest, vanished, qr, qi, qmod);
}

}  // namespace spectrum_kernel
