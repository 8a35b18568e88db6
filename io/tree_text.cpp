#include "io/tree_text.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/assoc_class.h"
#include "core/error_message.h"
#include "core/stream_in.h"
#include "core/stream_out.h"
#include "core/text_helpers.h"
#include "core/traverse_assoc_3.h"
#include "io/string_in.h"

namespace {

// The name of a data-file record: its value is the file's path.
constexpr const char* data_file_record = "xdd";

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

bool read_record(stream_in& in, record& r, bool* overlong = nullptr) {
  my_string line;
  while (!in.at_end()) {
    if (!in.read_line(line)) {  // an overlong line is no record
      if (overlong) *overlong = true;
      continue;
    }
    if (parse_record(line.c_str(), r)) return true;
  }
  return false;
}

// Said for a record that was skipped as too long to read: whatever it held
// (a data file's path, a setting) would be lost without a word.
const std::string overlong_line = "\n";

bool damaged(const std::string& name, const char* file_name) {
  my_string& message = global_error_message();
  message.append("Project file ");
  if (file_name && *file_name) message.append(file_name).append(" ");
  if (name.empty()) message.append("is damaged: it holds no record that can be read");
  else if (name == overlong_line)
    message.append("is damaged: a line is longer than ").append(stream_in::max_line).append(" characters");
  else message.append("is damaged near: ").append(name.c_str());
  show_error();
  return false;
}

assoc_class* child_with_display_name(assoc_class& parent, const char* name) {
  for (int i = 0; i < parent.child_count(); ++i)
    if (assoc_class::names_equal(parent.child(i)->display_name(), name)) return parent.child(i);
  return nullptr;
}

// A new child of `parent` for a record's name. A name that no template
// declares may still be made (a capital second letter chooses the class),
// but the node does not carry the name: it would be saved under a stand-in
// name that no reader can place, so it is not made at all.
assoc_class* made_for(assoc_class& parent, const char* name) {
  assoc_class* node = parent.create_child_by_name(name);
  if (node && !node->is_named(name)) {
    if (assoc_class* holder = node->parent()) holder->delete_child(node);
    return nullptr;
  }
  return node;
}

// Where a record whose parent is called `parent` belongs: the node read just
// before it, or the nearest of that node's ancestors of that name. The search
// stops at the start node, so that no record reaches above the sub-tree that
// is being read.
assoc_class* anchor_of(assoc_class& current, assoc_class& start, const char* parent) {
  if (assoc_class::names_equal(current.class_name(), parent)) return &current;
  for (assoc_class* a = &current; a != &start && a->parent();) {
    a = a->parent();
    if (a->is_named(parent)) return a;
  }
  return nullptr;
}

// True when `name` is that of `parent` or of one of its ancestors up to the
// start. Such a node could be saved but not read back: the records after
// it that belong to its namesake above would be placed under it instead.
bool names_an_ancestor(assoc_class& parent, assoc_class& start, const char* name) {
  for (assoc_class* a = &parent;; a = a->parent()) {
    if (a->is_named(name) || assoc_class::names_equal(a->class_name(), name)) return true;
    if (a == &start || !a->parent()) return false;
  }
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

void data_file_records::value_refused(const std::string& why) { report_error(why.c_str()); }

bool load_subtree(assoc_class& start, stream_in& in, data_file_records* files, const char* file_name) {
  record r;
  if (!read_record(in, r)) return true;  // the start node's own record
  assoc_class* current = &start;
  bool skipping_file = false;
  while (read_record(in, r)) {
    if (files && r.name == data_file_record) {
      assoc_class* anchor = anchor_of(*current, start, r.parent.c_str());
      assoc_class* loaded = files->load_record(r.value.c_str(), anchor ? *anchor : start);
      skipping_file = loaded == nullptr;
      if (loaded) current = loaded;
      continue;
    }
    if (skipping_file) continue;
    assoc_class* parent = anchor_of(*current, start, r.parent.c_str());
    if (!parent || names_an_ancestor(*parent, start, r.name.c_str())) return damaged(r.name, file_name);
    assoc_class* node = parent->is_array() ? nullptr : child_with_display_name(*parent, r.name.c_str());
    if (!node) node = made_for(*parent, r.name.c_str());
    if (!node) return damaged(r.name, file_name);
    string_in value(r.value.c_str());
    if (!node->read_for_project(value)) {
      my_string& message = global_error_message();
      const std::string why = message.c_str();
      message.assign("");
      if (!why.empty()) {
        if (files)
          files->value_refused(why);
        else
          report_error(why.c_str());
      }
    }
    current = node;
  }
  return true;
}

bool check_subtree(const char* start_name, stream_in& in, const char* file_name) {
  record r;
  bool overlong = false;
  if (!read_record(in, r, &overlong)) return damaged(overlong ? overlong_line : "", file_name);
  if (overlong) return damaged(overlong_line, file_name);
  if (r.name != start_name) return damaged(r.name, file_name);
  // The names of the node the reader would be at and of its ancestors up to
  // the start, innermost last.
  std::vector<std::string> at{start_name};
  while (read_record(in, r, &overlong)) {
    if (overlong) return damaged(overlong_line, file_name);
    auto found = std::find(at.rbegin(), at.rend(), r.parent);
    if (found == at.rend() || std::find(found, at.rend(), r.name) != at.rend()) return damaged(r.name, file_name);
    if (r.name == data_file_record && r.value.find_first_not_of(" \r") == std::string::npos) return damaged(r.name, file_name);
    at.erase(found.base(), at.end());
    at.push_back(r.name);
  }
  if (overlong) return damaged(overlong_line, file_name);
  return true;
}
