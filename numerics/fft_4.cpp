#include "numerics/fft_4.h"

#include <cmath>
#include <numbers>

namespace {
void size_to(float_vec& v, int m) {
  if (m < 1) {
    v.free_storage();
  } else {
    v.allocate(m);
  }
  v.rebase(0);
}
}  // namespace

void fft_4::shift(double p) {
  const int m = re.count();
  size_to(shifted_re, m);
  size_to(shifted_im, m);
  size_to(modulus, m);
  if (m < 1) return;
  const float* r = re.data();
  const float* i = im.data();
  const double step = p * 2.0 * std::numbers::pi / (2.0 * m);
  for (int j = 0; j < m; ++j) {
    const double a = j * step;
    const double c = std::cos(a);
    const double s = std::sin(a);
    const float sr = static_cast<float>(r[j] * c - i[j] * s);
    const float si = static_cast<float>(i[j] * c + r[j] * s);
    shifted_re[j] = sr;
    shifted_im[j] = si;
    modulus[j] = static_cast<float>(std::sqrt(static_cast<double>(sr) * sr + static_cast<double>(si) * si));
  }
}
