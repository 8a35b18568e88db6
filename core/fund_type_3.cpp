#include "core/fund_type_3.h"

#include <climits>
#include <cmath>

#include "core/error_message.h"
#include "core/node_watch.h"
#include "core/stream_in.h"
#include "core/stream_out.h"
#include "core/text_helpers.h"

namespace {

data_limits_rule active_rule = nullptr;

std::string limit_text(double x) { return format_number("%-1.4f", x); }

}  // namespace

void set_data_limits_rule(data_limits_rule rule) { active_rule = rule; }

const field_description* fund_type_3::field() const {
  const template_node_view* v = template_view();
  return v ? v->field() : nullptr;
}

const B_fund_funs_3& fund_type_3::funs() const {
  const field_description* f = field();
  if (f && f->funs) return *f->funs;
  return fund_funs_s_3::instance();
}

void fund_type_3::ensure_init() {
  if (is_initialised()) return;
  flags().set(node_bits::initialised);
  funs().init(value_, *this);
  const field_description* f = field();
  if (f && f->has(field_bits::def)) {
    const my_string def = f->def;
    set_text(def.c_str());
  }
}

void fund_type_3::run_change_hook() {
  const field_description* f = field();
  if (!f || !f->has(field_bits::on_change) || f->on_change.is_empty()) return;
  if (template_host* host = current_template_host()) host->run_script(*this, f->on_change.c_str(), nullptr);
}

bool fund_type_3::read_value(stream_in& in) {
  ensure_init();
  funs().read(value_, in);
  return true;
}

void fund_type_3::write_value(stream_out& out) {
  ensure_init();
  funs().write(value_, out);
}

bool fund_type_3::read_for_project(stream_in& in) {
  ensure_init();
  if (funs().is_reference()) return true;
  if (!holds_number()) {
    funs().read(value_, in);
    return true;
  }
  // The whole value must be the number: "12abc" is no 12. A refusal keeps
  // the value there was and leaves its message for the reader to show.
  std::string text;
  while (!in.at_end()) text += in.get();
  const std::optional<double> stored = whole_number(text.c_str());
  std::string why;
  double typed = 0.0;
  const bool whole = &funs() != &fund_funs_i_3::instance() || (stored && *stored == std::trunc(*stored));
  if (!stored || !whole) {
    typed_number(text.c_str(), typed, why);  // for its message
  } else if (typed = typed_from_stored(*stored); number_allowed(typed, why, true)) {
    funs().from_double(value_, *stored);
    return true;
  }
  global_error_message().append(why.c_str());
  return false;
}

void fund_type_3::write_for_project(stream_out& out) {
  ensure_init();
  if (funs().is_reference() || template_flag(tem_bits::not_for_proj)) return;
  assoc_class::write_for_project(out);
  funs().write(value_, out);
}

bool fund_type_3::less_than(assoc_class& node) {
  ensure_init();
  auto* other = dynamic_cast<fund_type_3*>(&node);
  if (!other) return assoc_class::less_than(node);
  other->ensure_init();
  return funs().less_other(value_, other->funs(), other->value_);
}

bool fund_type_3::equals(assoc_class& node) {
  ensure_init();
  auto* other = dynamic_cast<fund_type_3*>(&node);
  if (!other) return assoc_class::equals(node);
  other->ensure_init();
  return funs().equal_other(value_, other->funs(), other->value_);
}

my_string& fund_type_3::format_value(my_string& text) {
  ensure_init();
  funs().format(value_, field(), text);
  return text;
}

std::string fund_type_3::message_name() const {
  const field_description* f = field();
  if (f && f->has(field_bits::name) && !f->name.is_empty()) return f->name.c_str();
  const char* name = display_name();
  return name ? name : "";
}

bool fund_type_3::holds_number() const {
  const B_fund_funs_3& type = funs();
  return &type == &fund_funs_i_3::instance() || &type == &fund_funs_d_3::instance();
}

bool fund_type_3::data_limits(double& lo, double& hi, bool reading) {
  return active_rule && active_rule(*this, lo, hi, reading);
}

void fund_type_3::store_typed(double typed) { funs().from_double(value_, typed); }

bool fund_type_3::number_allowed(double typed, std::string& why, bool reading) {
  const field_description* f = field();
  const std::string name = message_name();
  if (f && f->has(field_bits::min) && typed < f->min) {
    why = "Value for " + name + " must be greater than " + limit_text(f->min);
    return false;
  }
  if (f && f->has(field_bits::max) && typed > f->max) {
    why = "Value for " + name + " must be less than " + limit_text(f->max);
    return false;
  }
  if (f && f->has(field_bits::switch_) && typed != 0.0 && typed != 1.0) {
    why = "Value for " + name + " must be either 0 or 1";
    return false;
  }
  if (&funs() == &fund_funs_i_3::instance() && !(typed >= INT_MIN && typed <= INT_MAX)) {
    why = "Value for " + name + " must be less than " + limit_text(INT_MAX);
    if (typed < 0) why = "Value for " + name + " must be greater than " + limit_text(INT_MIN);
    return false;
  }
  const std::optional<double> def = f && f->has(field_bits::def) ? whole_number(f->def.c_str()) : std::nullopt;
  double lo = 0.0, hi = 0.0;
  if ((!def || typed != *def) && data_limits(lo, hi, reading)) {
    if (typed < lo) {
      why = "Value for " + name + " must be greater than " + limit_text(lo);
      return false;
    }
    if (typed > hi) {
      why = "Value for " + name + " must be less than " + limit_text(hi);
      return false;
    }
  }
  return true;
}

