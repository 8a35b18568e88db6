#pragma once

#include <string>
#include <vector>

#include "xrd/sizes/coefficient_spread.h"
#include "xrd/sizes/line_analysis.h"
#include "xrd/sizes/size_strain.h"

// The results of a size-strain analysis as a text: the summary lines first,
// in fixed forms that other programs read (summary_line: a figure with its
// standard uncertainty and unit, a bound, or "not determined (REASON)"),
//   Area-weighted mean column length = %.1f ± %.1f A   or  = not resolved (> %.1f A)
//   Volume-weighted mean column length = %.1f ± %.1f A  or  = > %.1f A (A(L) cut at the limit)
//   Scherrer size (integral breadth) = %.1f ± %.1f A    (two orders: "... of FILE", once per line)
//   Reconvolution R = %.2f %                           (once per line)
//   RMS strain at L = %.0f A = %.2e ± %.2e              (two orders: at ⟨L⟩area / 2; or
//   RMS strain at L = 50 A = %.2e ± %.2e                 "not resolved (< %.2e)")
// The uncertainties come with `spread` (none without it). A size is not
// resolved when its initial slope lies within two standard uncertainties
// of 0, or when the fit ends far short of the size it would give; the bound
// is then the largest size the pair could resolve. A strain is not resolved
// when ⟨ε²⟩ lies within two standard uncertainties of 0.
// Neither length is given when ⟨L⟩area exceeds ⟨L⟩vol, nor from two orders
// whose A^S(L) rises above 1 by more than twice its σ; the strain at half
// the length then reads
// "RMS strain at half the area-weighted length = not determined (...)".
// Then what each line's analysis used and found (frequency limit and its
// signal-to-noise, the fitted range, the widths, warnings), and the table of
// L, A1 [, A2, AS, eps_rms] in the xy report's field layout, "none" where a
// row has no figure (no rms strain where ⟨ε²⟩ is not above 0) and A^S above
// 1 marked "*". `lines` holds one analysis per order; `pair` is the
// two-order analysis when there are two; `names` are "SAMPLE / REFERENCE".
std::string size_strain_text(const std::vector<std::string>& names, const std::vector<line_analysis>& lines,
                             const warren_averbach_result* pair, const size_strain_spread* spread = nullptr);
