#include "xrd/chain/fft_zero_3.h"

#include <cmath>
#include <string>

#include "core/text_helpers.h"
#include "xrd/curves/xy_data_3.h"
#include "xrd/chain/xy_yobs_3.h"

namespace {

bool means_unset(double v) { return std::fabs(v - xy_yobs_3::unset) < 1e-9; }

}  // namespace

std::unique_ptr<assoc_class> fft_zero_3::clone_empty() const { return clone_like(*this); }

xy_data_3* fft_zero_3::observed() { return dynamic_cast<xy_data_3*>(yobs_.get(*this)); }

bool fft_zero_3::is_set() { return !means_unset(get_double()); }

double fft_zero_3::x_value() {
  const double index = get_double();
  xy_data_3* obs = observed();
  if (!obs) return index;
  return index * obs->xd + obs->x1;
}

double fft_zero_3::index_for(double x) {
  // The unset marker is the same in both forms (a default of -999 must not
  // become an index near -999 / xd).
  if (means_unset(x)) return xy_yobs_3::unset;
  xy_data_3* obs = observed();
  if (!obs || !(obs->xd > 0.0)) return xy_yobs_3::unset;
  return (x - obs->x1) / obs->xd;
}

assoc_class* fft_zero_3::set_text(const char* text) {
  // Converting needs the value initialised first: its default comes back here.
  ensure_init();
  return set_double(index_for(text_to_double(text)));
}

bool fft_zero_3::data_limits(double& lo, double& hi, bool) {
  xy_data_3* obs = observed();
  if (!obs || obs->y.count() < 1 || !(obs->xd > 0.0)) return false;
  lo = obs->x1;
  hi = obs->x_of(obs->y.count() - 1);
  return true;
}

void fft_zero_3::store_typed(double x) { fund_type_3::store_typed(index_for(x)); }

double fft_zero_3::typed_from_stored(double index) {
  if (means_unset(index)) return index;
  xy_data_3* obs = observed();
  return obs ? index * obs->xd + obs->x1 : index;
}

const char* fft_zero_3::get_text() {
  format_value(shown_);
  return shown_.c_str();
}

my_string& fft_zero_3::format_value(my_string& text) {
  const double index = get_double();
  const double shown = means_unset(index) ? index : x_value();
  const field_description* f = field();
  const char* format = f && f->has(field_bits::fmt) && !f->fmt.is_empty() ? f->fmt.c_str() : "%-1.4f";
  text.assign(std::string_view(format_number(format, shown)));
  return text;
}
