#include "core/assoc_class.h"

#include <algorithm>
#include <cstring>

#include "core/index_sort.h"
#include "core/node_watch.h"
#include "core/paths.h"
#include "core/stream_out.h"

namespace {

bool untouchable(assoc_class* node) {
  return node->flags().test(node_bits::dying | node_bits::being_deleted) != 0;
}

// A free-standing name: its second letter is 'N' to 'R'.
bool is_free_standing(const char* name) { return name && name[0] && name[1] >= 'N' && name[1] <= 'R'; }

// Nodes live on the one user-interface thread.
long existing_nodes = 0;

}  // namespace

assoc_class::assoc_class() {
  flags_.set(container_bits::owns);
  ++existing_nodes;
}

long assoc_class::existing_count() { return existing_nodes; }

assoc_class::~assoc_class() {
  --existing_nodes;
  if (!flags_.test(node_bits::dying)) {
    // Reset every reference into the sub-tree before any deletion script runs.
    node_list all;
    collect_subtree(all);
    for (assoc_class* n : all) n->drop_associations();
    mark_subtree_dying();
  }
  // Scripts run during the teardown may have linked to this node again.
  drop_associations();
  if (assoc_class* p = parent()) {
    parent_.reset();
    p->remove_pointer(this);
  }
  destroy_children();
}

void assoc_class::destroy_children() {
  if (owns()) {
    for (int i = 0; i < count_; ++i) {
      if (storage_[i]) storage_[i]->parent_.reset();
    }
    // Take each child out of its slot before deleting it: a deletion script
    // may reach back into this list.
    for (int i = 0; i < count_; ++i) {
      assoc_class* c = storage_[i];
      storage_[i] = nullptr;
      if (c) destroy_in_teardown(c);
    }
  }
  free_storage();
}

void assoc_class::destroy_in_teardown(assoc_class* node) {
  // A child cannot outlive a parent that is being destroyed, whatever its
  // template says: nothing could reach it again.
  node->flags_.set(node_bits::being_deleted);
  node->run_template_script(script_kind::deletion, nullptr);
  delete node;
}

void assoc_class::mark_subtree_dying() {
  flags_.set(node_bits::dying);
  for (int i = 0; i < count_; ++i)
    if (storage_[i]) storage_[i]->mark_subtree_dying();
}

void assoc_class::remove_records_to(assoc_class* target) {
  for (int i = recs_.count() - 1; i >= 0; --i) {
    assoc_rec r = recs_[recs_.base() + i];
    if (r.target != target) continue;
    recs_.remove_at(recs_.base() + i);
    if (r.holder) r.holder->reset();
  }
}

void assoc_class::drop_associations() {
  while (recs_.count() > 0) {
    const assoc_rec r = recs_[recs_.last_index()];
    recs_.remove_at(recs_.last_index());
    if (r.target && r.target != this) r.target->remove_records_to(this);
  }
  recs_.free_storage();
}

void assoc_class::clear() {
  if (!owns()) {
    free_storage();
    return;
  }
  delete_all_children();
  if (count_ == 0) free_storage();
}

void assoc_class::delete_element(assoc_class* node) { delete_child(node); }

bool assoc_class::read_value(stream_in&) { return false; }

void assoc_class::write_value(stream_out&) {}

bool assoc_class::read_for_project(stream_in&) { return false; }

void assoc_class::write_for_project(stream_out& out) {
  if (template_flag(tem_bits::not_for_proj)) return;
  out.put_chars("\n");
  out.put_chars(display_name());
  out.put_chars(" ");
  out.put_chars(parent() ? parent()->class_name() : "~");
  out.put_chars(" ");
}

bool assoc_class::less_than(assoc_class& node) { return name_less_than(node.class_name()); }

bool assoc_class::equals(assoc_class& node) { return matches_name(node.class_name()); }

bool assoc_class::name_less_than(const char* text) { return std::strcmp(class_name(), text ? text : "") < 0; }

bool assoc_class::matches_name(const char* text) { return is_named(text); }

bool assoc_class::is_named(const char* text) {
  if (is_live()) {
    bind_template();
    if (assoc_class* t = tem()) return t->is_named(text);
  }
  return names_equal(class_name(), text);
}

bool assoc_class::names_equal(const char* a, const char* b) { return a && b && std::strcmp(a, b) == 0; }

const char* assoc_class::class_name() const { return "assoc_class::class_name"; }

const char* assoc_class::display_name() const {
  if (is_live() && tem()) return tem()->class_name();
  return class_name();
}

const char* assoc_class::output_name() const { return class_name(); }

my_string& assoc_class::format_value(my_string& text) { return text; }

int assoc_class::set_text_with_limits(const char*) { return 0; }

