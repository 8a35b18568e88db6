#pragma once

#include "core/field_description.h"
#include "template/tem_node_3.h"

// A template node describing a typed field: type, limits, name, format,
// default and the scripts run when the field takes a value.
class tem_funda_3 : public tem_node_3 {
 public:
  std::unique_ptr<tem_node_3> new_like() const override { return std::make_unique<tem_funda_3>(); }
  const char* kind_name() const override { return "tem_funda"; }
  void copy_node(tem_node_3& node) override;
  const field_description* field() const override { return &field_; }

  field_description field_;
};

// A typed-field node that also answers to aliases and may name the class
// that objects made from it belong to.
class tem_multiple_names_3 : public tem_funda_3 {
 public:
  std::unique_ptr<tem_node_3> new_like() const override { return std::make_unique<tem_multiple_names_3>(); }
  const char* kind_name() const override { return "tem_multiple_names"; }
  void copy_node(tem_node_3& node) override;
  bool matches(const char* name) const override;
  const char* creation_name(const char* requested) const override;

  my_string aliases;  // words separated by single blanks
  my_string creator;
};

// A node of the text report editor's templates.
class inp_tem_rec_3 : public tem_node_3 {
 public:
  std::unique_ptr<tem_node_3> new_like() const override { return std::make_unique<inp_tem_rec_3>(); }
  const char* kind_name() const override { return "inp_tem_rec"; }
  void copy_node(tem_node_3& node) override;

  static constexpr std::uint32_t shallow = 0x1;
  static constexpr std::uint32_t marker = 0x2;
  static constexpr std::uint32_t create_if_not_there = 0x4;
  my_flag report_flags;
  ptr_class<assoc_class> group;
  int caller_value = 0;
  my_string title;
  my_string help;
  my_string get_name;
  my_string make_name;
};
