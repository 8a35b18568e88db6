#pragma once

#include <cstdint>
#include <memory>

class assoc_class;
class my_string;
struct field_description;

// Attribute bits of a template node, as the object tree reads them.
namespace tem_bits {
inline constexpr std::uint32_t array = 0x1;
inline constexpr std::uint32_t tem_plate = 0x40;
inline constexpr std::uint32_t on_creation = 0x80;
inline constexpr std::uint32_t on_execution = 0x100;
inline constexpr std::uint32_t on_deletion = 0x200;
inline constexpr std::uint32_t fit_prm = 0x400;
inline constexpr std::uint32_t bkg_prm = 0x1000;
inline constexpr std::uint32_t file_variable = 0x2000;
inline constexpr std::uint32_t no_delete_on_assignment = 0x4000;
inline constexpr std::uint32_t not_to_save = 0x8000;
inline constexpr std::uint32_t not_to_copy = 0x10000;
inline constexpr std::uint32_t have_memory = 0x40000;
inline constexpr std::uint32_t not_for_proj = 0x80000;
inline constexpr std::uint32_t not_to_be_deleted = 0x100000;
inline constexpr std::uint32_t on_get_a = 0x400000;
}  // namespace tem_bits

enum class script_kind { creation, execution, deletion, get };

// What the object tree needs to know of a template node. Template nodes are
// tree nodes themselves; their template parent is their tree parent.
class template_node_view {
 public:
  virtual ~template_node_view() = default;
  virtual std::uint32_t attributes() const = 0;
  // The record index in which the children of an object made from this node
  // find their templates (its name scope).
  virtual assoc_class* records() const = 0;
  // The script of that kind, or null.
  virtual const char* action(script_kind kind) const = 0;
  // Depth below the top-level template that holds the node.
  virtual int depth() const = 0;
  // The typed-field description, for nodes that describe a typed value.
  virtual const field_description* field() const { return nullptr; }
};

// The template side of the program, installed once it is loaded: it binds
// "app", makes children by name, runs scripts and holds the outside records.
class template_host {
 public:
  virtual ~template_host() = default;
  // The template record of the application object.
  virtual assoc_class* app_template() = 0;
  // Makes the child named `name` under `parent` and adds it; null when the
  // name has no template in the parent's scope.
  virtual assoc_class* create_child_by_name(assoc_class& parent, const char* name) = 0;
  // A new object of a registered class, not yet attached; null if unknown.
  virtual std::unique_ptr<assoc_class> create_object(const char* class_name) = 0;
  virtual void register_object(assoc_class* node) = 0;
  // Runs a process string on `node`; text that the script emits for its
  // caller is appended to `output` when given.
  virtual void run_script(assoc_class& node, const char* script, my_string* output) = 0;
  // Runs a get script and returns the node it yields (null if none).
  virtual assoc_class* evaluate_object(assoc_class& node, const char* script) = 0;
  // Root record of the outside records (the application-wide settings).
  virtual assoc_class* outside_root() = 0;
};

template_host* current_template_host();
// Installs the host (null removes it); returns the previous one.
template_host* set_template_host(template_host* host);
