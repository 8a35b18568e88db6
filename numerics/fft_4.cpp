#include "numerics/fft_4.h"

#include <bit>
#include <cmath>
#include <numbers>

#include "numerics/size_for_overwrite.h"
#include "numerics/spectrum_kernel.h"

void fft_4::shift(double p) {
  const int m = re.count();
  size_for_overwrite(shifted_re, m);
  size_for_overwrite(shifted_im, m);
  size_for_overwrite(modulus, m);
  if (m < 1) return;
  const double step = p * 2.0 * std::numbers::pi / (2.0 * m);
  // The same step to the bit gives the same angles (a step of -0 is not one
  // of +0: sin(-0) is -0).
  const std::uint64_t step_bits = std::bit_cast<std::uint64_t>(step);
  if (angles_m_ != m || angles_step_bits_ != step_bits) {
    cos_a_.resize(static_cast<std::size_t>(m));
    sin_a_.resize(static_cast<std::size_t>(m));
    for (int j = 0; j < m; ++j) {
      const double a = j * step;
      cos_a_[static_cast<std::size_t>(j)] = std::cos(a);
      sin_a_[static_cast<std::size_t>(j)] = std::sin(a);
    }
    angles_m_ = m;
    angles_step_bits_ = step_bits;
  }
  spectrum_kernel::rotate(re.data(), im.data(), cos_a_.data(), sin_a_.data(), m, shifted_re.data(), shifted_im.data(),
                          modulus.data());
}
