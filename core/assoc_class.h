#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "core/my_ctr.h"
#include "core/my_string.h"
#include "core/ptr_class.h"
#include "core/template_host.h"

class stream_in;
class stream_out;
class assoc_class;

// Node bits, in the flag word shared with the child container.
namespace node_bits {
inline constexpr std::uint32_t marked = 0x4;        // to be deleted by copy_from
inline constexpr std::uint32_t dying = 0x8;         // its sub-tree is being destroyed
inline constexpr std::uint32_t changed = 0x10;      // the dirty mark
inline constexpr std::uint32_t being_deleted = 0x20;  // its deletion has begun (scripts running)
inline constexpr std::uint32_t live = 0x40;         // bound to the template tree
inline constexpr std::uint32_t initialised = 0x80;  // typed value holds a value
inline constexpr std::uint32_t excluded = 0x400;    // skipped by copy_from
}  // namespace node_bits

// One association: `target` is the other node; `holder`, when set, is a
// reference variable that points at target and is reset when target dies.
struct assoc_rec {
  assoc_class* target = nullptr;
  ptr_class<assoc_class>* holder = nullptr;
};

using node_list = std::vector<assoc_class*>;

// A named tree node: it is the ordered list of its children, knows its parent
// and its template, and keeps the association records that let references to
// it be reset when it dies.
class assoc_class : public my_ctr_ptr<assoc_class> {
 public:
  assoc_class();
  assoc_class(const assoc_class&) = delete;
  assoc_class& operator=(const assoc_class&) = delete;
  ~assoc_class() override;

  // Container overrides.
  void clear() override;
  void delete_element(assoc_class* node) override;

  // Values (hooks; typed values fill them).
  virtual bool read_value(stream_in& in);
  virtual void write_value(stream_out& out);
  virtual bool read_for_project(stream_in& in);
  virtual void write_for_project(stream_out& out);

  // Names and order.
  virtual bool less_than(assoc_class& node);
  virtual bool equals(assoc_class& node);
  virtual bool name_less_than(const char* text);
  virtual bool matches_name(const char* text);
  virtual bool is_named(const char* text);
  static bool names_equal(const char* a, const char* b);
  // How many nodes exist now: what a script makes is measured by it.
  static long existing_count();
  virtual const char* class_name() const;
  virtual const char* display_name() const;
  virtual const char* output_name() const;
  virtual my_string& format_value(my_string& text);
  virtual int set_text_with_limits(const char* text);

  // Copies.
  virtual std::unique_ptr<assoc_class> clone_empty() const;
  virtual void copy_from(assoc_class& source);

  virtual bool is_array();
  virtual void configure() {}
  virtual bool sort_unique();
  virtual assoc_class* find_child(const char* name);
  virtual assoc_class* find_equal_child(assoc_class& node);
  virtual void rebuild_index() {}
  // Takes ownership of the node when this list owns its children.
  virtual assoc_class* add_child(assoc_class* node);
  assoc_class* add_child(std::unique_ptr<assoc_class> node) { return add_child(node.release()); }
  virtual bool is_changed() const { return flags_.test(node_bits::changed) != 0; }
  virtual void set_changed(bool on) { flags_.assign(node_bits::changed, on); }
  virtual assoc_class* execute();
  // Execution with an argument object (scripts' "Q"); plain nodes ignore it.
  virtual assoc_class* execute_with(assoc_class* argument);
  virtual assoc_class* template_scope();
  virtual std::uint32_t template_flag(std::uint32_t mask);
  virtual void register_object(assoc_class* node);
  virtual std::unique_ptr<assoc_class> create_object(const char* name);

  // Typed-value hooks.
  virtual assoc_class* get_object() { return nullptr; }
  virtual int get_int() { return 0; }
  virtual double get_double() { return 0.0; }
  virtual const char* get_text() { return nullptr; }
  virtual my_string* get_string() { return nullptr; }
  virtual assoc_class* set_int(int) { return this; }
  virtual assoc_class* set_double(double) { return this; }
  virtual assoc_class* set_object(assoc_class*) { return this; }
  virtual assoc_class* set_text(const char*) { return this; }
  virtual assoc_class* set_char(char) { return this; }
  virtual assoc_class* assign_value(assoc_class&) { return this; }

