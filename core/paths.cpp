#include "core/paths.h"

#include <string>
#include <vector>

#include "core/text_helpers.h"
#include "core/traverse_assoc_3.h"

namespace {

struct step {
  char op = 'c';
  std::string name;
};
using steps = std::vector<step>;

steps parse_path(const char* path) {
  steps out;
  if (!path) return out;
  const char* p = path;
  for (;;) {
    while (*p && is_separator(*p)) ++p;
    if (!*p) break;
    const char op = *p++;
    while (*p && is_separator(*p)) ++p;
    const char* start = p;
    while (*p && !is_separator(*p)) ++p;
    out.push_back({op, std::string(start, p)});
  }
  return out;
}

assoc_class* take_step(assoc_class* at, const step& s, bool create) {
  switch (s.op) {
    case 'c':
      return create ? at->child_or_create(s.name.c_str()) : at->find_child(s.name.c_str());
    case 'f':
      return at->find_child(s.name.c_str());
    case 'p':
      return at->ancestor_named(s.name.c_str());
    case 'd':
      return depth_first_search(*at, s.name.c_str());
    default:
      return at;  // unknown operators are skipped
  }
}

assoc_class* walk_steps(assoc_class* at, const steps& path, std::size_t from, std::size_t to, bool create) {
  for (std::size_t i = from; i < to && at; ++i) at = take_step(at, path[i], create);
  return at;
}

int record_depth(assoc_class* rec) {
  const template_node_view* v = rec ? rec->as_template() : nullptr;
  return v ? v->depth() : 0;
}

// The template records of `n`'s scope, and the object that opens that scope.
assoc_class* scope_records(assoc_class& n) { return n.template_scope(); }

assoc_class* scope_object(assoc_class& n, assoc_class* records) {
  for (assoc_class* o = &n; o; o = o->parent()) {
    const template_node_view* v = o->template_view();
    if (v && (v->attributes() & tem_bits::tem_plate) && v->records() == records) return o;
  }
  return nullptr;
}

// Where a name resolves: the anchor object to walk from and the steps from it.
struct resolution {
  assoc_class* anchor = nullptr;
  steps path;
};

bool resolve(assoc_class& n, const char* name, resolution& out) {
  if (!name || !*name) return false;
  assoc_class* anchor = &n;
  assoc_class* records = nullptr;
  assoc_class* target = nullptr;
  for (; anchor; anchor = anchor->parent()) {
    records = scope_records(*anchor);
    target = records ? records->find_child(name) : nullptr;
    if (target) break;
  }
  if (!target) return false;

  // The anchor's own record: an object made in code has none, so the walk
  // starts from its nearest ancestor that has one in these records, or from
  // the object that opens the scope.
  assoc_class* anchor_rec = nullptr;
  assoc_class* opener = scope_object(*anchor, records);
  for (assoc_class* o = anchor; o; o = o->parent()) {
    if (o->tem() && records->find_child(o->display_name()) == o->tem()) {
      anchor = o;
      anchor_rec = o->tem();
      break;
    }
    if (o == opener) {
      anchor = o;
      break;
    }
  }
  steps down;  // from the common level to the target, top first
  if (!anchor_rec) {
    for (assoc_class* r = target; r && record_depth(r) >= 1; r = r->parent()) down.insert(down.begin(), {'c', r->class_name()});
    out.anchor = anchor;
    out.path = std::move(down);
    return true;
  }
  assoc_class* a = anchor_rec;
  assoc_class* t = target;
  while (record_depth(t) > record_depth(a) && t) {
    down.insert(down.begin(), {'c', t->class_name()});
    t = t->parent();
  }
  if (t == a) {
    out.anchor = anchor;
    out.path = std::move(down);
    return true;
  }
  while (record_depth(a) > record_depth(t) && a) a = a->parent();
  if (a == t && down.empty()) {
    out.anchor = anchor;
    out.path = {{'p', target->class_name()}};
    return true;
  }
  while (a && t && a != t && record_depth(a) >= 1) {
    down.insert(down.begin(), {'c', t->class_name()});
    a = a->parent();
    t = t->parent();
  }
  out.anchor = anchor;
  if (a && a == t && record_depth(a) >= 1) {
    out.path.push_back({'p', a->class_name()});
  } else if (assoc_class* o = scope_object(*anchor, records)) {
    // The branches meet only at the top: go up to the scope's own object.
    out.anchor = o;
  }
  out.path.insert(out.path.end(), down.begin(), down.end());
  return true;
}

assoc_class* find_impl(assoc_class& n, const char* name, bool create) {
  if (n.is_named(name)) return &n;
  resolution r;
  if (!resolve(n, name, r)) return nullptr;
  return walk_steps(r.anchor, r.path, 0, r.path.size(), create);
}

void make_new_from(assoc_class* at, const steps& path, std::size_t i, assoc_class* model, node_list& made) {
  for (; i < path.size() && at; ++i) {
    const step& s = path[i];
    const bool last = i + 1 == path.size();
    if (last) {
      if (s.op == 'p') return;
      assoc_class* fresh = at->create_child_by_name(s.name.c_str());
      if (fresh && model) fresh->copy_from(*model);
      if (fresh) made.push_back(fresh);
      return;
    }
    if (s.op == 'c' && at->is_array() && at->child_count() > 0) {
      // Each element stands for the step's child.
      node_list elements;
      for (int k = 0; k < at->child_count(); ++k) elements.push_back(at->child(k));
      for (assoc_class* e : elements) make_new_from(e, path, i + 1, model, made);
      return;
    }
    at = take_step(at, s, true);
  }
}

void find_all_from(assoc_class* at, const steps& path, std::size_t i, node_list& list, bool create) {
  for (; i < path.size() && at; ++i) {
    const step& s = path[i];
    const bool last = i + 1 == path.size();
    if (s.op == 'p') {
      at = at->ancestor_named(s.name.c_str());
      if (last && at) list.push_back(at);
      continue;
    }
    if (at->is_array()) {
      node_list elements;
      for (int k = 0; k < at->child_count(); ++k) elements.push_back(at->child(k));
      if (last) {
        list.insert(list.end(), elements.begin(), elements.end());
      } else {
        for (assoc_class* e : elements) find_all_from(e, path, i + 1, list, create);
      }
      return;
    }
    at = create ? at->child_or_create(s.name.c_str()) : at->find_child(s.name.c_str());
    if (last && at) list.push_back(at);
  }
}

}  // namespace