std::unique_ptr<assoc_class> assoc_class::clone_empty() const { return std::make_unique<assoc_class>(); }

void assoc_class::copy_from(assoc_class& source) {
  // Assigning a node from itself or from an ancestor would copy what it is
  // deleting, or copy forever.
  for (assoc_class* p = this; p; p = p->parent())
    if (p == &source) return;
  node_watch source_alive(&source);

  if (owns()) {
    node_list doomed;
    int kept = 0;
    for (int i = 0; i < count_; ++i) {
      assoc_class* c = storage_[i];
      if (c && !c->template_flag(tem_bits::no_delete_on_assignment) &&
          !c->template_flag(tem_bits::not_to_be_deleted)) {
        c->flags_.set(node_bits::marked);
        doomed.push_back(c);
      } else {
        storage_[kept++] = c;
      }
    }
    for (int i = kept; i < count_; ++i) storage_[i] = nullptr;
    count_ = kept;
    for (assoc_class* c : doomed) {
      c->parent_.reset();
      delete_child(c);
    }
  }
  if (!source_alive) return;

  // Scripts run by the copies may delete the source's children or this node.
  node_watch self_alive(this);
  std::vector<std::unique_ptr<node_watch>> sources;
  for (int i = 0; i < source.count(); ++i) sources.push_back(std::make_unique<node_watch>(source.child(i)));

  if (!is_live()) {
    for (const auto& w : sources) {
      assoc_class* c = w->get();
      if (!source_alive || !self_alive) return;
      if (!c || c->template_flag(tem_bits::not_to_copy)) continue;
      if (assoc_class* n = add_child(c->clone_empty())) n->copy_from(*c);
    }
    return;
  }
  assoc_class* recs = template_scope();
  // What stayed from before the copy; anything else of a copied name was
  // made meanwhile by a script of an earlier copy (a change script that
  // sets a sibling), and takes the copy rather than being shadowed by it.
  node_list kept;
  for (int i = 0; i < count_; ++i) kept.push_back(storage_[i]);
  for (const auto& w : sources) {
    assoc_class* c = w->get();
    if (!source_alive || !self_alive) return;
    if (!c || c->flags_.test(node_bits::excluded) || c->template_flag(tem_bits::not_to_copy)) continue;
    const my_string name = c->display_name();
    if (!is_free_standing(name) && !(recs && recs->find_child(name))) continue;
    assoc_class* n = is_array() ? nullptr : find_child(name);
    if (n && std::find(kept.begin(), kept.end(), n) != kept.end()) n = nullptr;
    if (!n) n = create_child_by_name(name);
    if (n) n->copy_from(*c);
  }
}

bool assoc_class::is_array() { return template_flag(tem_bits::array) != 0; }

bool assoc_class::sort_unique() {
  sort_children();
  for (int i = 1; i < count_; ++i)
    if (storage_[i]->equals(*storage_[i - 1])) return false;
  return true;
}

void assoc_class::sort_children() {
  index_sort(*this, [](assoc_class* a, assoc_class* b) { return a->less_than(*b); });
}

assoc_class* assoc_class::find_child(const char* name) {
  for (int i = 0; i < count_; ++i)
    if (storage_[i] && storage_[i]->is_named(name)) return storage_[i];
  return nullptr;
}

assoc_class* assoc_class::find_equal_child(assoc_class& node) {
  for (int i = 0; i < count_; ++i)
    if (storage_[i] && storage_[i]->equals(node)) return storage_[i];
  return nullptr;
}

assoc_class* assoc_class::add_child(assoc_class* node) {
  if (!node) return nullptr;
  append(node);
  if (owns()) node->parent_.set(this);
  if (is_live()) {
    node->set_live();
    node->template_scope();
    node->configure();
    if (node->template_flag(tem_bits::on_creation)) {
      // A creation script may remove what it was run for.
      node_watch alive(node);
      node->run_template_script(script_kind::creation, nullptr);
      return alive.get();
    }
  }
  return node;
}

assoc_class* assoc_class::execute() {
  if (template_flag(tem_bits::on_execution)) run_template_script(script_kind::execution, nullptr);
  return this;
}

assoc_class* assoc_class::execute_with(assoc_class*) { return execute(); }

void assoc_class::bind_template() {
  if (tem()) return;
  template_host* host = current_template_host();
  if (!host) return;
  if (names_equal(output_name(), "app")) {
    tem_.set(host->app_template());
    return;
  }
  if (!parent()) return;
  if (assoc_class* recs = parent()->template_scope()) tem_.set(recs->find_child(output_name()));
}

assoc_class* assoc_class::template_scope() {
  for (assoc_class* n = this; n; n = n->parent()) {
    n->bind_template();
    const template_node_view* v = n->template_view();
    if (v && (v->attributes() & tem_bits::tem_plate)) return v->records();
  }
  return nullptr;
}

