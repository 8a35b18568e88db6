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
// empty text). The map is given the record's name and its value.
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
  return std::string(line.substr(0, p)) + map(name, std::string(value)) + std::string(line.substr(end));
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

bool names_file(const fs::path& path) {
  std::error_code ec;
  return fs::exists(path, ec);
}

}  // namespace

std::string absolute_path(const std::string& path) { return path.empty() ? path : absolute_normal(path).string(); }

located_path locate_recorded_path(const std::string& recorded, const std::string& project_path) {
  if (recorded.empty()) return {recorded, false};
  const fs::path written(recorded);
  const fs::path folder = folder_of(project_path);
  const fs::path first = written.is_absolute() ? written : (folder / written).lexically_normal();
  // Longer than any path the system opens: nothing to look for (and a
  // damaged project's endless path would cost a square of its length).
  constexpr std::size_t longest_path = 4096;
  if (recorded.size() > longest_path || names_file(first)) return {first.string(), false};
  // The same place below the project's folder: the last folders and the
  // name, the most of them first, down to the name alone beside it.
  std::vector<fs::path> parts;
  for (const fs::path& part : written.relative_path().lexically_normal())
    if (!part.empty() && part != "." && part != "..") parts.push_back(part);
  for (std::size_t from = 0; from < parts.size(); ++from) {
    fs::path candidate = folder;
    for (std::size_t i = from; i < parts.size(); ++i) candidate /= parts[i];
    if (candidate != first && names_file(candidate)) return {candidate.string(), true};
  }
  return {first.string(), false};
}

std::string records_for_project(const std::string& records) {
  return mapped_records(records, [](std::string_view, const std::string& path) { return absolute_path(path); });
}

std::string records_from_project(const std::string& records, const std::string& project_path,
                                 std::vector<moved_file>* moved) {
  return mapped_records(records, [&](std::string_view name, const std::string& path) {
    const located_path found = locate_recorded_path(path, project_path);
    if (found.moved && moved && name == "xdd") moved->push_back({path, found.path});
    return found.path;
  });
}
