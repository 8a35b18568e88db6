#pragma once

#include <string>
#include <string_view>

// One line of a results summary, in the forms other programs read:
//   LABEL = NUMBER UNIT
//   LABEL = not determined (REASON)
// A number that is not finite, or one given with a reason, takes the second
// form: the summary never prints "nan" or "inf", and never a figure that
// the analysis knows to be meaningless.
struct summary_value {
  std::string number;  // the figure as printed; empty when not determined
  std::string reason;  // why there is no figure

  // `value` printed with `format`, or not determined for `why_not` when it is
  // not finite.
  static summary_value of(double value, const char* format, std::string_view why_not);
  static summary_value not_determined(std::string_view why);
};

// "LABEL = VALUE[ UNIT]\n"; the unit follows a figure only.
std::string summary_line(std::string_view label, const summary_value& value, std::string_view unit = "");
