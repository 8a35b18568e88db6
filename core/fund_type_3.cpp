#include "core/fund_type_3.h"

#include "core/error_message.h"
#include "core/node_watch.h"
#include "core/stream_in.h"
#include "core/stream_out.h"
#include "core/text_helpers.h"

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
  funs().read(value_, in);
  return true;
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

int fund_type_3::set_text_with_limits(const char* text) {
  ensure_init();
  const field_description* f = field();
  my_string& message = global_error_message();
  const char* name = f && f->has(field_bits::name) ? f->name.c_str() : "";
  if (f && f->has(field_bits::min) && text_to_double(text) < f->min) {
    message.append("Value for ").append(name).append(" must be greater than ").append(f->min);
    show_error(this);
    return 3;
  }
  if (f && f->has(field_bits::max) && text_to_double(text) > f->max) {
    message.append("Value for ").append(name).append(" must be less than ").append(f->max);
    show_error(this);
    return 3;
  }
  if (f && f->has(field_bits::switch_)) {
    const long n = text_to_long(text);
    if (n != 0 && n != 1) {
      message.append("Value for ").append(name).append(" must be either 0 or 1");
      show_error(this);
      return 3;
    }
  }
  funs().from_text(value_, text);
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

std::unique_ptr<assoc_class> fund_type_3::clone_empty() const {
  auto copy = std::make_unique<fund_type_3>();
  copy->set_tem(tem());
  return copy;
}

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
