#include "xrd/files/scan_time.h"

#include <charconv>
#include <cstdio>
#include <vector>

#include "xrd/files/scan_text.h"

namespace {

// The numbers of `text` between `separator`s, each of 1 to 4 digits.
bool fields(std::string_view text, char separator, std::vector<int>& out) {
  out.clear();
  while (true) {
    const std::size_t at = text.find(separator);
    const std::string_view field = text.substr(0, at);
    int v = 0;
    const auto r = std::from_chars(field.data(), field.data() + field.size(), v);
    if (field.empty() || field.size() > 4 || r.ec != std::errc() || r.ptr != field.data() + field.size()) return false;
    out.push_back(v);
    if (at == std::string_view::npos) return true;
    text.remove_prefix(at + 1);
  }
}

bool digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::string iso_start_time(std::string_view date, std::string_view time) {
  std::vector<int> d, t;
  if (!fields(trimmed(date), '/', d) || d.size() != 3 || !fields(trimmed(time), ':', t) || t.size() != 3) return "";
  int month = d[0], day = d[1], year = d[2];
  if (month > 12 && day <= 12) std::swap(month, day);
  if (trimmed(date).size() == 8) year += year < 70 ? 2000 : 1900;  // two digits of the year
  if (month < 1 || month > 12 || day < 1 || day > 31 || year < 1900 || year > 9999 || t[0] < 0 || t[0] > 23 ||
      t[1] < 0 || t[1] > 59 || t[2] < 0 || t[2] > 60)
    return "";
  char text[80];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d", year, month, day, t[0], t[1], t[2]);
  return text;
}

std::string iso_time_stamp(std::string_view text) {
  text = trimmed(text);
  // YYYY-MM-DDThh:mm, then whatever the writer adds (seconds, fraction, zone).
  if (text.size() < 16 || text.size() > 40 || text[4] != '-' || text[7] != '-' || (text[10] != 'T' && text[10] != ' ') ||
      text[13] != ':')
    return "";
  for (std::size_t i : {0u, 1u, 2u, 3u, 5u, 6u, 8u, 9u, 11u, 12u, 14u, 15u})
    if (!digit(text[i])) return "";
  for (char c : text.substr(16))
    if (!digit(c) && c != ':' && c != '.' && c != '+' && c != '-' && c != 'Z') return "";
  if (text.starts_with("0001-")) return "";
  return std::string(text);
}
