#pragma once

#include "core/my_vec.h"

using float_vec = my_vec<float, double>;

// Base of the Fourier family: the forward transform of a real
// profile and the inverse with a cut-off.
//
// Frequency j = 0 .. M-1 of a transform of length N = 2M is at re[j], im[j],
// with F(j) = sum_t y(t) exp(+2 pi i j t / N); im[0] holds the real value at
// the Nyquist frequency N/2, not an imaginary part.
class fft_3 {
 public:
  fft_3() = default;
  fft_3(const fft_3&) = default;
  fft_3& operator=(const fft_3&) = default;
  virtual ~fft_3() = default;

  // Length rule: m is the smallest power of two not below cnt (at least 2),
  // N = m * 2^doubling. A negative exponent counts as 0; the result is capped
  // at 2^30.
  static int transform_length(int cnt, int doubling);

  // Forward transform of input (any first index) with the doubling exponent:
  // re and im get M = N / 2 values each, first index 0.
  void forward(const float_vec& input, int doubling_exponent);

  // Inverse with cut-off: frequencies j <= kc of (re, im) are kept, the others
  // taken as 0; out gets the 2M samples times 2 / (2M), first index 0. The
  // two vectors must have the same length M >= 1 (otherwise out is emptied);
  // an M that is no power of two is completed with zero frequencies.
  static void inverse(const float_vec& re, const float_vec& im, float_vec& out, int kc);
  // The inverse of the object's own re, im into inv.
  void inverse(int kc) { inverse(re, im, inv, kc); }

  // Number of frequency points of the last forward transform.
  int frequency_count() const { return re.count(); }

  float_vec re;   // real parts, j = 0 .. M-1
  float_vec im;   // imaginary parts (im[0]: the Nyquist value)
  float_vec inv;  // the last inverse transform
  int doubling = 0;
};
