#include "core/no_name_3.h"

const char* no_name_3::class_name() const { return tem() ? tem()->class_name() : "no_name_3"; }

std::unique_ptr<assoc_class> no_name_3::clone_empty() const {
  auto copy = std::make_unique<no_name_3>();
  copy->set_tem(tem());
  return copy;
}
