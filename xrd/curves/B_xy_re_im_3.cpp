#include "xrd/curves/B_xy_re_im_3.h"

#include "core/text_helpers.h"

double B_xy_re_im_3::scale_to_100(const float_vec& v) {
  if (v.count() == 0) return 1.0;
  const float* p = v.data();
  double largest = p[0];
  for (int i = 1; i < v.count(); ++i)
    if (p[i] > largest) largest = p[i];
  return 100.0 / at_least_magnitude(largest, 1e-9);
}

double B_xy_re_im_3::factor_for(const float_vec& v, int stamp) {
  if (factor == 0.0 || stamp != factor_stamp) {
    factor = scale_to_100(v);
    factor_stamp = stamp;
  }
  return factor;
}
