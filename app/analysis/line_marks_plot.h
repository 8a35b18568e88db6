#pragma once

#include <cstdint>

#include "app/views/view_hooks.h"

// The lines a whole-pattern analysis found, marked with their hkl over the
// pattern while a graph view shows its measured profile.
class line_marks_plot : public view_plot {
 public:
  std::uint32_t show_mask() const override;
  void draw(TDrawView& view, plot_surface& s) override;
};