assoc_class* walk(assoc_class& from, const char* path) {
  const steps s = parse_path(path);
  return walk_steps(&from, s, 0, s.size(), true);
}

assoc_class* walk_existing(assoc_class& from, const char* path) {
  const steps s = parse_path(path);
  return walk_steps(&from, s, 0, s.size(), false);
}

assoc_class* depth_first_search(assoc_class& from, const char* name) {
  if (from.is_named(name)) return &from;
  traverse_assoc_3 walker;
  walker.start(&from);
  while (assoc_class* n = walker.next()) {
    if (n->is_named(name)) return n;
    if (n->is_array()) walker.skip_children();
  }
  return nullptr;
}

assoc_class* find(assoc_class& n, const char* name) { return find_impl(n, name, true); }

assoc_class* find_existing(assoc_class& n, const char* name) { return find_impl(n, name, false); }

assoc_class* find_parent_of(assoc_class& n, const char* name) {
  if (n.is_named(name)) return n.parent();
  resolution r;
  if (!resolve(n, name, r)) return nullptr;
  if (r.path.empty()) return r.anchor->parent();
  if (r.path.size() == 1 && r.path[0].op == 'p') {
    assoc_class* reached = walk_steps(r.anchor, r.path, 0, 1, true);
    return reached ? reached->parent() : nullptr;
  }
  return walk_steps(r.anchor, r.path, 0, r.path.size() - 1, true);
}

assoc_class* add_at_place(assoc_class& n, assoc_class* node) {
  if (!node) return nullptr;
  assoc_class* parent = find_parent_of(n, node->class_name());
  return parent ? parent->add_child(node) : nullptr;
}

assoc_class* create_at_place(assoc_class& n, const char* name) {
  assoc_class* parent = find_parent_of(n, name);
  return parent ? parent->create_child_by_name(name) : nullptr;
}

bool delete_named(assoc_class& n, const char* name) {
  assoc_class* found = find_existing(n, name);
  if (!found) return false;
  n.delete_child(found);
  return true;
}

assoc_class* make_new_at_place(assoc_class& n, const char* name, assoc_class* model, node_list* made) {
  resolution r;
  if (!resolve(n, name, r)) return nullptr;
  node_list fresh;
  make_new_from(r.anchor, r.path, 0, model, fresh);
  if (made) made->insert(made->end(), fresh.begin(), fresh.end());
  return fresh.empty() ? nullptr : fresh.front();
}

void find_all(assoc_class& n, node_list& list, const char* name, bool create) {
  if (n.is_named(name)) {
    list.push_back(&n);
    return;
  }
  resolution r;
  if (!resolve(n, name, r)) return;
  find_all_from(r.anchor, r.path, 0, list, create);
}

void find_all_of_words(assoc_class& n, node_list& list, const char* text, bool create) {
  if (!text) return;
  const char* p = text;
  for (;;) {
    while (*p && is_separator(*p)) ++p;
    if (!*p) return;
    const char* start = p;
    while (*p && !is_separator(*p)) ++p;
    const std::string word(start, p);
    find_all(n, list, word.c_str(), create);
  }
}

assoc_class* query_object(const char* query) {
  template_host* host = current_template_host();
  assoc_class* root = host ? host->outside_root() : nullptr;
  if (!root || !query) return nullptr;
  const std::string path = std::string("c ") + query;
  return walk_existing(*root, path.c_str());
}

const char* query_value(const char* query) {
  assoc_class* record = query_object(query);
  if (!record || !record->first_child()) return nullptr;
  return record->first_child()->class_name();
}

assoc_class* set_int_named(assoc_class& n, const char* name, int value) {
  assoc_class* f = find(n, name);
  return f ? f->set_int(value) : nullptr;
}

assoc_class* set_double_named(assoc_class& n, const char* name, double value) {
  assoc_class* f = find(n, name);
  return f ? f->set_double(value) : nullptr;
}

assoc_class* set_object_named(assoc_class& n, const char* name, assoc_class* value) {
  assoc_class* f = find(n, name);
  return f ? f->set_object(value) : nullptr;
}

assoc_class* set_text_named(assoc_class& n, const char* name, const char* value) {
  assoc_class* f = find(n, name);
  return f ? f->set_text(value) : nullptr;
}

assoc_class* get_object_named(assoc_class& n, const char* name) {
  assoc_class* f = find(n, name);
  return f ? f->get_object() : nullptr;
}

int get_int_named(assoc_class& n, const char* name) {
  assoc_class* f = find(n, name);
  return f ? f->get_int() : 0;
}

double get_double_named(assoc_class& n, const char* name) {
  assoc_class* f = find(n, name);
  return f ? f->get_double() : 0.0;
}

const char* get_text_named(assoc_class& n, const char* name) {
  assoc_class* f = find(n, name);
  return f ? f->get_text() : nullptr;
}

my_string* get_string_named(assoc_class& n, const char* name) {
  assoc_class* f = find(n, name);
  return f ? f->get_string() : nullptr;
}