bool fund_type_3::typed_number(const char* text, double& typed, std::string& why) {
  const std::string shown = text ? text : "";
  const std::optional<double> x = whole_number(shown.c_str());
  if (!x) {
    why = message_name() + ": \"" + shown + "\" is not a number";
    return false;
  }
  if (&funs() == &fund_funs_i_3::instance() && *x != std::trunc(*x)) {
    why = message_name() + ": \"" + shown + "\" is not a whole number";
    return false;
  }
  typed = *x;
  return number_allowed(typed, why);
}

int fund_type_3::set_text_with_limits(const char* text) {
  ensure_init();
  if (holds_number()) {
    double typed = 0.0;
    if (std::string why; !typed_number(text, typed, why)) {
      global_error_message().append(why.c_str());
      show_error(this);
      return 3;
    }
    store_typed(typed);
  } else {
    funs().from_text(value_, text ? text : "");
  }
  if (!run_take_data_hook()) return 0;
  run_change_hook();
  return 0;
}

bool fund_type_3::run_take_data_hook() {
  const field_description* f = field();
  if (!f || !f->has(field_bits::take_data) || f->take_data.is_empty()) return true;
  template_host* host = current_template_host();
  if (!host) return true;
  // The take-data script may delete this very field.
  node_watch alive(this);
  host->run_script(*this, f->take_data.c_str(), nullptr);
  return static_cast<bool>(alive);
}

std::unique_ptr<assoc_class> fund_type_3::clone_empty() const { return clone_like(*this); }

void fund_type_3::copy_from(assoc_class& source) {
  if (auto* other = dynamic_cast<fund_type_3*>(&source); other && other != this) {
    ensure_init();
    other->ensure_init();
    funs().from_other(value_, other->funs(), other->value_, *this);
  }
  assoc_class::copy_from(source);
}

assoc_class* fund_type_3::get_object() {
  ensure_init();
  const template_node_view* v = template_view();
  if (v && (v->attributes() & tem_bits::on_get_a)) {
    const char* script = v->action(script_kind::get);
    template_host* host = current_template_host();
    if (script && host) return host->evaluate_object(*this, script);
  }
  return funs().as_node(value_);
}

int fund_type_3::get_int() {
  ensure_init();
  return funs().as_int(value_);
}

double fund_type_3::get_double() {
  ensure_init();
  return funs().as_double(value_);
}

const char* fund_type_3::get_text() {
  ensure_init();
  return funs().as_text(value_, text_cache_);
}

my_string* fund_type_3::get_string() {
  ensure_init();
  return &funs() == &fund_funs_s_3::instance() ? &value_.s : nullptr;
}

assoc_class* fund_type_3::set_int(int n) {
  ensure_init();
  funs().from_int(value_, n);
  run_change_hook();
  return this;
}

assoc_class* fund_type_3::set_double(double x) {
  ensure_init();
  funs().from_double(value_, x);
  run_change_hook();
  return this;
}

assoc_class* fund_type_3::set_object(assoc_class* node) {
  ensure_init();
  funs().from_node(value_, node, *this);
  return this;
}

assoc_class* fund_type_3::set_text(const char* text) {
  ensure_init();
  funs().from_text(value_, text);
  run_change_hook();
  return this;
}

assoc_class* fund_type_3::set_char(char c) {
  ensure_init();
  funs().from_char(value_, c);
  run_change_hook();
  return this;
}

assoc_class* fund_type_3::assign_value(assoc_class& node) {
  ensure_init();
  if (auto* other = dynamic_cast<fund_type_3*>(&node); other && other != this) {
    other->ensure_init();
    funs().from_other(value_, other->funs(), other->value_, *this);
  }
  return this;
}

bool fund_type_3::sort_matches(const char* text) {
  ensure_init();
  return funs().equals_text(value_, text);
}

bool fund_type_3::equals_object(assoc_class* node) {
  ensure_init();
  return funs().equals_node(value_, node);
}

bool fund_type_3::equals_int(int n) {
  ensure_init();
  return funs().equals_int(value_, n);
}

bool fund_type_3::equals_char(char c) {
  ensure_init();
  return funs().equals_char(value_, c);
}

bool fund_type_3::equals_double(double x) {
  ensure_init();
  return funs().equals_double(value_, x);
}
