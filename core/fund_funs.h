#pragma once

#include "core/base_3.h"
#include "core/my_string.h"
#include "core/ptr_class.h"

class assoc_class;
class stream_in;
class stream_out;
struct field_description;

// The storage of one typed value; its table says which member is in use.
struct fund_value {
  int i = 0;
  double d = 0.0;
  ptr_class<assoc_class> a;  // linked by the owning node, so it never dangles
  my_string s;
};

// The operations of one value type. One shared table per type; the value node
// takes its table from its template.
class B_fund_funs_3 : public base_3 {
 public:
  virtual const char* type_name() const = 0;
  virtual void init(fund_value& v, assoc_class& owner) const;
  virtual void copy(fund_value& v, const fund_value& other, assoc_class& owner) const = 0;
  virtual void from_int(fund_value&, int) const {}
  virtual void from_double(fund_value&, double) const {}
  virtual void from_node(fund_value&, assoc_class*, assoc_class&) const {}
  virtual void from_text(fund_value&, const char*) const {}
  virtual void from_char(fund_value&, char) const {}
  // Conversion from a value of another (or the same) type.
  virtual void from_other(fund_value& v, const B_fund_funs_3& type, const fund_value& other, assoc_class& owner) const = 0;
  virtual void add_other(fund_value&, const B_fund_funs_3&, const fund_value&) const {}
  virtual int as_int(const fund_value&) const { return 0; }
  virtual double as_double(const fund_value&) const { return 0.0; }
  virtual assoc_class* as_node(const fund_value&) const { return nullptr; }
  // The text form; `buf` holds it when it has to be built.
  virtual const char* as_text(const fund_value&, my_string& buf) const;
  virtual bool equal_other(const fund_value& v, const B_fund_funs_3& type, const fund_value& other) const = 0;
  virtual bool less_other(const fund_value& v, const B_fund_funs_3& type, const fund_value& other) const = 0;
  virtual void read(fund_value&, stream_in&) const {}
  virtual void write(const fund_value&, stream_out&) const {}
  virtual void format(const fund_value& v, const field_description* field, my_string& out) const;
  virtual bool equals_node(const fund_value&, assoc_class*) const { return false; }
  virtual bool equals_text(const fund_value&, const char*) const { return false; }
  virtual bool equals_int(const fund_value&, int) const { return false; }
  virtual bool equals_double(const fund_value&, double) const { return false; }
  virtual bool equals_char(const fund_value&, char) const { return false; }
  bool is_reference() const;
};

class fund_funs_i_3 : public B_fund_funs_3 {
 public:
  static const fund_funs_i_3& instance();
  const char* type_name() const override { return "int"; }
  void copy(fund_value& v, const fund_value& other, assoc_class&) const override { v.i = other.i; }
  void from_int(fund_value& v, int n) const override { v.i = n; }
  void from_double(fund_value& v, double x) const override;
  void from_text(fund_value& v, const char* text) const override;
  void from_char(fund_value& v, char c) const override { v.i = static_cast<signed char>(c); }
  void from_other(fund_value& v, const B_fund_funs_3& type, const fund_value& other, assoc_class&) const override {
    v.i = type.as_int(other);
  }
  void add_other(fund_value& v, const B_fund_funs_3& type, const fund_value& other) const override {
    v.i += type.as_int(other);
  }
  int as_int(const fund_value& v) const override { return v.i; }
  double as_double(const fund_value& v) const override { return v.i; }
  const char* as_text(const fund_value& v, my_string& buf) const override;
  bool equal_other(const fund_value& v, const B_fund_funs_3& type, const fund_value& other) const override {
    return v.i == type.as_int(other);
  }
  bool less_other(const fund_value& v, const B_fund_funs_3& type, const fund_value& other) const override {
    return v.i < type.as_int(other);
  }
  void read(fund_value& v, stream_in& in) const override;
  void write(const fund_value& v, stream_out& out) const override;
  void format(const fund_value& v, const field_description* field, my_string& out) const override;
  bool equals_text(const fund_value& v, const char* text) const override;
  bool equals_int(const fund_value& v, int n) const override { return v.i == n; }
  bool equals_double(const fund_value& v, double x) const override { return v.i == x; }
  bool equals_char(const fund_value& v, char c) const override { return v.i == c; }
};

