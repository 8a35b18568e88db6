#include "xrd/files/series_table.h"

#include <array>
#include <charconv>
#include <cmath>
#include <optional>

#include "xrd/files/scan_text.h"

namespace {

constexpr std::array<std::string_view, 6> leading = {"index", "file", "scan", "name", "start_time", "temperature_C"};

// One record of the CSV text: its cells, unquoted, and the line it starts
// on. A quoted cell may hold line ends, so records are not lines.
struct record {
  std::vector<std::string> cells;
  int line = 0;
};

// Splits the whole text into records. False, with `error`, when a quote is
// left open or a quoted cell is followed by anything but a separator.
bool records_of(std::string_view text, std::vector<record>& out, std::string& error) {
  std::size_t i = 0;
  int line = 1;
  while (i < text.size()) {
    record r;
    r.line = line;
    std::string cell;
    bool ended = false;
    while (!ended) {
      if (i < text.size() && text[i] == '"') {
        const int opened = line;
        ++i;
        for (;;) {
          if (i >= text.size()) {
            error = "Line " + std::to_string(opened) + ": a quoted cell is not closed";
            return false;
          }
          const char c = text[i++];
          if (c == '"') {
            if (i < text.size() && text[i] == '"') {
              cell += '"';
              ++i;
              continue;
            }
            break;
          }
          if (c == '\n') ++line;
          cell += c;
        }
        if (i < text.size() && text[i] == '\r') ++i;
        if (i < text.size() && text[i] != ',' && text[i] != '\n') {
          error = "Line " + std::to_string(line) + ": text after a quoted cell";
          return false;
        }
      } else {
        while (i < text.size() && text[i] != ',' && text[i] != '\n') cell += text[i++];
        if (!cell.empty() && cell.back() == '\r') cell.pop_back();
      }
      r.cells.push_back(std::move(cell));
      cell.clear();
      if (i >= text.size()) {
        ended = true;
      } else if (text[i] == ',') {
        ++i;
      } else {  // a line end
        ++i;
        ++line;
        ended = true;
      }
    }
    // A blank line (the last line end's, or a spacer) is no row.
    if (r.cells.size() == 1 && trimmed(r.cells.front()).empty()) continue;
    out.push_back(std::move(r));
  }
  return true;
}

std::optional<int> whole_number(std::string_view word) {
  word = trimmed(word);
  int v = 0;
  const auto [end, ec] = std::from_chars(word.data(), word.data() + word.size(), v);
  if (ec != std::errc() || end != word.data() + word.size() || word.empty()) return std::nullopt;
  return v;
}

bool ends_with(std::string_view s, std::string_view tail) {
  return s.size() >= tail.size() && s.substr(s.size() - tail.size()) == tail;
}

bool starts_with(std::string_view s, std::string_view head) { return s.substr(0, head.size()) == head; }

}  // namespace

bool series_table::starts_like(std::string_view text) {
  // A byte-order mark some spreadsheets write is no part of the name.
  if (starts_with(text, "\xEF\xBB\xBF")) text.remove_prefix(3);
  for (std::string_view name : leading) {
    if (!starts_with(text, name)) return false;
    text.remove_prefix(name.size());
    if (text.empty() || text.front() != ',') return false;
    text.remove_prefix(1);
  }
  return true;
}

