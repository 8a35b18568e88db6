#include "xrd/sizes/summary_line.h"

#include <cmath>

#include "core/text_helpers.h"

summary_value summary_value::of(double value, const char* format, std::string_view why_not) {
  if (!std::isfinite(value)) return not_determined(why_not);
  return {format_number(format, value), {}};
}

summary_value summary_value::not_determined(std::string_view why) {
  // A reason is always given: a bare "not determined" leaves the reader to guess.
  return {{}, why.empty() ? std::string("no finite value") : std::string(why)};
}

std::string summary_line(std::string_view label, const summary_value& value, std::string_view unit) {
  std::string line(label);
  line += " = ";
  if (value.number.empty()) {
    line += "not determined (";
    line += value.reason;
    line += ')';
  } else {
    line += value.number;
    if (!unit.empty()) {
      line += ' ';
      line += unit;
    }
  }
  return line + '\n';
}
