#include "app/dialogs/opts_a_3.h"

std::unique_ptr<assoc_class> opts_a_3::clone_empty() const {
  auto copy = std::make_unique<opts_a_3>();
  copy->set_tem(tem());
  return copy;
}
