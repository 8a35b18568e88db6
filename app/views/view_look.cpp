#include "app/views/view_look.h"

#include <string>

#include "app/views/paper_surface.h"

namespace {

constexpr platform_types::colour black{0, 0, 0};
constexpr platform_types::colour white{255, 255, 255};

void read(const platform& p, const char* key, bool& value) {
  const std::string text = p.setting(key);
  if (text == "1" || text == "true") value = true;
  if (text == "0" || text == "false") value = false;
}

}  // namespace

view_look& view_look::current() {
  static view_look look;
  return look;
}

void view_look::load(const platform& p) {
  view_look& look = current();
  look = view_look{};
  read(p, axes_key, look.axes);
  read(p, legend_key, look.legend);
  read(p, light_key, look.light);
}

void view_look::save(platform& p) {
  const view_look& look = current();
  p.set_setting(axes_key, look.axes ? "1" : "0");
  p.set_setting(legend_key, look.legend ? "1" : "0");
  p.set_setting(light_key, look.light ? "1" : "0");
}

platform_types::colour view_look::background() const { return light ? white : black; }

platform_types::colour view_look::ink() const { return light ? black : white; }

platform_types::colour view_look::on_background(platform_types::colour c) const {
  if (!light) return c;
  return c == white ? black : readable_on_white(c);
}
