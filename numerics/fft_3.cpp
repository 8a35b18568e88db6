#include "numerics/fft_3.h"

#include <vector>

#include "numerics/fft_kernel.h"

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
  const int cnt = input.count();
  const int n = transform_length(cnt, doubling_exponent);
  const int m = n / 2;
  // The packed array: the samples, then zeros.
  std::vector<float> packed(static_cast<std::size_t>(n), 0.0f);
  const float* samples = input.data();
  for (int i = 0; i < cnt && i < n; ++i) packed[static_cast<std::size_t>(i)] = samples[i];
  fft_kernel::real_transform(packed.data(), n, 1);
  re.allocate(m);
  im.allocate(m);
  re.rebase(0);
  im.rebase(0);
  for (int j = 0; j < m; ++j) {
    re[j] = packed[static_cast<std::size_t>(2 * j)];
    im[j] = packed[static_cast<std::size_t>(2 * j + 1)];
  }
}

void fft_3::inverse(const float_vec& re_in, const float_vec& im_in, float_vec& out, int kc) {
  const int m = re_in.count();
  if (m < 1 || im_in.count() != m) {
    out.free_storage();
    out.rebase(0);
    return;
  }
  // The transform needs a power of two; a length that is none (not made by
  // forward) is completed with zero frequencies.
  int n = 2;
  while (n < 2 * m) n *= 2;
  std::vector<float> packed(static_cast<std::size_t>(n), 0.0f);
  const float* r = re_in.data();
  const float* i = im_in.data();
  for (int j = 0; j < m && j <= kc; ++j) {
    packed[static_cast<std::size_t>(2 * j)] = r[j];
    packed[static_cast<std::size_t>(2 * j + 1)] = i[j];
  }
  fft_kernel::real_transform(packed.data(), n, -1);
  const double scale = 2.0 / n;
  out.allocate(n);
  out.rebase(0);
  for (int t = 0; t < n; ++t) out[t] = static_cast<float>(packed[static_cast<std::size_t>(t)] * scale);
}