const template_node_view* assoc_class::template_view() const { return tem() ? tem()->as_template() : nullptr; }

std::uint32_t assoc_class::template_flag(std::uint32_t mask) {
  const template_node_view* v = template_view();
  return v ? v->attributes() & mask : 0;
}

void assoc_class::register_object(assoc_class* node) {
  if (template_host* host = current_template_host()) host->register_object(node);
}

std::unique_ptr<assoc_class> assoc_class::create_object(const char* name) {
  template_host* host = current_template_host();
  return host ? host->create_object(name) : nullptr;
}

void assoc_class::remove_duplicates() {
  sort_children();
  node_list dups;
  int kept = 0;
  for (int i = 0; i < count_; ++i) {
    if (kept > 0 && storage_[i]->equals(*storage_[kept - 1]))
      dups.push_back(storage_[i]);
    else
      storage_[kept++] = storage_[i];
  }
  for (int i = kept; i < count_; ++i) storage_[i] = nullptr;
  count_ = kept;
  if (!owns()) return;
  for (assoc_class* d : dups) {
    d->parent_.reset();
    delete_child(d);
  }
}

void assoc_class::add_all(const node_list& list) {
  for (assoc_class* n : list) add_child(n);
}

void assoc_class::delete_child(assoc_class* node) {
  if (!node || untouchable(node)) return;
  if (node->template_flag(tem_bits::not_to_be_deleted)) return;
  node_watch alive(node);
  node->flags_.set(node_bits::being_deleted);
  assoc_class* former = node->parent();
  if (!former) {
    node->run_template_script(script_kind::deletion, nullptr);
    if (alive) delete node;
    return;
  }
  node_watch former_alive(former);
  my_string output;
  node->run_template_script(script_kind::deletion, &output);
  if (alive) delete node;
  if (!output.is_empty() && former_alive) {
    if (template_host* host = current_template_host()) host->run_script(*former, output, nullptr);
  }
}

bool assoc_class::delete_child_named(const char* name) {
  assoc_class* c = find_child(name);
  if (!c) return false;
  delete_child(c);
  return true;
}

bool assoc_class::delete_descendant_named(const char* name) {
  assoc_class* c = depth_first_search(*this, name);
  if (!c || c == this) return false;
  delete_child(c);
  return true;
}

void assoc_class::delete_all_children() {
  if (!owns()) {
    count_ = 0;
    return;
  }
  // Children that refuse deletion are skipped rather than retried forever.
  for (int i = count_ - 1; i >= 0; --i) {
    if (i >= count_) i = count_ - 1;
    if (i < 0) break;
    delete_child(storage_[i]);
  }
}

void assoc_class::detach_from_parent() {
  if (assoc_class* p = parent()) {
    parent_.reset();
    p->remove_pointer(this);
  }
}

void assoc_class::move_to(assoc_class* new_parent) {
  // A node cannot become its own descendant.
  for (assoc_class* p = new_parent; p; p = p->parent())
    if (p == this) return;
  detach_from_parent();
  if (new_parent) new_parent->add_child(this);
}

int assoc_class::depth() const {
  int d = 0;
  for (assoc_class* p = parent(); p; p = p->parent()) ++d;
  return d;
}

assoc_class* assoc_class::enclosing_array() {
  for (assoc_class* n = this; n; n = n->parent())
    if (n->is_array()) return n;
  return nullptr;
}

assoc_class* assoc_class::self_or_ancestor_named(const char* name) {
  return is_named(name) ? this : ancestor_named(name);
}

assoc_class* assoc_class::ancestor_named(const char* name) {
  for (assoc_class* p = parent(); p; p = p->parent())
    if (p->is_named(name)) return p;
  return nullptr;
}

assoc_class* assoc_class::app_object() { return self_or_ancestor_named("app"); }

void assoc_class::collect_subtree(node_list& list) {
  list.push_back(this);
  for (int i = 0; i < count_; ++i)
    if (storage_[i]) storage_[i]->collect_subtree(list);
}

void assoc_class::collect_named(node_list& list, const char* name) {
  if (is_named(name)) list.push_back(this);
  for (int i = 0; i < count_; ++i)
    if (storage_[i]) storage_[i]->collect_named(list, name);
}

void assoc_class::apply_to_subtree(stream_out& out) {
  write_value(out);
  for (int i = 0; i < count_; ++i)
    if (storage_[i]) storage_[i]->apply_to_subtree(out);
}

