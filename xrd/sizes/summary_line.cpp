#include "xrd/sizes/summary_line.h"

#include <cmath>

#include "core/text_helpers.h"

summary_value summary_value::of(double value, const char* format, std::string_view why_not) {
  if (!std::isfinite(value)) return not_determined(why_not);
  summary_value v;
  v.form = kind::figure;
  v.number = format_number(format, value);
  return v;
}

summary_value summary_value::of(double value, double u, const char* format, std::string_view why_not) {
  summary_value v = of(value, format, why_not);
  if (v.form == kind::figure && std::isfinite(u) && u > 0.0) v.uncertainty = format_number(format, u);
  return v;
}

summary_value summary_value::at_least(double value, const char* format, std::string_view why_not) {
  if (!std::isfinite(value)) return not_determined(why_not);
  summary_value v;
  v.form = kind::lower_bound;
  v.bound = "> " + format_number(format, value);
  return v;
}

summary_value summary_value::not_resolved(char relation, double value, const char* format, std::string_view why_not) {
  if (!std::isfinite(value)) return not_determined(why_not);
  summary_value v;
  v.form = kind::not_resolved;
  v.bound = std::string(1, relation) + ' ' + format_number(format, value);
  return v;
}

summary_value summary_value::not_determined(std::string_view why) {
  // A reason is always given: a bare "not determined" leaves the reader to guess.
  summary_value v;
  v.reason = why.empty() ? std::string("no finite value") : std::string(why);
  return v;
}

std::string summary_line(std::string_view label, const summary_value& value, std::string_view unit) {
  auto with_unit = [&](std::string text) {
    if (!unit.empty()) {
      text += ' ';
      text += unit;
    }
    return text;
  };
  std::string line(label);
  line += " = ";
  switch (value.form) {
    case summary_value::kind::figure:
      line += with_unit(value.uncertainty.empty() ? value.number : value.number + " \u00b1 " + value.uncertainty);
      break;
    case summary_value::kind::lower_bound:
      line += with_unit(value.bound);
      break;
    case summary_value::kind::not_resolved:
      line += "not resolved (" + with_unit(value.bound) + ')';
      break;
    case summary_value::kind::not_determined:
      line += "not determined (" + value.reason + ')';
      break;
  }
  return line + '\n';
}
