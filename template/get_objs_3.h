#pragma once

#include <memory>

#include "core/look_up_3.h"

// A creator makes new objects of one class for the registry name it carries.
class B_creator_3 : public assoc_class {
 public:
  explicit B_creator_3(const char* registry_name) : name_(registry_name) { flags().clear(container_bits::owns); }
  const char* class_name() const override { return name_; }
  // A new, unattached object with its default construction.
  virtual std::unique_ptr<assoc_class> create(const char* name) const = 0;

 private:
  const char* name_;
};

template <class X>
class creator_3 : public B_creator_3 {
 public:
  using B_creator_3::B_creator_3;
  std::unique_ptr<assoc_class> create(const char*) const override { return std::make_unique<X>(); }
};

// The class registry: creators sorted by name with a first-letter index. It
// does not own them; each lives in static storage for the whole run.
class get_objs_3 : public look_up_3 {
 public:
  get_objs_3() { flags().clear(container_bits::owns); }
  ~get_objs_3() override { set_count(0); }
  const char* class_name() const override { return "get_objs"; }
  void register_creator(B_creator_3& creator);
  // A new object of the class registered under `name`; null if none is.
  std::unique_ptr<assoc_class> create(const char* name);
  bool knows(const char* name);
};

get_objs_3& class_registry();

// Registers a creator that lives as long as the program (a function-local
// static at the call site).
void register_creator(B_creator_3& creator);

// Registers the class X under `name`, with its one creator made on the first
// call; later calls change nothing.
template <class X>
void register_class(const char* name) {
  static creator_3<X> creator(name);
  register_creator(creator);
}
std::unique_ptr<assoc_class> create_registered(const char* name);
