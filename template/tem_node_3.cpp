#include "template/tem_node_3.h"

#include <cstring>
#include <vector>

#include "core/stream_copy.h"
#include "io/string_in.h"
#include "io/string_out.h"
#include "template/do_inps_3.h"
#include "template/tem_funda_3.h"

std::unique_ptr<tem_node_3> tem_node_3::new_like() const { return std::make_unique<tem_node_3>(); }

void tem_node_3::copy_node(tem_node_3& node) {
  marks = node.marks;
  name = node.name;
  creation_action = node.creation_action;
  execution_action = node.execution_action;
  deletion_action = node.deletion_action;
  template_name = node.template_name;
  get_action = node.get_action;
  // The sub-tree below, each child rebuilt by its own kind. The children are
  // listed first: the source may be an ancestor of this node.
  std::vector<tem_node_3*> sources;
  for (int i = 0; i < node.child_count(); ++i)
    if (auto* source = dynamic_cast<tem_node_3*>(node.child(i))) sources.push_back(source);
  for (tem_node_3* source : sources) {
    std::unique_ptr<tem_node_3> copy = source->new_like();
    copy->copy_node(*source);
    add_child(copy.release());
  }
}

const char* tem_node_3::node_name() const { return name.is_empty() ? "tem_node_3" : name.c_str(); }

bool tem_node_3::matches(const char* text) const { return text && std::strcmp(node_name(), text) == 0; }

const char* tem_node_3::action(script_kind kind) const {
  const my_string* text = nullptr;
  switch (kind) {
    case script_kind::creation: text = &creation_action; break;
    case script_kind::execution: text = &execution_action; break;
    case script_kind::deletion: text = &deletion_action; break;
    case script_kind::get: text = &get_action; break;
  }
  return text->is_empty() ? nullptr : text->c_str();
}

bool tem_node_3::read_value(stream_in& in) {
  string_out text;
  copy_until_any(text, in, ";", 2);
  // What follows ';' on its line is a comment; the newline stays for the caller.
  for (;;) {
    if (in.at_end()) break;
    const char c = in.get();
    if (c == '\n') {
      in.unget();
      break;
    }
  }
  apply_text(text.text());
  return true;
}

void tem_node_3::apply_text(const char* text) {
  string_in line(text);
  name.assign(line.read_word());
  for (;;) {
    const my_string word(line.read_word());
    if (word.is_empty()) break;
    if (!apply_attribute(word.c_str(), line, *this)) other_word(line, word.c_str());
  }
}

void tem_funda_3::copy_node(tem_node_3& node) {
  tem_node_3::copy_node(node);
  if (auto* f = dynamic_cast<tem_funda_3*>(&node)) field_ = f->field_;
}

void tem_multiple_names_3::copy_node(tem_node_3& node) {
  tem_funda_3::copy_node(node);
  if (auto* m = dynamic_cast<tem_multiple_names_3*>(&node)) {
    aliases = m->aliases;
    creator = m->creator;
  }
}

bool tem_multiple_names_3::matches(const char* text) const {
  if (tem_node_3::matches(text)) return true;
  if (!text || !*text) return false;
  // Scanned by hand: the streams' shared word buffer may be in use by the caller.
  const std::size_t n = std::strlen(text);
  for (const char* p = aliases.c_str(); *p;) {
    while (*p == ' ') ++p;
    const char* end = p;
    while (*end && *end != ' ') ++end;
    if (static_cast<std::size_t>(end - p) == n && std::strncmp(p, text, n) == 0) return true;
    p = end;
  }
  return false;
}

const char* tem_multiple_names_3::creation_name(const char* requested) const {
  return creator.is_empty() ? requested : creator.c_str();
}

void inp_tem_rec_3::copy_node(tem_node_3& node) {
  tem_node_3::copy_node(node);
  if (auto* r = dynamic_cast<inp_tem_rec_3*>(&node)) {
    report_flags = r->report_flags;
    caller_value = r->caller_value;
    title = r->title;
    help = r->help;
    get_name = r->get_name;
    make_name = r->make_name;
  }
}
