#include "xrd/files/scan_text.h"

#include <algorithm>
#include <charconv>
#include <system_error>

namespace {

// A line end separates words too: the lists of XML elements run over lines.
bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\f' || c == '\v' || c == '\r' || c == '\n'; }

}  // namespace

std::vector<std::string_view> text_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find('\n', start);
    const std::size_t next = end == std::string_view::npos ? text.size() : end + 1;
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines.push_back(line);
    start = next;
  }
  return lines;
}

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

void blank_separated(std::string_view line, std::vector<std::string_view>& words) {
  words.clear();
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && is_blank(line[i])) ++i;
    const std::size_t start = i;
    while (i < line.size() && !is_blank(line[i])) ++i;
    if (i > start) words.push_back(line.substr(start, i - start));
  }
}

std::vector<std::string_view> blank_separated(std::string_view line) {
  std::vector<std::string_view> words;
  blank_separated(line, words);
  return words;
}

void cut_at(std::string_view line, char separator, std::vector<std::string_view>& pieces) {
  pieces.clear();
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = line.find(separator, start);
    pieces.push_back(trimmed(line.substr(start, end == std::string_view::npos ? end : end - start)));
    if (end == std::string_view::npos) return;
    start = end + 1;
  }
}

std::vector<std::string_view> cut_at(std::string_view line, char separator) {
  std::vector<std::string_view> pieces;
  cut_at(line, separator, pieces);
  return pieces;
}

bool number_in(std::string_view word, double& value, bool decimal_comma) {
  // from_chars takes no leading '+', and the checks below keep out what it
  // would read that is not a number of a scan ("nan", "inf", hexadecimal).
  if (!word.empty() && word.front() == '+') word.remove_prefix(1);
  if (word.empty()) return false;
  bool digit = false, comma = false;
  for (const char c : word) {
    if (c >= '0' && c <= '9') {
      digit = true;
    } else if (c == ',' && decimal_comma) {
      comma = true;
    } else if (c != '.' && c != '-' && c != '+' && c != 'e' && c != 'E') {
      return false;
    }
  }
  if (!digit) return false;
  // A decimal comma is read as a point, in a copy.
  std::string text;
  if (comma) {
    text.assign(word);
    std::replace(text.begin(), text.end(), ',', '.');
    word = text;
  }
  const char* end = word.data() + word.size();
  const std::from_chars_result r = std::from_chars(word.data(), end, value);
  return r.ec == std::errc() && r.ptr == end;
}

std::string quoted(std::string_view word) {
  constexpr std::size_t longest = 40;
  std::string text(word.substr(0, longest));
  if (word.size() > longest) text += "...";
  return "\"" + text + "\"";
}

int line_at(std::string_view text, std::size_t offset) {
  offset = std::min(offset, text.size());
  return 1 + static_cast<int>(std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(offset), '\n'));
}
