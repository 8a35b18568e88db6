#include "app/platform/control_factory.h"

#include <utility>

namespace platform_types {

control make_control(control_kind kind, int id, int x, int y, int width, int height, std::string text) {
  control c;
  c.kind = kind;
  c.id = id;
  c.x = x;
  c.y = y;
  c.width = width;
  c.height = height;
  c.text = std::move(text);
  return c;
}

}  // namespace platform_types