void assoc_class::collect_flagged(node_list& list, std::uint32_t mask, int mode, bool include_arrays) {
  if (is_array() && !include_arrays) return;
  const bool hit = mode == 2 ? template_flag(mask) != 0 : flags_.test(mask) != 0;
  if (hit) list.push_back(this);
  for (int i = 0; i < count_; ++i)
    if (storage_[i]) storage_[i]->collect_flagged(list, mask, mode, include_arrays);
}

bool assoc_class::subtree_changed() {
  if (is_changed()) return true;
  for (int i = 0; i < count_; ++i)
    if (storage_[i] && storage_[i]->subtree_changed()) return true;
  return false;
}

void assoc_class::link(assoc_class* target, ptr_class<assoc_class>* holder) {
  // A holder follows one target: drop the record of the one it had.
  if (holder && holder->get()) unlink(holder);
  if (holder) holder->set(target);
  if (!target || target == this) return;
  target->recs_.append({this, nullptr});
  recs_.append({target, holder});
}

void assoc_class::unlink(ptr_class<assoc_class>* holder) {
  if (!holder || !holder->get()) return;
  assoc_class* target = holder->get();
  bool found = false;
  for (int i = 0; i < recs_.count(); ++i) {
    const assoc_rec& r = recs_[recs_.base() + i];
    if (r.holder == holder && r.target == target) {
      recs_.remove_at(recs_.base() + i);
      found = true;
      break;
    }
  }
  if (found) {
    for (int i = 0; i < target->recs_.count(); ++i) {
      const assoc_rec& r = target->recs_[target->recs_.base() + i];
      if (r.target == this && r.holder == nullptr) {
        target->recs_.remove_at(target->recs_.base() + i);
        break;
      }
    }
  }
  holder->reset();
}

void assoc_class::link_by_search(const char* name, ptr_class<assoc_class>* holder) {
  if (!holder || holder->get()) return;
  if (assoc_class* n = depth_first_search(*this, name)) link(n, holder);
}

bool assoc_class::delete_linked_named(const char* name) {
  bool any = false;
  node_list tried;
  for (;;) {
    assoc_class* victim = nullptr;
    for (int i = 0; i < recs_.count() && !victim; ++i) {
      assoc_class* t = recs_[recs_.base() + i].target;
      if (!t || untouchable(t) || !t->is_named(name)) continue;
      if (std::find(tried.begin(), tried.end(), t) != tried.end()) continue;
      victim = t;
    }
    if (!victim) return any;
    tried.push_back(victim);
    any = true;
    delete_child(victim);
  }
}

void assoc_class::copy_into_excluding(assoc_class& target, const char* names) {
  node_list excluded;
  find_all_of_words(*this, excluded, names, false);
  std::vector<std::unique_ptr<node_watch>> watches;
  for (assoc_class* n : excluded) {
    n->flags_.set(node_bits::excluded);
    watches.push_back(std::make_unique<node_watch>(n));
  }
  target.copy_from(*this);
  for (const auto& w : watches)
    if (assoc_class* n = w->get()) n->flags_.clear(node_bits::excluded);
}

assoc_class* assoc_class::create_child_by_name(const char* name) {
  template_host* host = current_template_host();
  return host && name && *name ? host->create_child_by_name(*this, name) : nullptr;
}

assoc_class* assoc_class::child_or_create(const char* name) {
  if (assoc_class* c = find_child(name)) return c;
  return create_child_by_name(name);
}

const char* assoc_class::child_value(const char* name) {
  assoc_class* c = find_child(name);
  if (!c || !c->first_child()) return nullptr;
  return c->first_child()->class_name();
}

int assoc_class::find_sorted(const char* key, int lo, int hi) {
  if (count_ == 0 || lo > hi) return not_found;
  while (hi - lo > 1) {
    const int mid = (lo + hi) >> 1;
    if ((*this)[mid]->name_less_than(key))
      lo = mid;
    else
      hi = mid;
  }
  if ((*this)[lo]->matches_name(key)) return lo;
  if ((*this)[hi]->matches_name(key)) return hi;
  return not_found;
}

int assoc_class::find_sorted_node(assoc_class& key, int lo, int hi) {
  if (count_ == 0 || lo > hi) return not_found;
  while (hi - lo > 1) {
    const int mid = (lo + hi) >> 1;
    if ((*this)[mid]->less_than(key))
      lo = mid;
    else
      hi = mid;
  }
  if ((*this)[lo]->equals(key)) return lo;
  if ((*this)[hi]->equals(key)) return hi;
  return not_found;
}

void assoc_class::run_template_script(script_kind kind, my_string* output) {
  const template_node_view* v = template_view();
  if (!v) return;
  const char* script = v->action(kind);
  if (!script || !*script) return;
  if (template_host* host = current_template_host()) {
    // The script text belongs to the template, which outlives every object.
    host->run_script(*this, script, output);
  }
}
