#include "xrd/files/load_xy_3.h"

#include <string>
#include <string_view>
#include <vector>

#include "xrd/files/scan_points.h"
#include "xrd/files/scan_text.h"
#include "xrd/files/series_table.h"
#include "xrd/files/xdd_data_3.h"

namespace {

enum class separator { blanks, comma, semicolon };

// How the columns of a data line are separated, from the first data line
// of the file. A comma with points about ("44.68,123.4") or against a word
// ("44.68, 123.4") separates; commas inside words that blanks separate
// ("44,68 123,4") are decimal points.
separator separator_of(std::string_view line) {
  if (line.find(';') != std::string_view::npos) return separator::semicolon;
  if (line.find(',') == std::string_view::npos) return separator::blanks;
  if (line.find('.') != std::string_view::npos) return separator::comma;
  const std::vector<std::string_view> words = blank_separated(line);
  if (words.size() < 2) return separator::comma;
  for (std::string_view w : words)
    if (w.front() == ',' || w.back() == ',') return separator::comma;
  return separator::blanks;
}

void columns_of(std::string_view line, separator s, std::vector<std::string_view>& words) {
  switch (s) {
    case separator::comma:
      return cut_at(line, ',', words);
    case separator::semicolon:
      return cut_at(line, ';', words);
    case separator::blanks:
      break;
  }
  blank_separated(line, words);
}

bool is_header_mark(char c) { return c == '#' || c == ';' || c == '!'; }

}  // namespace

std::unique_ptr<assoc_class> load_xy_3::clone_empty() const { return clone_like(*this); }

bool load_xy_3::read(xdd_data_3& data, const std::string& text, scan_points& scan) {
  // Its numbers are results of many scans, not counts at angles: read as
  // columns they would make a profile of nonsense.
  if (series_table::starts_like(text)) {
    data.report_load_error(
        "\nThis is a series table (results, one row per scan), not a scan: the workbench's Load Data draws it");
    return false;
  }
  bool in_data = false;
  separator columns = separator::blanks;
  auto refuse = [&](int line, const std::string& why) {
    data.report_load_error(("\nLine " + std::to_string(line) + ": " + why).c_str());
    return false;
  };
  const std::vector<std::string_view> lines = text_lines(text);
  std::vector<std::string_view> words;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const int line_number = static_cast<int>(i) + 1;
    const std::string_view line = trimmed(lines[i]);
    if (line.empty()) continue;
    if (is_header_mark(line.front())) {
      if (!in_data && scan.description.empty()) scan.description = std::string(trimmed(line.substr(1)));
      continue;
    }
    const separator s = in_data ? columns : separator_of(line);
    columns_of(line, s, words);
    const bool decimal_comma = s != separator::comma;
    double angle = 0.0, count = 0.0;
    if (!number_in(words.front(), angle, decimal_comma)) {
      // Words before the data are its header ("2Theta Intensity"); among
      // the data they are a fault.
      if (in_data) return refuse(line_number, quoted(words.front()) + " is not a number");
      if (scan.description.empty()) scan.description = std::string(line);
      continue;
    }
    if (words.size() < 2 || words[1].empty())
      return refuse(line_number, "one column only: an angle and its count are needed");
    if (!number_in(words[1], count, decimal_comma)) return refuse(line_number, quoted(words[1]) + " is not a number");
    in_data = true;
    columns = s;
    scan.add(angle, count, line_number);
  }
  if (scan.x.empty()) {
    data.report_load_error("\nNo data lines: lines of an angle and a count were expected");
    return false;
  }
  return true;
}
