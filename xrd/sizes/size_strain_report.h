#pragma once

#include <string>
#include <vector>

#include "xrd/sizes/line_analysis.h"
#include "xrd/sizes/size_strain.h"

// The results of a size-strain analysis as a text: the summary lines first,
// in fixed forms that other programs read (summary_line: a figure and its
// unit, or "not determined (REASON)"),
//   Area-weighted mean column length = %.1f A
//   Volume-weighted mean column length = %.1f A
//   Scherrer size (integral breadth) = %.1f A      (two orders: "... of FILE", once per line)
//   Reconvolution R = %.2f %                       (once per line)
//   RMS strain at L = %.0f A = %.2e                (two orders: at ⟨L⟩area / 2)
//   RMS strain at L = 50 A = %.2e                  (two orders)
// Neither length is given when ⟨L⟩area exceeds ⟨L⟩vol, nor from two orders
// whose A^S(L) rises above 1; the strain at half the length then reads
// "RMS strain at half the area-weighted length = not determined (...)".
// Then what each line's analysis used and found (frequency limit and its
// signal-to-noise, the fitted range, the widths, warnings), and the table of
// L, A1 [, A2, AS, eps_rms] in the xy report's field layout, "none" where a
// row has no figure (no rms strain where ⟨ε²⟩ is not above 0) and A^S above
// 1 marked "*". `lines` holds one analysis per order; `pair` is the
// two-order analysis when there are two; `names` are "SAMPLE / REFERENCE".
std::string size_strain_text(const std::vector<std::string>& names, const std::vector<line_analysis>& lines,
                             const warren_averbach_result* pair);
