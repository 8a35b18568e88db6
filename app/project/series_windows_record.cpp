#include "app/project/series_windows_record.h"

#include <cstdio>
#include <string_view>
#include <vector>

#include "app/files/open_series_table.h"
#include "app/project/project_paths.h"
#include "app/views/series_window.h"
#include "core/error_message.h"

namespace {

bool kept(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
         c == '/' || c == '-';
}

std::string encoded(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (kept(c)) {
      out += c;
      continue;
    }
    char hex[4];
    std::snprintf(hex, sizeof hex, "%%%02X", static_cast<unsigned char>(c));
    out += hex;
  }
  return out;
}

int hex_digit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string decoded(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && hex_digit(text[i + 1]) >= 0 && hex_digit(text[i + 2]) >= 0) {
      out += static_cast<char>(hex_digit(text[i + 1]) * 16 + hex_digit(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

std::vector<std::string_view> split(std::string_view text, char at) {
  std::vector<std::string_view> parts;
  std::size_t from = 0;
  for (;;) {
    const std::size_t to = text.find(at, from);
    parts.push_back(text.substr(from, to == std::string_view::npos ? std::string_view::npos : to - from));
    if (to == std::string_view::npos) return parts;
    from = to + 1;
  }
}

}  // namespace

std::string series_windows_record() {
  std::string record;
  for (platform::frame_id frame : series_windows()) {
    const series_plot* plot = series_window_plot(frame);
    if (!plot) continue;
    if (!record.empty()) record += '+';
    record += encoded(absolute_path(plot->path())) + ',' + encoded(plot->column()) + ',' +
              (plot->against_temperature() ? 't' : 'i');
  }
  return record;
}

void open_recorded_series_windows(const std::string& record, const std::string& project_path) {
  for (std::string_view entry : split(record, '+')) {
    const std::vector<std::string_view> parts = split(entry, ',');
    if (parts.size() != 3 || parts[0].empty()) continue;
    const std::string path = locate_recorded_path(decoded(parts[0]), project_path).path;
    const series_open opened = open_series_table(path);
    if (opened == series_open::not_a_table) {
      // Gone, or replaced by a file of another kind: the project says what it missed.
      global_error_message()
          .append(project_path.c_str())
          .append(": the series table ")
          .append(path.c_str())
          .append(" was not opened: it is not there, or no longer a series table");
      show_error();
    }
    if (opened != series_open::opened) continue;
    const std::vector<platform::frame_id> open = series_windows();
    series_plot* plot = open.empty() ? nullptr : series_window_plot(open.back());
    if (!plot) continue;
    plot->choose_column(decoded(parts[1]));
    plot->choose_temperature(parts[2] == "t");
    series_window_changed(open.back());
  }
}