  virtual bool sort_equals(assoc_class& node) { return equals(node); }
  virtual bool sort_matches(const char* text) { return matches_name(text); }
  virtual bool equals_object(assoc_class*) { return false; }
  virtual bool equals_int(int) { return false; }
  virtual bool equals_char(char) { return false; }
  virtual bool equals_double(double) { return false; }
  virtual void remove_duplicates();
  virtual void add_all(const node_list& list);

  // Template nodes answer with their view; other nodes with null.
  virtual const template_node_view* as_template() const { return nullptr; }

  // Tree structure.
  assoc_class* parent() const { return parent_.get(); }
  assoc_class* tem() const { return tem_.get(); }
  void set_tem(assoc_class* t) { tem_.set(t); }
  const template_node_view* template_view() const;
  int child_count() const { return count(); }
  // The i-th child counting from 0, whatever the base index.
  assoc_class* child(int i) const { return (*this)[base() + i]; }
  assoc_class* first_child() const { return count() > 0 ? child(0) : nullptr; }
  assoc_class* last_child() const { return count() > 0 ? child(count() - 1) : nullptr; }
  bool is_live() const { return flags_.test(node_bits::live) != 0; }
  void set_live() { flags_.set(node_bits::live); }

  void delete_child(assoc_class* node);
  bool delete_child_named(const char* name);
  bool delete_descendant_named(const char* name);
  void delete_all_children();
  void detach_from_parent();
  void move_to(assoc_class* new_parent);
  int depth() const;
  assoc_class* enclosing_array();
  assoc_class* self_or_ancestor_named(const char* name);
  assoc_class* ancestor_named(const char* name);
  assoc_class* app_object();
  void collect_subtree(node_list& list);
  void collect_named(node_list& list, const char* name);
  void apply_to_subtree(stream_out& out);
  // mode 2: template attribute bits; mode 1: node bits.
  void collect_flagged(node_list& list, std::uint32_t mask, int mode, bool include_arrays);
  bool subtree_changed();

  void link(assoc_class* target, ptr_class<assoc_class>* holder);
  void unlink(ptr_class<assoc_class>* holder);
  void link_by_search(const char* name, ptr_class<assoc_class>* holder);
  bool delete_linked_named(const char* name);
  void copy_into_excluding(assoc_class& target, const char* names);
  assoc_class* create_child_by_name(const char* name);
  assoc_class* child_or_create(const char* name);
  const char* child_value(const char* name);

  // Sorted look-up: bisection over children sorted by name.
  int find_sorted(const char* key, int lo, int hi);
  int find_sorted_node(assoc_class& key, int lo, int hi);
  void sort_children();

  // Runs one of the template's scripts on this node.
  void run_template_script(script_kind kind, my_string* output);
  const my_ctr_obj<assoc_rec>& records() const { return recs_; }

 protected:
  // Pointer to a parent, set by owning containers only.
  void set_parent(assoc_class* p) { parent_.set(p); }
  // The node's own teardown order, shared by the destructor.
  void destroy_children();
  void bind_template();

 private:
  void drop_associations();
  void mark_subtree_dying();
  void destroy_in_teardown(assoc_class* node);
  void remove_records_to(assoc_class* target);

  my_ctr_obj<assoc_rec> recs_;
  ptr_class<assoc_class> parent_;
  ptr_class<assoc_class> tem_;
};

// A new, empty node of the same class as `self`, bound to the same template:
// what clone_empty answers for most classes.
template <class T>
std::unique_ptr<assoc_class> clone_like(const T& self) {
  auto copy = std::make_unique<T>();
  copy->set_tem(self.tem());
  return copy;
}

// The root of the application's tree.
class top_3 : public assoc_class {
 public:
  top_3() { set_live(); }
  const char* class_name() const override { return "top"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return std::make_unique<top_3>(); }
};
