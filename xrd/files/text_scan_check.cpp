#include "xrd/files/text_scan_check.h"

#include <cstdio>
#include <fstream>
#include <vector>

namespace {

// Enough to see past any header to the first numbers.
constexpr std::streamsize first_bytes = 64 * 1024;

bool is_blank(unsigned char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

// Control bytes that old DOS exports may hold: the end-of-file mark and the
// escape of printer codes.
bool is_text_byte(unsigned char c) { return c >= 0x20 || is_blank(c) || c == 0x1a || c == 0x1b; }

// A byte order mark of UTF-16 or UTF-32, or XML written in UTF-16 without
// one: its NUL bytes are half of every character.
bool is_wide_text(const std::vector<char>& b) {
  if (b.size() < 2) return false;
  const auto u0 = static_cast<unsigned char>(b[0]);
  const auto u1 = static_cast<unsigned char>(b[1]);
  if ((u0 == 0xff && u1 == 0xfe) || (u0 == 0xfe && u1 == 0xff)) return true;
  return (u0 == '<' && u1 == 0) || (u0 == 0 && u1 == '<');
}

std::string hex_byte(unsigned char c) {
  char text[8];
  std::snprintf(text, sizeof text, "0x%02X", static_cast<unsigned>(c));
  return text;
}

}  // namespace

std::string why_too_large_for_a_scan(long long size) {
  if (size > max_file_bytes)
    return "The file is " + std::to_string(size) + " bytes, more than any scan can be (at most " +
           std::to_string(max_file_bytes) + ")";
  return "";
}

std::string why_not_a_text_scan(const std::string& path, long long size) {
  if (std::string why = why_too_large_for_a_scan(size); !why.empty()) return why;
  std::ifstream in(path, std::ios::binary);
  std::vector<char> bytes(static_cast<std::size_t>(first_bytes));
  in.read(bytes.data(), first_bytes);
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  if (is_wide_text(bytes)) return "";
  bool blank = true;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    const auto c = static_cast<unsigned char>(bytes[i]);
    if (!is_text_byte(c))
      return "The file is not a text scan: it holds binary data (byte " + hex_byte(c) + " at offset " +
             std::to_string(i) + ")";
    blank = blank && is_blank(c);
  }
  if (blank && size <= first_bytes) return size == 0 ? "The file is empty" : "The file holds only blanks";
  return "";
}
