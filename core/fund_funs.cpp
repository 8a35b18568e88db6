#include "core/fund_funs.h"

#include <climits>
#include <cmath>
#include <cstring>

#include "core/assoc_class.h"
#include "core/field_description.h"
#include "core/stream_in.h"
#include "core/stream_out.h"
#include "core/text_helpers.h"

namespace {

// Truncation toward zero that saturates instead of overflowing.
int truncate_to_int(double x) {
  if (std::isnan(x)) return 0;
  if (x >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (x <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(x);
}

int long_to_int(long n) {
  if (n > INT_MAX) return INT_MAX;
  if (n < INT_MIN) return INT_MIN;
  return static_cast<int>(n);
}

}  // namespace

void B_fund_funs_3::init(fund_value& v, assoc_class&) const {
  v.i = 0;
  v.d = 0.0;
}

const char* B_fund_funs_3::as_text(const fund_value&, my_string&) const { return nullptr; }

void B_fund_funs_3::format(const fund_value& v, const field_description*, my_string& out) const {
  my_string buf;
  const char* t = as_text(v, buf);
  out.assign(t ? t : "");
}

bool B_fund_funs_3::is_reference() const { return this == &fund_funs_a_3::instance(); }

// int

const fund_funs_i_3& fund_funs_i_3::instance() {
  static const fund_funs_i_3 table;
  return table;
}

void fund_funs_i_3::from_double(fund_value& v, double x) const { v.i = truncate_to_int(x); }

void fund_funs_i_3::from_text(fund_value& v, const char* text) const { v.i = long_to_int(text_to_long(text)); }

const char* fund_funs_i_3::as_text(const fund_value& v, my_string& buf) const {
  buf.assign(format_int(v.i));
  return buf.c_str();
}

void fund_funs_i_3::read(fund_value& v, stream_in& in) const { v.i = long_to_int(in.read_long()); }

void fund_funs_i_3::write(const fund_value& v, stream_out& out) const { out.put_int(v.i); }

void fund_funs_i_3::format(const fund_value& v, const field_description* field, my_string& out) const {
  const bool own = field && field->has(field_bits::fmt);
  out.assign(own ? format_int(field->fmt.c_str(), v.i) : format_int(v.i));
}

bool fund_funs_i_3::equals_text(const fund_value& v, const char* text) const { return text_to_long(text) == v.i; }

// double

const fund_funs_d_3& fund_funs_d_3::instance() {
  static const fund_funs_d_3 table;
  return table;
}

void fund_funs_d_3::from_text(fund_value& v, const char* text) const { v.d = text_to_double(text); }

int fund_funs_d_3::as_int(const fund_value& v) const { return truncate_to_int(v.d); }

const char* fund_funs_d_3::as_text(const fund_value& v, my_string& buf) const {
  buf.assign(text_of(v.d));
  return buf.c_str();
}

void fund_funs_d_3::read(fund_value& v, stream_in& in) const { v.d = in.read_double(); }

// Written to be read back (projects keep settings this way), so nothing
// below a fixed number of decimals may be lost.
void fund_funs_d_3::write(const fund_value& v, stream_out& out) const {
  out.put_text(my_string(exact_number_text(v.d)));
}

void fund_funs_d_3::format(const fund_value& v, const field_description* field, my_string& out) const {
  const bool own = field && field->has(field_bits::fmt);
  out.assign(format_number(own ? field->fmt.c_str() : "%-1.4f", v.d));
}

bool fund_funs_d_3::equals_text(const fund_value& v, const char* text) const { return text_to_double(text) == v.d; }

// reference

const fund_funs_a_3& fund_funs_a_3::instance() {
  static const fund_funs_a_3 table;
  return table;
}

void fund_funs_a_3::init(fund_value& v, assoc_class& owner) const { owner.unlink(&v.a); }

void fund_funs_a_3::copy(fund_value& v, const fund_value& other, assoc_class& owner) const {
  owner.unlink(&v.a);
  owner.link(other.a.get(), &v.a);
}

void fund_funs_a_3::from_node(fund_value& v, assoc_class* node, assoc_class& owner) const {
  owner.unlink(&v.a);
  owner.link(node, &v.a);
}

void fund_funs_a_3::from_other(fund_value& v, const B_fund_funs_3& type, const fund_value& other,
                               assoc_class& owner) const {
  from_node(v, type.as_node(other), owner);
}

bool fund_funs_a_3::equal_other(const fund_value& v, const B_fund_funs_3& type, const fund_value& other) const {
  return equals_node(v, type.as_node(other));
}

bool fund_funs_a_3::less_other(const fund_value& v, const B_fund_funs_3& type, const fund_value& other) const {
  assoc_class* mine = v.a.get();
  assoc_class* theirs = type.as_node(other);
  return mine && theirs && mine->less_than(*theirs);
}

void fund_funs_a_3::write(const fund_value& v, stream_out& out) const {
  if (assoc_class* n = v.a.get()) n->write_value(out);
}

bool fund_funs_a_3::equals_node(const fund_value& v, assoc_class* node) const {
  assoc_class* mine = v.a.get();
  if (!mine || !node) return mine == node;
  return mine->equals(*node);
}

// text

const fund_funs_s_3& fund_funs_s_3::instance() {
  static const fund_funs_s_3 table;
  return table;
}

void fund_funs_s_3::init(fund_value& v, assoc_class&) const { v.s.assign(""); }

void fund_funs_s_3::from_char(fund_value& v, char c) const {
  const char text[2] = {c, '\0'};
  v.s.assign(text);
}

void fund_funs_s_3::from_other(fund_value& v, const B_fund_funs_3& type, const fund_value& other,
                               assoc_class&) const {
  my_string buf;
  v.s.assign(type.as_text(other, buf));
}

void fund_funs_s_3::add_other(fund_value& v, const B_fund_funs_3& type, const fund_value& other) const {
  my_string buf;
  v.s.append(type.as_text(other, buf));
}

bool fund_funs_s_3::equal_other(const fund_value& v, const B_fund_funs_3& type, const fund_value& other) const {
  my_string buf;
  const char* t = type.as_text(other, buf);
  return t && v.s.equals(t);
}

bool fund_funs_s_3::less_other(const fund_value& v, const B_fund_funs_3& type, const fund_value& other) const {
  my_string buf;
  const char* t = type.as_text(other, buf);
  return std::strcmp(v.s.c_str(), t ? t : "") < 0;
}

void fund_funs_s_3::read(fund_value& v, stream_in& in) const { in.read_text_token(v.s); }

void fund_funs_s_3::write(const fund_value& v, stream_out& out) const { out.write_text_token(v.s); }

bool fund_funs_s_3::equals_int(const fund_value& v, int n) const { return text_to_long(v.s.c_str()) == n; }

bool fund_funs_s_3::equals_double(const fund_value& v, double x) const { return text_to_double(v.s.c_str()) == x; }
