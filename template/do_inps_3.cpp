#include "template/do_inps_3.h"

#include <memory>
#include <vector>

#include "core/fund_funs.h"
#include "core/stream_copy.h"
#include "core/stream_in.h"
#include "io/string_out.h"
#include "template/tem_funda_3.h"

namespace {

using field_bits::int_;

my_string read_word_text(stream_in& line) { return my_string(line.read_word()); }

// A one-word action or name uses '|' where a blank is meant.
my_string read_barred_word(stream_in& line) {
  my_string w = read_word_text(line);
  w.replace_char('|', ' ');
  return w;
}

// "{ words ... }": the words joined by single blanks. An action written as a
// single word without braces is taken as that word.
my_string read_braced(stream_in& line) {
  line.skip_space();
  if (line.at_end()) return my_string();
  const char open = line.get();
  if (open != '{') {
    line.unget();
    return read_barred_word(line);
  }
  string_out text;
  copy_until_any(text, line, "}", 0);
  my_string out(text.text());
  out.trim_right();
  return out;
}

tem_funda_3* as_field(tem_node_3& node) { return dynamic_cast<tem_funda_3*>(&node); }

template <std::uint32_t Bit>
void mark(stream_in&, tem_node_3& node) {
  node.marks.set(Bit);
}

void tem_plate(stream_in& line, tem_node_3& node) {
  node.marks.set(tem_bits::tem_plate);
  node.template_name = read_word_text(line);
}

template <std::uint32_t Bit, my_string tem_node_3::*Text>
void action(stream_in& line, tem_node_3& node) {
  node.marks.set(Bit);
  node.*Text = read_braced(line);
}

void alias(stream_in& line, tem_node_3& node) {
  const my_string word = read_word_text(line);
  auto* m = dynamic_cast<tem_multiple_names_3*>(&node);
  if (!m || word.is_empty()) return;
  if (!m->aliases.is_empty()) m->aliases.append(' ');
  m->aliases.append(word.c_str());
}

void creator(stream_in& line, tem_node_3& node) {
  const my_string word = read_word_text(line);
  if (auto* m = dynamic_cast<tem_multiple_names_3*>(&node)) m->creator = word;
}

template <std::uint32_t Bits>
void value_type(stream_in&, tem_node_3& node) {
  tem_funda_3* f = as_field(node);
  if (!f) return;
  f->field_.bits |= Bits;
  if (Bits & field_bits::double_) f->field_.funs = &fund_funs_d_3::instance();
  else if (Bits & field_bits::assoc) f->field_.funs = &fund_funs_a_3::instance();
  else if (Bits & field_bits::text) f->field_.funs = &fund_funs_s_3::instance();
  else f->field_.funs = &fund_funs_i_3::instance();
}

void minimum(stream_in& line, tem_node_3& node) {
  const double x = line.read_double();
  if (tem_funda_3* f = as_field(node)) {
    f->field_.min = x;
    f->field_.bits |= field_bits::min;
  }
}

void maximum(stream_in& line, tem_node_3& node) {
  const double x = line.read_double();
  if (tem_funda_3* f = as_field(node)) {
    f->field_.max = x;
    f->field_.bits |= field_bits::max;
  }
}

template <std::uint32_t Bit, my_string field_description::*Text, bool Barred>
void field_text(stream_in& line, tem_node_3& node) {
  const my_string word = Barred ? read_barred_word(line) : read_word_text(line);
  if (tem_funda_3* f = as_field(node)) {
    f->field_.*Text = word;
    f->field_.bits |= Bit;
  }
}

using fb = field_description;

struct keyword {
  const char* word;
  const char* handler_name;
  do_inp_3::handler handle;
};

// In the order the table is filled; it is sorted before use.
const keyword keywords[] = {
    {"_array", "inp_01_3", mark<tem_bits::array>},
    {"_tem_plate", "inp_03_3", tem_plate},
    {"_on_creation", "inp_04_3", action<tem_bits::on_creation, &tem_node_3::creation_action>},
    {"_on_execution", "inp_05_3", action<tem_bits::on_execution, &tem_node_3::execution_action>},
    {"_on_deletion", "inp_06_3", action<tem_bits::on_deletion, &tem_node_3::deletion_action>},
    {"_on_get_a", "inp_07_3", action<tem_bits::on_get_a, &tem_node_3::get_action>},
    {"_fit_prm", "inp_08_3", mark<tem_bits::fit_prm>},
    {"_bkg_prm", "inp_09_3", mark<tem_bits::bkg_prm>},
    {"_file_variable", "inp_10_3", mark<tem_bits::file_variable>},
    {"_no_delete_on_assignment", "inp_11_3", mark<tem_bits::no_delete_on_assignment>},
    {"_not_to_save", "inp_12_3", mark<tem_bits::not_to_save>},
    {"_not_to_copy", "inp_13_3", mark<tem_bits::not_to_copy>},
    {"_have_memory", "inp_14_3", mark<tem_bits::have_memory>},
    {"_not_for_proj", "inp_15_3", mark<tem_bits::not_for_proj>},
    {"_not_to_be_deleted", "inp_16_3", mark<tem_bits::not_to_be_deleted>},
    {"_alias", "inp_mul_name_1_3", alias},
    {"_creator", "inp_mul_name_2_3", creator},
    {"_int", "inp_18_3", value_type<field_bits::int_>},
    {"_double", "inp_19_3", value_type<field_bits::double_>},
    {"_assoc", "inp_20_3", value_type<field_bits::assoc>},
    {"_char*", "inp_21_3", value_type<field_bits::text>},
    {"_min", "inp_22_3", minimum},
    {"_max", "inp_23_3", maximum},
    {"_switch", "inp_24_3", value_type<field_bits::switch_ | field_bits::int_>},
    {"_name", "inp_25_3", field_text<field_bits::name, &fb::name, true>},
    {"_fmt", "inp_26_3", field_text<field_bits::fmt, &fb::fmt, false>},
    {"_default", "inp_27_3", field_text<field_bits::def, &fb::def, false>},
    {"_on_take_data_4", "inp_28_3", field_text<field_bits::take_data, &fb::take_data, true>},
    {"_on_change", "inp_29_3", field_text<field_bits::on_change, &fb::on_change, true>},
};

std::vector<std::unique_ptr<do_inp_3>>& entries() {
  static std::vector<std::unique_ptr<do_inp_3>> all;
  return all;
}

}  // namespace

do_inps_3::do_inps_3() {
  flags().clear(container_bits::owns);
  for (const keyword& k : keywords) {
    entries().push_back(std::make_unique<do_inp_3>(k.word, k.handler_name, k.handle));
    add_child(entries().back().get());
  }
  rebuild_index();
}

do_inps_3::~do_inps_3() { set_count(0); }

do_inps_3& attribute_table() {
  static do_inps_3 table;
  return table;
}

bool apply_attribute(const char* word, stream_in& line, tem_node_3& node) {
  auto* entry = dynamic_cast<do_inp_3*>(attribute_table().find_child(word));
  if (!entry) return false;
  entry->handle(line, node);
  return true;
}
