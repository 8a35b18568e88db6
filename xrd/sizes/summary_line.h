#pragma once

#include <string>
#include <string_view>

// One line of a results summary, in the forms other programs read:
//   LABEL = NUMBER[ ± UNCERTAINTY][ UNIT]
//   LABEL = > NUMBER[ UNIT]                    (a lower bound: at least this)
//   LABEL = not resolved (> NUMBER[ UNIT])     (the data cannot tell it from
//   LABEL = not resolved (< NUMBER[ UNIT])      none: larger, or smaller, than this)
//   LABEL = not determined (REASON)
// The uncertainty is a standard uncertainty, in the figure's unit. A number
// that is not finite, or one given with a reason, takes the last form: the
// summary never prints "nan" or "inf", and never a figure that the analysis
// knows to be meaningless.
struct summary_value {
  enum class kind { figure, lower_bound, not_resolved, not_determined };
  kind form = kind::not_determined;
  std::string number;       // the figure as printed; empty unless `form` is figure
  std::string uncertainty;  // its standard uncertainty as printed; empty when none is known
  std::string bound;        // "> 352.0", "< 1.2e-04" for a bound or a figure not resolved
  std::string reason;       // why there is no figure

  // `value` printed with `format`, or not determined for `why_not` when it is
  // not finite.
  static summary_value of(double value, const char* format, std::string_view why_not);
  // The same with "± u" when u is finite and above 0 (printed with `format` too).
  static summary_value of(double value, double u, const char* format, std::string_view why_not);
  // At least `value`: a figure known to be cut short.
  static summary_value at_least(double value, const char* format, std::string_view why_not);
  // The data do not resolve the figure; it lies above (`relation` '>') or
  // below ('<') `value`.
  static summary_value not_resolved(char relation, double value, const char* format, std::string_view why_not);
  static summary_value not_determined(std::string_view why);
};

// "LABEL = VALUE[ UNIT]\n"; the unit follows a figure or a bound only.
std::string summary_line(std::string_view label, const summary_value& value, std::string_view unit = "");
