#include "app/project/project_paths.h"

#include <filesystem>
#include <string_view>
#include <system_error>

namespace {

namespace fs = std::filesystem;

// The records whose value is a path.
bool holds_path(std::string_view name) { return name == "xdd" || name == "ref_prof"; }

fs::path absolute_normal(const std::string& path) {
  std::error_code ec;
  fs::path full = fs::absolute(path, ec);
  if (ec) full = path;
  return full.lexically_normal();
}

fs::path folder_of(const std::string& project_path) { return absolute_normal(project_path).parent_path(); }

bool is_blank(char c) { return c == ' ' || c == '\t'; }

// Maps the value of one record line ("name parent value"), leaving the line
// as it is when the record holds no path or its value is empty ("~" is the
// empty text).
template <typename Map>
std::string mapped_line(std::string_view line, const Map& map) {
  std::size_t p = 0;
  auto word = [&] {
    while (p < line.size() && is_blank(line[p])) ++p;
    const std::size_t start = p;
    while (p < line.size() && !is_blank(line[p])) ++p;
    return line.substr(start, p - start);
  };
  const std::string_view name = word();
  word();  // the parent
  if (!holds_path(name) || p >= line.size()) return std::string(line);
  ++p;  // the one blank before the value
  std::size_t end = line.size();
  while (end > p && (line[end - 1] == '\r' || is_blank(line[end - 1]))) --end;
  const std::string_view value = line.substr(p, end - p);
  if (value.empty() || value == "~") return std::string(line);
  return std::string(line.substr(0, p)) + map(std::string(value)) + std::string(line.substr(end));
}

template <typename Map>
std::string mapped_records(const std::string& records, const Map& map) {
  std::string out;
  out.reserve(records.size());
  std::size_t start = 0;
  while (start <= records.size()) {
    std::size_t end = records.find('\n', start);
    if (end == std::string::npos) end = records.size();
    out += mapped_line(std::string_view(records).substr(start, end - start), map);
    if (end < records.size()) out += '\n';
    start = end + 1;
  }
  return out;
}

}  // namespace

std::string path_for_project(const std::string& path, const std::string& project_path) {
  if (path.empty()) return path;
  const fs::path file = absolute_normal(path);
  const fs::path relative = file.lexically_relative(folder_of(project_path));
  // Outside the folder (or on another root) the path stays absolute: taken
  // relative to the working folder, it would name another file once the
  // project is opened from elsewhere.
  if (relative.empty() || relative == "." || *relative.begin() == "..") return file.string();
  return relative.generic_string();
}

std::string absolute_path(const std::string& path) { return path.empty() ? path : absolute_normal(path).string(); }

std::string path_from_project(const std::string& recorded, const std::string& project_path) {
  if (recorded.empty() || fs::path(recorded).is_absolute()) return recorded;
  return (folder_of(project_path) / recorded).lexically_normal().string();
}

std::string records_for_project(const std::string& records, const std::string& project_path) {
  return mapped_records(records, [&](const std::string& path) { return path_for_project(path, project_path); });
}

std::string records_from_project(const std::string& records, const std::string& project_path) {
  return mapped_records(records, [&](const std::string& path) { return path_from_project(path, project_path); });
}
