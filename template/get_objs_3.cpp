#include "template/get_objs_3.h"

get_objs_3& class_registry() {
  static get_objs_3 registry;
  return registry;
}

void get_objs_3::register_creator(B_creator_3& creator) {
  if (index_of_pointer(&creator) != not_found) return;
  add_child(&creator);
  // Registration may follow a look-up (a layer registering late): index again.
  rebuild_index();
}

std::unique_ptr<assoc_class> get_objs_3::create(const char* name) {
  auto* creator = dynamic_cast<B_creator_3*>(find_child(name));
  return creator ? creator->create(name) : nullptr;
}

bool get_objs_3::knows(const char* name) { return find_child(name) != nullptr; }

void register_creator(B_creator_3& creator) { class_registry().register_creator(creator); }

std::unique_ptr<assoc_class> create_registered(const char* name) { return class_registry().create(name); }
