#pragma once

#include <cstdint>
#include <string>

#include "app/views/view_hooks.h"

// The size part A^S(L) of two orders of one reflection, drawn dashed over
// their Fourier coefficients while a graph view shows the family A(L).
class size_coefficients_plot : public view_plot {
 public:
  std::uint32_t show_mask() const override;
  void draw(TDrawView& view, plot_surface& s) override;
  std::string legend_name(TDrawView& view) const override;
  platform_types::pen_style legend_style() const override { return platform_types::pen_style::dash; }
};
