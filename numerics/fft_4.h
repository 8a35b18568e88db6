#pragma once

#include "numerics/fft_3.h"

// Second stage of the Fourier family: the transform with its phase
// origin moved, and its modulus.
class fft_4 : public fft_3 {
 public:
  // Moves the origin by p points: for every j, with a = j * p * 2 pi / (2M),
  // shifted re = re cos a - im sin a, shifted im = im cos a + re sin a,
  // modulus = sqrt(shifted re^2 + shifted im^2) (of the stored floats).
  void shift(double p);

  float_vec shifted_re;
  float_vec shifted_im;
  float_vec modulus;
};
