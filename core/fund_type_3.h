#pragma once

#include "core/field_description.h"
#include "core/fund_funs.h"
#include "core/no_name_3.h"

// A node carrying one typed value: an int, a double, a text or a reference to
// another node. The type, limits, format, default and change scripts come
// from the node's template; a node without one holds text.
class fund_type_3 : public virtual no_name_3 {
 public:
  bool read_value(stream_in& in) override;
  void write_value(stream_out& out) override;
  bool read_for_project(stream_in& in) override;
  void write_for_project(stream_out& out) override;
  bool less_than(assoc_class& node) override;
  bool equals(assoc_class& node) override;
  my_string& format_value(my_string& text) override;
  int set_text_with_limits(const char* text) override;
  std::unique_ptr<assoc_class> clone_empty() const override;
  void copy_from(assoc_class& source) override;

  assoc_class* get_object() override;
  int get_int() override;
  double get_double() override;
  const char* get_text() override;
  my_string* get_string() override;
  assoc_class* set_int(int n) override;
  assoc_class* set_double(double x) override;
  assoc_class* set_object(assoc_class* node) override;
  assoc_class* set_text(const char* text) override;
  assoc_class* set_char(char c) override;
  assoc_class* assign_value(assoc_class& node) override;
  bool sort_equals(assoc_class& node) override { return equals(node); }
  bool sort_matches(const char* text) override;
  bool equals_object(assoc_class* node) override;
  bool equals_int(int n) override;
  bool equals_char(char c) override;
  bool equals_double(double x) override;

  const field_description* field() const;
  const B_fund_funs_3& funs() const;
  bool is_initialised() const { return flags().test(node_bits::initialised) != 0; }

 protected:
  void ensure_init();
  void run_change_hook();
  // Runs the field's take-data script, which follows every edit the user
  // makes; false when the script deleted this node.
  bool run_take_data_hook();
  fund_value value_;

 private:
  my_string text_cache_;  // text form of int and double values
};
