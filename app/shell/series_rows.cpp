#include "app/shell/series_rows.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <exception>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <system_error>

#include "app/shell/application_session.h"
#include "core/assoc_class.h"
#include "core/paths.h"
#include "core/text_helpers.h"
#include "io/file_kind.h"
#include "xrd/files/xdd_data_3.h"

namespace {

std::string lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

// Whether Load Data has a reader for files named so: the template's table
// of extensions, in any case.
bool has_reader(const std::filesystem::path& path) {
  const std::string ext = lower(path.extension().string());
  assoc_class* table = query_object("win_misc c exts_load");
  if (!table || ext.size() < 2) return false;
  for (int i = 0; i < table->child_count(); ++i)
    if (lower(table->child(i)->class_name()) == ext.substr(1)) return true;
  return false;
}

// For the life of the object, what is written on `stream` goes to `to`:
// the session's messages during a scan belong to the scan's row.
class redirected_stream {
 public:
  redirected_stream(std::ostream& stream, std::ostream& to) : stream_(stream), previous_(stream.rdbuf(to.rdbuf())) {}
  ~redirected_stream() { stream_.rdbuf(previous_); }
  redirected_stream(const redirected_stream&) = delete;
  redirected_stream& operator=(const redirected_stream&) = delete;

 private:
  std::ostream& stream_;
  std::streambuf* previous_;
};

// Messages of several lines as one cell: the lines joined by "; ".
std::string one_line(const std::string& text) {
  std::string out;
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
    if (line.empty()) continue;
    if (!out.empty()) out += "; ";
    out += line;
  }
  return out;
}

std::string scan_cells(const series_scan& scan) { return csv_cell(scan.path) + ',' + std::to_string(scan.scan); }

}  // namespace

std::string series_rows::header(const std::vector<std::string>& columns) {
  std::string text = "index,file,scan,name,start_time,temperature_C";
  for (const std::string& c : columns) text += ',' + csv_cell(c);
  return text + ",warning\n";
}

bool series_rows::data_files(const std::vector<std::string>& inputs, const std::string& skipped,
                              std::vector<std::string>& files, std::ostream& err) {
  for (const std::string& input : inputs) {
    std::error_code ec;
    if (!std::filesystem::is_directory(input, ec)) {
      files.push_back(input);
      continue;
    }
    std::vector<std::string> found;
    for (std::filesystem::directory_iterator it(input, ec), end; !ec && it != end; it.increment(ec)) {
      std::error_code kind;
      const std::string path = it->path().string();
      // A table written into the folder read is not one of its scans.
      if (it->is_regular_file(kind) && has_reader(it->path()) && !(!skipped.empty() && same_file(path, skipped)))
        found.push_back(path);
    }
    if (ec) {
      err << input << ": Cannot read the folder: " << ec.message() << '\n';
      return false;
    }
    if (found.empty()) {
      err << input << ": the folder holds no data file of a type Load Data reads\n";
      return false;
    }
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
  }
  return true;
}

series_rows::scan_line series_rows::row(application_session& session, series_job& job, const series_scan& scan,
                                          std::ostream& err) {
  std::ostringstream said;
  series_row row;
  {
    const redirected_stream quiet(err, said);
    try {
      row = job.row(session, scan);
    } catch (const std::exception& e) {
      // A numerical stage that gives up ends this scan, not the series.
      said << scan.path << ": " << e.what() << '\n';
      row.failed = true;
    }
  }
  std::string warning = one_line(said.str() + '\n' + row.warning);
  if (row.failed && warning.empty()) warning = scan.path + ": the scan gave no result";
  row.cells.resize(std::max(row.cells.size(), job.columns().size()));
  scan_line line;
  line.count = std::max(row.facts.count, 1);
  line.failed = row.failed;
  line.text = scan_cells(scan) + ',' + csv_cell(row.facts.name) + ',' + csv_cell(row.facts.start_time) + ',' +
              (std::isfinite(row.facts.temperature_C) ? format_number("%.6g", row.facts.temperature_C) : "");
  for (const std::string& cell : row.cells) line.text += ',' + csv_cell(cell);
  line.text += ',' + csv_cell(warning) + '\n';
  return line;
}

std::string series_rows::undone_row(const series_scan& scan, std::size_t columns, const std::string& why) {
  return scan_cells(scan) + ",,," + std::string(columns + 1, ',') + csv_cell(scan.path + ": " + why) + '\n';
}

int series_rows::scan_count(application_session& session, const std::string& path, std::ostream& err) {
  std::ostringstream said;
  const redirected_stream quiet(err, said);
  int count = 1;
  try {
    const xdd_data_3::scan_choice first(1);
    if (assoc_class* file = session.load_file(path)) {
      if (const auto* data = dynamic_cast<const xdd_data_3*>(find_existing(*file, "xdd_data")))
        count = std::max(data->scan.count, 1);
      session.unload_file(file);
    }
  } catch (const std::exception&) {
    // Counted as one scan: its row says why it cannot be read.
  }
  return count;
}