bool series_table::parse(std::string_view text, series_table& table, std::string& error) {
  table = series_table{};
  if (starts_with(text, "\xEF\xBB\xBF")) text.remove_prefix(3);
  std::vector<record> records;
  if (!records_of(text, records, error)) return false;
  if (records.empty() || !starts_like(text)) {
    error = "Line 1: not the header of a series table (index,file,scan,name,start_time,temperature_C,...,warning)";
    return false;
  }
  const std::vector<std::string>& header = records.front().cells;
  if (header.size() < leading.size() + 1 || trimmed(header.back()) != "warning") {
    error = "Line 1: the last column is not \"warning\"";
    return false;
  }
  for (std::size_t c = leading.size(); c + 1 < header.size(); ++c) table.columns.emplace_back(trimmed(header[c]));
  const std::size_t width = header.size();
  std::vector<int> numbers(table.columns.size(), 0), words(table.columns.size(), 0);

  for (std::size_t k = 1; k < records.size(); ++k) {
    const record& r = records[k];
    const std::string at = "Line " + std::to_string(r.line) + ": ";
    if (r.cells.size() != width) {
      error = at + std::to_string(r.cells.size()) + " cells where the header has " + std::to_string(width);
      return false;
    }
    row out;
    const std::optional<int> index = whole_number(r.cells[0]);
    const std::optional<int> scan = whole_number(r.cells[2]);
    if (!index) {
      error = at + "the index " + quoted(r.cells[0]) + " is not a whole number";
      return false;
    }
    if (!scan) {
      error = at + "the scan " + quoted(r.cells[2]) + " is not a whole number";
      return false;
    }
    out.index = *index;
    out.scan = *scan;
    out.file = r.cells[1];
    out.name = r.cells[3];
    out.start_time = r.cells[4];
    if (const std::string_view t = trimmed(r.cells[5]); !t.empty() && !number_in(t, out.temperature_C)) {
      error = at + "the temperature " + quoted(t) + " is not a number";
      return false;
    }
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
      const std::string_view cell = trimmed(r.cells[leading.size() + c]);
      double v = none;
      if (!cell.empty()) ++(number_in(cell, v) ? numbers[c] : words[c]);
      out.values.push_back(v);
    }
    out.warning = r.cells.back();
    table.rows.push_back(std::move(out));
  }
  for (std::size_t c = 0; c < table.columns.size(); ++c) table.numeric.push_back(numbers[c] > 0 && words[c] == 0);
  // A column of words has no figures to draw, and must not draw the few
  // cells that look like numbers.
  for (row& r : table.rows)
    for (std::size_t c = 0; c < table.columns.size(); ++c)
      if (!table.numeric[c]) r.values[c] = none;
  return true;
}

int series_table::column_of(std::string_view name) const {
  for (std::size_t c = 0; c < columns.size(); ++c)
    if (columns[c] == name) return static_cast<int>(c);
  return -1;
}

std::vector<std::string> series_table::drawable_columns() const {
  std::vector<std::string> out;
  for (std::size_t c = 0; c < columns.size(); ++c)
    if (numeric[c]) out.push_back(columns[c]);
  return out;
}

bool series_table::has_temperatures() const {
  for (const row& r : rows)
    if (std::isfinite(r.temperature_C)) return true;
  return false;
}

std::string series_column_unit(std::string_view column) {
  if (ends_with(column, "_u")) column.remove_suffix(2);
  // A unit the name carries itself comes first.
  struct suffix {
    std::string_view tail, unit;
  };
  static constexpr suffix suffixes[] = {{"_A", "Å"},     {"_nm", "nm"}, {"_deg", "°"}, {"_C", "°C"},
                                        {"_K", "K"},     {"_s", "s"},   {"_percent", "%"}};
  for (const suffix& s : suffixes)
    if (ends_with(column, s.tail)) return std::string(s.unit);
  if (column == "area") return "counts·°";
  static constexpr std::string_view angles[] = {"fwhm", "centroid", "integral_breadth", "two_theta", "position"};
  for (std::string_view a : angles)
    if (column == a || (ends_with(column, a) && column[column.size() - a.size() - 1] == '_')) return "°";
  static constexpr std::string_view lengths[] = {"length", "size"};
  for (std::string_view l : lengths)
    if (ends_with(column, l)) return "Å";
  return "";
}

std::string series_column_caption(std::string_view column) {
  const std::string unit = series_column_unit(column);
  return unit.empty() ? std::string(column) : std::string(column) + " (" + unit + ")";
}
