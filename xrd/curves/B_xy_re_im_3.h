#pragma once

#include <memory>

#include "numerics/fft_3.h"
#include "xrd/curves/xy_data_3.h"

// A display of a transform (or of a quotient of transforms) whose family
// shares one scale: the real part is scaled so that its largest value reads
// 100, and the imaginary part and the modulus take the same factor.
class B_xy_re_im_3 : public xy_data_for_3 {
 public:
  // 100 / the largest value of v, that value kept at least 1e-9 in
  // magnitude; 1 for an empty vector.
  static double scale_to_100(const float_vec& v);

  // The family's factor for the source vector v of that stamp (the chain's
  // run count): computed again when the stamp has moved or it is still 0,
  // so that a display shown alone never takes a factor of older data.
  double factor_for(const float_vec& v, int stamp);

  double factor = 0.0;
  int factor_stamp = -1;
};
