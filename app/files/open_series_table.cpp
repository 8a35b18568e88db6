#include "app/files/open_series_table.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <system_error>

#include "app/platform/platform.h"
#include "app/views/series_window.h"
#include "core/error_message.h"
#include "xrd/files/series_table.h"

namespace {

// Far beyond the rows of any run; a bigger file is not a table written by
// the batch tool.
constexpr std::uintmax_t largest_table = 200u * 1024u * 1024u;

series_open refuse(const std::string& path, const std::string& why) {
  global_error_message().append("Error loading file ").append(path.c_str()).append("\n").append(why.c_str());
  show_error();
  return series_open::refused;
}

}  // namespace

series_open open_series_table(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return series_open::not_a_table;
  char head[256] = {};
  in.read(head, sizeof head);
  if (!series_table::starts_like(std::string_view(head, static_cast<std::size_t>(in.gcount()))))
    return series_open::not_a_table;
  std::error_code ec;
  if (std::filesystem::file_size(path, ec) > largest_table && !ec)
    return refuse(path, "A series table of more than 200 MB is not read");
  in.clear();
  in.seekg(0);
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  series_table table;
  std::string why;
  if (!series_table::parse(text, table, why)) return refuse(path, why);
  if (table.drawable_columns().empty()) return refuse(path, "The series table has no column of figures to draw");
  if (open_series_window(series_plot(path, std::move(table))) == 0)
    return refuse(path, "No window could be opened for the series table");
  return series_open::opened;
}
