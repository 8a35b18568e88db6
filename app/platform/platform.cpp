#include "app/platform/platform.h"

#include <cstdio>

#include "core/error_message.h"

namespace {

platform* installed = nullptr;

class platform_reporter : public error_reporter {
 public:
  void report(const char* caption, const char* text) override {
    if (platform* p = current_platform()) {
      p->message(platform_types::box_kind::error, caption ? caption : "", text ? text : "");
      return;
    }
    // No window to show it in: the message must not be lost.
    if (caption && *caption)
      std::fprintf(stderr, "%s: %s\n", caption, text ? text : "");
    else
      std::fprintf(stderr, "%s\n", text ? text : "");
  }
};

}  // namespace

platform* current_platform() { return installed; }

platform* set_platform(platform* p) {
  platform* previous = installed;
  installed = p;
  return previous;
}

error_reporter* install_platform_reporter() {
  static platform_reporter reporter;
  return set_error_reporter(&reporter);
}

namespace platform_types {

const std::vector<int>& dash_pattern(pen_style style) {
  static const std::vector<int> solid_line, dash{4, 2}, dot{1, 2}, dash_dot{4, 2, 1, 2},
      dash_dot_dot{4, 2, 1, 2, 1, 2}, long_dash{12, 4}, long_dash_dot{12, 4, 1, 4},
      long_dash_dot_dot{12, 4, 1, 4, 1, 4}, long_dash_short_dash{12, 4, 4, 4};
  switch (style) {
    case pen_style::solid:
      return solid_line;
    case pen_style::dash:
      return dash;
    case pen_style::dot:
      return dot;
    case pen_style::dash_dot:
      return dash_dot;
    case pen_style::dash_dot_dot:
      return dash_dot_dot;
    case pen_style::long_dash:
      return long_dash;
    case pen_style::long_dash_dot:
      return long_dash_dot;
    case pen_style::long_dash_dot_dot:
      return long_dash_dot_dot;
    case pen_style::long_dash_short_dash:
      return long_dash_short_dash;
  }
  return solid_line;
}

const char* pen_style_name(pen_style style) {
  switch (style) {
    case pen_style::solid:
      return "solid";
    case pen_style::dash:
      return "dash";
    case pen_style::dot:
      return "dot";
    case pen_style::dash_dot:
      return "dash_dot";
    case pen_style::dash_dot_dot:
      return "dash_dot_dot";
    case pen_style::long_dash:
      return "long_dash";
    case pen_style::long_dash_dot:
      return "long_dash_dot";
    case pen_style::long_dash_dot_dot:
      return "long_dash_dot_dot";
    case pen_style::long_dash_short_dash:
      return "long_dash_short_dash";
  }
  return "?";
}

void surface::placed_text(int x, int y, const std::string& s, text_anchor anchor, int size) {
  const int w = text_width(s, size);
  text(anchor == text_anchor::start ? x : anchor == text_anchor::middle ? x - w / 2 : x - w, y, s);
}

int surface::text_width(const std::string& s, int size) const {
  // Characters, not bytes: a UTF-8 continuation byte starts no character.
  int chars = 0;
  for (unsigned char c : s) chars += (c & 0xC0) != 0x80;
  return (chars * size * 6 + 5) / 10;
}

}  // namespace platform_types
