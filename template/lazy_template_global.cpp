#include "template/lazy_template_global.h"

#include <string>

#include "template/template_file.h"

std::unique_ptr<file_in> open_template_file() {
  const std::string path = locate_template_file();
  auto in = std::make_unique<file_in>(path.c_str(), true);
  if (!in->is_open()) return nullptr;
  return in;
}
