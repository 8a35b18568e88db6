#include "numerics/fft_3.h"

#include "numerics/fft_kernel.h"
#include "numerics/size_for_overwrite.h"

namespace {
constexpr int max_length = 1 << 30;
}

int fft_3::transform_length(int cnt, int doubling_exponent) {
  int m = 2;
  while (cnt > m && m < max_length) m *= 2;
  for (int k = 0; k < doubling_exponent && m < max_length; ++k) m *= 2;
  return m;
}

void fft_3::forward(const float_vec& input, int doubling_exponent) {
  doubling = doubling_exponent;
  const int n = transform_length(input.count(), doubling_exponent);
  const int m = n / 2;
  // The input may be one of our own vectors: read it before resizing.
  if (&input == &re || &input == &im) {
    const float_vec copy = input;
    forward(copy, doubling_exponent);
    return;
  }
  size_for_overwrite(re, m);
  size_for_overwrite(im, m);
  fft_kernel::real_forward(input.data(), input.count(), n, re.data(), im.data());
}

void fft_3::inverse(const float_vec& re_in, const float_vec& im_in, float_vec& out, int kc) {
  const int m = re_in.count();
  if (m < 1 || im_in.count() != m) {
    out.free_storage();
    out.rebase(0);
    return;
  }
  if (&out == &re_in || &out == &im_in) {
    float_vec result;
    inverse(re_in, im_in, result, kc);
    out = result;
    return;
  }
  // The transform needs a power of two; a length that is none (not made by
  // forward) is completed with zero frequencies.
  int n = 2;
  while (n < 2 * m) n *= 2;
  const int kept = kc < 0 ? 0 : (kc >= m ? m : kc + 1);
  size_for_overwrite(out, n);
  fft_kernel::real_backward(re_in.data(), im_in.data(), kept, n, 2.0 / n, out.data());
}
