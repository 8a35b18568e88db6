#pragma once

#include <string>
#include <vector>

#include "xrd/sizes/line_analysis.h"
#include "xrd/sizes/size_strain.h"

// The results of a size-strain analysis as a text: the summary lines first,
// in fixed forms that other programs read,
//   Area-weighted mean column length = %.1f A
//   Volume-weighted mean column length = %.1f A
//   Scherrer size (integral breadth) = %.1f A
//   Reconvolution R = %.2f %%                      (once per line)
//   RMS strain at L = %.0f A = %.2e                (two orders: at ⟨L⟩area / 2)
//   RMS strain at L = 50 A = %.2e                  (two orders)
// then what each line's analysis used and found (frequency limit and its
// signal-to-noise, the fitted range, the widths, warnings), and the table of
// L, A1 [, A2, AS, eps_rms] in the xy report's field layout. `lines` holds one
// analysis per order; `pair` is the two-order analysis when there are two.
std::string size_strain_text(const std::vector<std::string>& names, const std::vector<line_analysis>& lines,
                             const warren_averbach_result* pair);
