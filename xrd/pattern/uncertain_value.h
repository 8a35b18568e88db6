#pragma once

#include <limits>
#include <string>

#include "xrd/sizes/summary_line.h"

// A figure the analysis gives, with its standard uncertainty; or, where the
// data do not resolve it, the bound they do give; or why there is none.
// A figure is resolved when what it comes from (an intercept, a slope, a
// squared breadth) lies above 0 by more than twice its uncertainty.
struct uncertain_value {
  enum class kind { figure, bound, not_determined };
  kind form = kind::not_determined;
  double value = std::numeric_limits<double>::quiet_NaN();
  double u = std::numeric_limits<double>::quiet_NaN();      // standard uncertainty, in value's unit
  char relation = '<';                                      // for a bound: the figure lies below ('<') or above ('>')
  double bound = std::numeric_limits<double>::quiet_NaN();  // for a bound
  std::string reason;                                       // for not determined

  bool resolved() const { return form == kind::figure; }

  static uncertain_value figure(double value, double u);
  static uncertain_value bounded(char relation, double bound);
  static uncertain_value none(std::string why);
};

// What the results summary prints: "%.1f ± %.1f" takes `format` for the
// figure and `u_format` for its uncertainty, a bound reads
// "not resolved (> 2000.0)".
summary_value summary_of(const uncertain_value& v, const char* format, const char* u_format);
