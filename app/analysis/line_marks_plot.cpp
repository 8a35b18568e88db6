#include "app/analysis/line_marks_plot.h"

#include "app/analysis/line_marks.h"
#include "xrd/chain/show_bits.h"

std::uint32_t line_marks_plot::show_mask() const { return show_bits::observed; }

void line_marks_plot::draw(TDrawView& view, plot_surface& s) { draw_line_marks(view, s); }
