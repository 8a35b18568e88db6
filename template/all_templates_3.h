#pragma once

#include <memory>
#include <vector>

#include "core/assoc_class.h"
#include "template/tem_recs_3.h"

class stream_in;
class tem_node_3;

// The root of the template tree: its children are the top-level templates.
class all_templates_3 : public assoc_class {
 public:
  const char* class_name() const override { return "all_templates"; }

  // Reads the templates section of the stream (after "start_templates") and
  // builds the indexes and name scopes.
  void load(stream_in& in);
  // The index of "#not_in_tem", where free-standing names find templates.
  assoc_class* not_in_tem() const { return not_in_tem_.get(); }
  tem_node_3* top_level(const char* name);
  // Drops everything loaded (tests reload different files).
  void unload();

 private:
  void read_block(stream_in& in);
  void expand_references();
  std::vector<tem_node_3*> recursive_templates();
  void build_indexes();

  ptr_class<assoc_class> not_in_tem_;
  std::vector<std::unique_ptr<tem_recs_3>> indexes_;
};

// The process-wide template tree, loaded from the template file on first use.
all_templates_3& template_tree();
// Replaces the process-wide templates by those read from `in`.
void replace_templates(stream_in& in);