class fund_funs_d_3 : public B_fund_funs_3 {
 public:
  static const fund_funs_d_3& instance();
  const char* type_name() const override { return "double"; }
  void copy(fund_value& v, const fund_value& other, assoc_class&) const override { v.d = other.d; }
  void from_int(fund_value& v, int n) const override { v.d = n; }
  void from_double(fund_value& v, double x) const override { v.d = x; }
  void from_text(fund_value& v, const char* text) const override;
  void from_other(fund_value& v, const B_fund_funs_3& type, const fund_value& other, assoc_class&) const override {
    v.d = type.as_double(other);
  }
  void add_other(fund_value& v, const B_fund_funs_3& type, const fund_value& other) const override {
    v.d += type.as_double(other);
  }
  int as_int(const fund_value& v) const override;
  double as_double(const fund_value& v) const override { return v.d; }
  const char* as_text(const fund_value& v, my_string& buf) const override;
  bool equal_other(const fund_value& v, const B_fund_funs_3& type, const fund_value& other) const override {
    return v.d == type.as_double(other);
  }
  bool less_other(const fund_value& v, const B_fund_funs_3& type, const fund_value& other) const override {
    return v.d < type.as_double(other);
  }
  void read(fund_value& v, stream_in& in) const override;
  void write(const fund_value& v, stream_out& out) const override;
  void format(const fund_value& v, const field_description* field, my_string& out) const override;
  bool equals_text(const fund_value& v, const char* text) const override;
  bool equals_int(const fund_value& v, int n) const override { return v.d == n; }
  bool equals_double(const fund_value& v, double x) const override { return v.d == x; }
};

class fund_funs_a_3 : public B_fund_funs_3 {
 public:
  static const fund_funs_a_3& instance();
  const char* type_name() const override { return "assoc"; }
  void init(fund_value& v, assoc_class& owner) const override;
  void copy(fund_value& v, const fund_value& other, assoc_class& owner) const override;
  void from_node(fund_value& v, assoc_class* node, assoc_class& owner) const override;
  void from_other(fund_value& v, const B_fund_funs_3& type, const fund_value& other, assoc_class& owner) const override;
  assoc_class* as_node(const fund_value& v) const override { return v.a.get(); }
  const char* as_text(const fund_value&, my_string&) const override { return nullptr; }
  bool equal_other(const fund_value& v, const B_fund_funs_3& type, const fund_value& other) const override;
  bool less_other(const fund_value& v, const B_fund_funs_3& type, const fund_value& other) const override;
  void write(const fund_value& v, stream_out& out) const override;
  bool equals_node(const fund_value& v, assoc_class* node) const override;
};

class fund_funs_s_3 : public B_fund_funs_3 {
 public:
  static const fund_funs_s_3& instance();
  const char* type_name() const override { return "text"; }
  void init(fund_value& v, assoc_class& owner) const override;
  void copy(fund_value& v, const fund_value& other, assoc_class&) const override { v.s = other.s; }
  void from_text(fund_value& v, const char* text) const override { v.s.assign(text); }
  void from_char(fund_value& v, char c) const override;
  void from_other(fund_value& v, const B_fund_funs_3& type, const fund_value& other, assoc_class&) const override;
  void add_other(fund_value& v, const B_fund_funs_3& type, const fund_value& other) const override;
  const char* as_text(const fund_value& v, my_string&) const override { return v.s.c_str(); }
  bool equal_other(const fund_value& v, const B_fund_funs_3& type, const fund_value& other) const override;
  bool less_other(const fund_value& v, const B_fund_funs_3& type, const fund_value& other) const override;
  void read(fund_value& v, stream_in& in) const override;
  void write(const fund_value& v, stream_out& out) const override;
  void format(const fund_value& v, const field_description*, my_string& out) const override { out.assign(v.s.c_str()); }
  bool equals_text(const fund_value& v, const char* text) const override { return v.s.equals(text); }
  bool equals_int(const fund_value& v, int n) const override;
  bool equals_double(const fund_value& v, double x) const override;
  bool equals_char(const fund_value& v, char c) const override { return v.s.is_char(c); }
};
