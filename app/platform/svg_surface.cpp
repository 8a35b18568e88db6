#include "app/platform/svg_surface.h"

#include <cstdio>
#include <cstdlib>

namespace {

using platform_types::colour;

// The size of a text drawn without one: the screen font's.
constexpr int default_text_size = 12;

std::string num(long long v) { return std::to_string(v); }

// Appends the pieces in turn. (GCC 12 warns, wrongly, of overlapping copies
// in chains of "literal" + std::string.)
template <class... Piece>
void put(std::string& out, const Piece&... pieces) {
  (out.append(pieces), ...);
}

// h / 2 written exactly.
std::string halves(long long h) {
  char text[32];
  std::snprintf(text, sizeof text, h % 2 ? "%s%lld.5" : "%s%lld", h < 0 ? "-" : "", std::llabs(h) / 2);
  return text;
}

// v + 0.5: a stroke through the middle of pixel v.
std::string centre(int v) { return halves(2LL * v + 1); }

// The length of the well-formed UTF-8 sequence at s[i], or 0.
std::size_t utf8_length(const std::string& s, std::size_t i) {
  const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char c = b(i);
  std::size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
  if (n == 0 || i + n > s.size()) return 0;
  for (std::size_t k = 1; k < n; ++k)
    if ((b(i + k) & 0xC0) != 0x80) return 0;
  // Overlong forms and surrogates are not characters.
  if (n == 2 && c < 0xC2) return 0;
  if (n == 3 && ((c == 0xE0 && b(i + 1) < 0xA0) || (c == 0xED && b(i + 1) >= 0xA0))) return 0;
  if (n == 4 && ((c == 0xF0 && b(i + 1) < 0x90) || c > 0xF4 || (c == 0xF4 && b(i + 1) >= 0x90))) return 0;
  return n;
}

}  // namespace

std::string svg_surface::hex(colour c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
  return text;
}

std::string svg_surface::escaped(const std::string& s) {
  std::string out;
  out.reserve(s.size());
  for (std::size_t i = 0; i < s.size();) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    const std::size_t n = utf8_length(s, i);
    if (n == 0 || (c < 0x20 && c != '\t') || c == 0x7F) {
      out += "\xEF\xBF\xBD";
      i += n == 0 ? 1 : n;
      continue;
    }
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      default: out.append(s, i, n); break;
    }
    i += n;
  }
  return out;
}

void svg_surface::set_pen(colour c, int width, platform_types::pen_style style) {
  pen_ = c;
  pen_width_ = width < 1 ? 1 : width;
  style_ = style;
}

std::string svg_surface::stroke() const {
  std::string s;
  put(s, " fill=\"none\" stroke=\"", hex(pen_), "\"");
  if (pen_width_ != 1) put(s, " stroke-width=\"", num(pen_width_), "\"");
  const std::vector<int>& pattern = platform_types::dash_pattern(style_);
  if (!pattern.empty()) {
    put(s, " stroke-dasharray=\"");
    for (std::size_t i = 0; i < pattern.size(); ++i) put(s, i ? "," : "", num(pattern[i] * pen_width_));
    put(s, "\"");
  }
  return s;
}

void svg_surface::fill_rect(int x1, int y1, int x2, int y2) {
  if (x2 <= x1 || y2 <= y1) return;
  put(body_, "<rect x=\"", num(x1), "\" y=\"", num(y1), "\" width=\"", num(0LL + x2 - x1), "\" height=\"",
      num(0LL + y2 - y1), "\" fill=\"", hex(fill_), "\"/>\n");
}

void svg_surface::line(int x1, int y1, int x2, int y2) {
  put(body_, "<line x1=\"", centre(x1), "\" y1=\"", centre(y1), "\" x2=\"", centre(x2), "\" y2=\"", centre(y2), "\"",
      stroke(), "/>\n");
}

void svg_surface::polyline(const std::vector<int>& xy) {
  if (xy.size() < 4) return;
  put(body_, "<polyline points=\"");
  for (std::size_t i = 0; i + 1 < xy.size(); i += 2) put(body_, i ? " " : "", centre(xy[i]), ",", centre(xy[i + 1]));
  put(body_, "\"", stroke(), "/>\n");
}

void svg_surface::pixel(int x, int y, colour c) {
  put(body_, "<rect x=\"", num(x), "\" y=\"", num(y), "\" width=\"1\" height=\"1\" fill=\"", hex(c), "\"/>\n");
}

void svg_surface::rectangle(int x1, int y1, int x2, int y2) {
  put(body_, "<rect x=\"", centre(x1), "\" y=\"", centre(y1), "\" width=\"", num(std::llabs(0LL + x2 - x1)),
      "\" height=\"", num(std::llabs(0LL + y2 - y1)), "\"", stroke(), "/>\n");
}

void svg_surface::ellipse(int x1, int y1, int x2, int y2) {
  put(body_, "<ellipse cx=\"", halves(0LL + x1 + x2 + 1), "\" cy=\"", halves(0LL + y1 + y2 + 1), "\" rx=\"",
      halves(std::llabs(0LL + x2 - x1)), "\" ry=\"", halves(std::llabs(0LL + y2 - y1)), "\"", stroke(), "/>\n");
}

void svg_surface::text(int x, int y, const std::string& s) {
  placed_text(x, y, s, platform_types::text_anchor::start, default_text_size);
}

void svg_surface::placed_text(int x, int y, const std::string& s, platform_types::text_anchor anchor, int size) {
  const char* how = anchor == platform_types::text_anchor::middle ? " text-anchor=\"middle\""
                    : anchor == platform_types::text_anchor::end  ? " text-anchor=\"end\""
                                                                  : "";
  put(body_, "<text x=\"", num(x), "\" y=\"", num(y), "\" font-size=\"", num(size > 0 ? size : default_text_size), "\"",
      how, " fill=\"", hex(text_colour_), "\">", escaped(s), "</text>\n");
}

std::string svg_surface::document() const {
  const std::string w = num(width_), h = num(height_);
  std::string out;
  put(out, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"", w,
      "\" height=\"", h, "\" viewBox=\"0 0 ", w, " ", h,
      "\" font-family=\"DejaVu Sans, Arial, Helvetica, sans-serif\">\n", body_, "</svg>\n");
  return out;
}
