#include "app/views/color_3.h"

#include <algorithm>
#include <cstdlib>

std::unique_ptr<assoc_class> color_3::clone_empty() const { return clone_like(*this); }

assoc_class* color_3::set_text(const char* text) {
  text_ = text ? text : "";
  int parts[3] = {255, 255, 255};
  const char* p = text_.c_str();
  for (int& part : parts) {
    char* end = nullptr;
    const long v = std::strtol(p, &end, 10);
    if (end == p) break;
    part = static_cast<int>(std::clamp(v, 0L, 255L));
    p = end;
  }
  rgb_ = {static_cast<std::uint8_t>(parts[0]), static_cast<std::uint8_t>(parts[1]),
          static_cast<std::uint8_t>(parts[2])};
  return this;
}

void color_3::set_file(assoc_class* file) {
  if (file)
    link(file, &file_);
  else
    unlink(&file_);
}
