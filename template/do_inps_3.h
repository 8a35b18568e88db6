#pragma once

#include "core/sorted_children_3.h"

class stream_in;
class tem_node_3;

// One attribute keyword of a template node line and its handler, which reads
// the keyword's arguments from the rest of the line and marks the node.
class do_inp_3 : public assoc_class {
 public:
  using handler = void (*)(stream_in& line, tem_node_3& node);
  do_inp_3(const char* keyword, const char* handler_name, handler h)
      : keyword_(keyword), handler_name_(handler_name), handler_(h) {}
  const char* class_name() const override { return keyword_; }
  const char* handler_name() const { return handler_name_; }
  virtual void handle(stream_in& line, tem_node_3& node) { handler_(line, node); }

 private:
  const char* keyword_;
  const char* handler_name_;
  handler handler_;
};

// The keyword table, sorted by keyword before the first template is read.
class do_inps_3 : public sorted_children_3 {
 public:
  do_inps_3();
  ~do_inps_3() override;
  const char* class_name() const override { return "do_inps"; }
};

do_inps_3& attribute_table();

// Applies the keyword to the node; false when the word is no keyword.
bool apply_attribute(const char* keyword, stream_in& line, tem_node_3& node);
