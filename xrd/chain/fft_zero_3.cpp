#include "xrd/chain/fft_zero_3.h"

#include <cmath>
#include <string>

#include "core/text_helpers.h"
#include "xrd/curves/xy_data_3.h"
#include "xrd/chain/xy_yobs_3.h"

namespace {

bool means_unset(double v) { return std::fabs(v - xy_yobs_3::unset) < 1e-9; }

std::string index_text(double index) { return format_number("%.17g", index); }

}  // namespace

std::unique_ptr<assoc_class> fft_zero_3::clone_empty() const {
  auto copy = std::make_unique<fft_zero_3>();
  copy->set_tem(tem());
  return copy;
}

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

int fft_zero_3::set_text_with_limits(const char* text) {
  ensure_init();
  return fund_type_3::set_text_with_limits(index_text(index_for(text_to_double(text))).c_str());
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
