#pragma once

#include <cstdint>
#include <memory>

#include "core/assoc_class.h"
#include "core/my_flag.h"
#include "core/my_string.h"
#include "core/template_host.h"

class stream_in;

// One node of the template tree: a name, attribute marks, the scripts run
// when objects made from it are created, executed or deleted, and the record
// index in which the children of such objects find their own templates.
class tem_node_3 : public assoc_class, public template_node_view {
 public:
  virtual std::unique_ptr<tem_node_3> new_like() const;
  virtual const char* kind_name() const { return "tem_node"; }
  // Copies the marks, name and texts, and the whole sub-tree below.
  virtual void copy_node(tem_node_3& node);
  const char* node_name() const;
  virtual bool matches(const char* name) const;
  // The registry name of the class to make for a requested name.
  virtual const char* creation_name(const char* requested) const { return requested; }
  // Words of a node line that are no attribute keyword.
  virtual void other_word(stream_in&, const char*) {}
  // Reads one node line: words up to ';', the rest of the line discarded.
  bool read_value(stream_in& in) override;
  // Applies the words of a node text: the name, then the attributes.
  void apply_text(const char* text);

  const char* class_name() const override { return node_name(); }
  bool is_named(const char* text) override { return matches(text); }
  std::unique_ptr<assoc_class> clone_empty() const override { return new_like(); }
  const template_node_view* as_template() const override { return this; }

  std::uint32_t attributes() const override { return marks.bits(); }
  assoc_class* records() const override { return records_.get(); }
  const char* action(script_kind kind) const override;
  int depth() const override { return depth_; }

  my_flag marks;
  my_string name;
  my_string creation_action;
  my_string execution_action;
  my_string deletion_action;
  my_string template_name;
  my_string get_action;
  int depth_ = 0;
  ptr_class<assoc_class> records_;
};
