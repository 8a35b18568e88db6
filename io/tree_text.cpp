#include "io/tree_text.h"

#include <string>

#include "core/assoc_class.h"
#include "core/error_message.h"
#include "core/stream_in.h"
#include "core/stream_out.h"
#include "core/text_helpers.h"
#include "core/traverse_assoc_3.h"
#include "io/string_in.h"

namespace {

struct record {
  std::string name;
  std::string parent;
  std::string value;  // the rest of the line after "name parent "
};

// Splits one line; false for a line without a name.
bool parse_record(const char* line, record& r) {
  const char* p = line;
  auto word = [&p](std::string& out) {
    while (*p && is_separator(*p)) ++p;
    const char* start = p;
    while (*p && !is_separator(*p)) ++p;
    out.assign(start, p);
  };
  word(r.name);
  if (r.name.empty()) return false;
  word(r.parent);
  if (*p == ' ') ++p;  // the one blank before the value
  r.value = p;
  while (!r.value.empty() && (r.value.back() == '\r' || r.value.back() == '\n')) r.value.pop_back();
  return true;
}

bool read_record(stream_in& in, record& r) {
  my_string line;
  while (!in.at_end()) {
    if (!in.read_line(line)) continue;  // an overlong line is no record
    if (parse_record(line.c_str(), r)) return true;
  }
  return false;
}

bool damaged(const std::string& name) {
  global_error_message().append("Project file is damaged near: ").append(name.c_str());
  show_error();
  return false;
}

assoc_class* child_with_display_name(assoc_class& parent, const char* name) {
  for (int i = 0; i < parent.child_count(); ++i)
    if (assoc_class::names_equal(parent.child(i)->display_name(), name)) return parent.child(i);
  return nullptr;
}

}  // namespace

void save_subtree(assoc_class& start, stream_out& out) {
  if (start.template_flag(tem_bits::not_for_proj)) return;
  start.write_for_project(out);
  traverse_assoc_3 walker;
  walker.start(&start);
  while (assoc_class* n = walker.next()) {
    if (n->template_flag(tem_bits::not_for_proj)) {
      walker.skip_children();
      continue;
    }
    n->write_for_project(out);
  }
}

bool load_subtree(assoc_class& start, stream_in& in, data_file_records* files) {
  record r;
  if (!read_record(in, r)) return true;  // the start node's own record
  assoc_class* current = &start;
  bool skipping_file = false;
  while (read_record(in, r)) {
    if (files && r.name == "xdd") {
      assoc_class* anchor = assoc_class::names_equal(current->class_name(), r.parent.c_str())
                                ? current
                                : current->ancestor_named(r.parent.c_str());
      assoc_class* loaded = files->load_record(r.value.c_str(), anchor ? *anchor : start);
      skipping_file = loaded == nullptr;
      if (loaded) current = loaded;
      continue;
    }
    if (skipping_file) continue;
    assoc_class* parent = assoc_class::names_equal(current->class_name(), r.parent.c_str())
                              ? current
                              : current->ancestor_named(r.parent.c_str());
    if (!parent) return damaged(r.name);
    assoc_class* node = parent->is_array() ? nullptr : child_with_display_name(*parent, r.name.c_str());
    if (!node) node = parent->create_child_by_name(r.name.c_str());
    if (!node) return damaged(r.name);
    string_in value(r.value.c_str());
    node->read_for_project(value);
    current = node;
  }
  return true;
}
