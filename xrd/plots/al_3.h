#pragma once

#include <cstdint>
#include <memory>

#include "xrd/plots/B_br_freq_plot_xy_3.h"
#include "xrd/plots/plot_view.h"
#include "xrd/curves/xy_data_3.h"

// Draws the Fourier coefficients A(L) of the file's quotient by its
// reference (node "al"), as the size-strain analysis reads them.
class al_3 : public B_br_freq_plot_xy_3 {
 public:
  const char* class_name() const override { return "al"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
  const char* xy_name() const override { return "xy_al"; }
  std::uint32_t show_mask() const override { return show_bits::coefficients; }
  const char* caption() const override { return "A(L)"; }

 protected:
  bool recompute(plot_view& view, xy_data_for_3& xy) override;
};
