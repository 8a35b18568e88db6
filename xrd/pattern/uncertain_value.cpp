#include "xrd/pattern/uncertain_value.h"

#include <cmath>
#include <utility>

#include "core/text_helpers.h"

uncertain_value uncertain_value::figure(double value, double u) {
  if (!std::isfinite(value) || !std::isfinite(u)) return none("no finite value");
  uncertain_value v;
  v.form = kind::figure;
  v.value = value;
  v.u = u;
  return v;
}

uncertain_value uncertain_value::bounded(char relation, double bound) {
  if (!std::isfinite(bound)) return none("no finite bound");
  uncertain_value v;
  v.form = kind::bound;
  v.relation = relation;
  v.bound = bound;
  return v;
}

uncertain_value uncertain_value::none(std::string why) {
  uncertain_value v;
  v.reason = why.empty() ? std::string("no finite value") : std::move(why);
  return v;
}

summary_value summary_of(const uncertain_value& v, const char* format, const char* u_format) {
  switch (v.form) {
    case uncertain_value::kind::figure: {
      summary_value s = summary_value::of(v.value, format, "no finite value");
      if (s.form == summary_value::kind::figure && std::isfinite(v.u) && v.u > 0.0)
        s.uncertainty = format_number(u_format, v.u);
      return s;
    }
    case uncertain_value::kind::bound:
      return summary_value::not_resolved(v.relation, v.bound, format, "no finite bound");
    case uncertain_value::kind::not_determined:
      break;
  }
  return summary_value::not_determined(v.reason);
}
