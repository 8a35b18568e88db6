#pragma once

#include <cstdint>

#include "core/ptr_class.h"
#include "numerics/fft_3.h"
#include "xrd/plots/plot_xy_3.h"

// A plot of a result of the Fourier chain. Its source stamp runs the chain's
// transform stages first, so a later stage never works on a stale transform.
class B_freq_plot_xy_3 : public plot_xy_3 {
 protected:
  std::uint64_t source_stamp(plot_view& view) override;
  // The factor of the family's normalised display (its node named
  // `scale_node`) for the source vector v of that stamp.
  double shared_factor(const char* scale_node, const float_vec& v, int stamp);

 private:
  ptr_class<assoc_class> scale_;
};
