#pragma once

#include <cstdint>
#include <vector>

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

 private:
  // cos a and sin a of every frequency of the last shift, and the M and the
  // angle step they are for: a transform recomputed while the origin stays
  // where it was (every move of a drag that is not the origin's) turns by the
  // same angles, and the library's sine and cosine are the costly part.
  std::vector<double> cos_a_;
  std::vector<double> sin_a_;
  int angles_m_ = 0;
  std::uint64_t angles_step_bits_ = 0;
};
