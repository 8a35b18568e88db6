#include "app/analysis/size_coefficients_plot.h"

#include "app/analysis/size_strain_command.h"
#include "xrd/chain/show_bits.h"

std::uint32_t size_coefficients_plot::show_mask() const { return show_bits::coefficients; }

void size_coefficients_plot::draw(TDrawView& view, plot_surface& s) { draw_size_coefficients(view, s); }

std::string size_coefficients_plot::legend_name(TDrawView&) const { return "size part A^S(L)"; }
