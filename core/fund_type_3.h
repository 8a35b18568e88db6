#pragma once

#include <string>

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
  // The field's name in messages: its display name, else its node name.
  std::string message_name() const;
  // Whether the value is an int or a double, which a text must spell out.
  bool holds_number() const;
  // Whether a number (in the form people type) is one this value may take:
  // the template's limits, the switch, the int range and the limits of the
  // data it belongs to. False with the refusal's message in `why`.
  // `reading`: one of many values read together (a project), which may come
  // before the values its limits depend on.
  bool number_allowed(double typed, std::string& why, bool reading = false);
  bool is_initialised() const { return flags().test(node_bits::initialised) != 0; }
  // Runs the field's change script, as every change of its value does: it
  // asks for what depends on the value to be computed again.
  void run_change_hook();

 protected:
  // Limits that follow from the data this value belongs to (a scan's angles,
  // the length of its transform); the template cannot know them. False when
  // there are none. The field's default passes them: it means "not set".
  // `reading` as for number_allowed: the widest limits the others allow.
  virtual bool data_limits(double& lo, double& hi, bool reading);
  // A checked number in the form people type, and the stored value in it.
  virtual void store_typed(double typed);
  virtual double typed_from_stored(double stored) { return stored; }
  // The text as a number in the field's type, checked; false with the
  // message in `why`, the value unchanged.
  bool typed_number(const char* text, double& typed, std::string& why);
  void ensure_init();
  // Runs the field's take-data script, which follows every edit the user
  // makes; false when the script deleted this node.
  bool run_take_data_hook();
  fund_value value_;

 private:
  my_string text_cache_;  // text form of int and double values
};

// Where the limits of data_limits come from for values that have no class of
// their own (the letter of their name makes them plain typed values): the
// layer that knows scans installs it. Null restores none.
using data_limits_rule = bool (*)(fund_type_3& value, double& lo, double& hi, bool reading);
void set_data_limits_rule(data_limits_rule rule);
