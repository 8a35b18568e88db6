#include "app/shell/report_series_job.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <system_error>

#include "app/shell/series_inputs.h"
#include "app/shell/series_rows.h"
#include "core/numeric_abort.h"
#include "xrd/files/xdd_data_3.h"

namespace {

// The cells of one CSV line, quoted cells as csv_cell writes them.
std::vector<std::string> split_csv(const std::string& line) {
  std::vector<std::string> cells(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"' && i + 1 < line.size() && line[i + 1] == '"') {
        cells.back() += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        cells.back() += c;
      }
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      cells.emplace_back();
    } else if (c != '\r') {
      cells.back() += c;
    }
  }
  return cells;
}

// The first scan of an input: a folder's first data file by name.
bool first_scan_of(const std::string& input, std::string& path, std::string& why) {
  std::vector<std::string> files;
  std::ostringstream said;
  if (!series_rows::data_files({input}, "", files, said) || files.empty()) {
    why = said.str();
    while (!why.empty() && why.back() == '\n') why.pop_back();
    return false;
  }
  path = files.front();
  return true;
}

}  // namespace

report_series_job::report_series_job(analysis_request request, std::string first)
    : request_(std::move(request)), first_(std::move(first)) {}

bool report_series_job::curves_of(const std::string& csv, curves& out, std::string& why) {
  out = curves{};
  std::istringstream lines(csv);
  std::string line;
  if (!std::getline(lines, line)) {
    why = "the report shows no curve with a point in the x range";
    return false;
  }
  const std::vector<std::string> header = split_csv(line);
  // The scan's own curves come first, before its reference's: those headed
  // by the first curve's file.
  const std::string name = header.front().size() >= 2 ? header.front().substr(0, header.front().size() - 2) : "";
  std::size_t curves_of_scan = 0;
  while (2 * curves_of_scan + 1 < header.size() && header[2 * curves_of_scan] == name + " x") {
    const std::string& caption = header[2 * curves_of_scan + 1];
    out.captions.push_back(caption.size() > name.size() + 1 ? caption.substr(name.size() + 1) : caption);
    ++curves_of_scan;
  }
  out.x.resize(curves_of_scan);
  out.y.resize(curves_of_scan);
  while (std::getline(lines, line)) {
    const std::vector<std::string> cells = split_csv(line);
    for (std::size_t c = 0; c < curves_of_scan && 2 * c + 1 < cells.size(); ++c)
      if (!cells[2 * c].empty()) {
        out.x[c].push_back(cells[2 * c]);
        out.y[c].push_back(cells[2 * c + 1]);
      }
  }
  if (curves_of_scan == 0) {
    why = "the report shows no curve with a point in the x range";
    return false;
  }
  return true;
}

std::vector<std::string> report_series_job::columns() const {
  std::vector<std::string> c;
  for (std::size_t k = 0; k < grid_.captions.size(); ++k)
    for (const std::string& x : grid_.x[k]) c.push_back(grid_.captions[k] + "@" + x);
  return c;
}

bool report_series_job::prepare(application_session& session, std::ostream& err) {
  std::string path, why;
  if (!first_scan_of(first_, path, why)) {
    err << why << '\n';
    return false;
  }
  const job_output first = session.scan_report(request_, path, 1, err);
  if (!first.made) return false;
  if (!curves_of(first.text, grid_, why)) {
    err << path << ": " << why << '\n';
    return false;
  }
  return true;
}

series_row report_series_job::row(application_session& session, const series_scan& scan) {
  series_row r;
  r.facts.index = scan.scan;
  std::ostringstream said;
  kept_messages kept;
  job_output made;
  try {
    made = session.scan_report(request_, scan.path, scan.scan, said, [&](assoc_class& file) {
      if (auto* data = dynamic_cast<xdd_data_3*>(find_existing(file, "xdd_data"))) r.facts = data->scan;
    });
  } catch (const numeric_abort& abort) {
    said << abort.what() << '\n';
    session.clear();
  }
  kept.add(said.str());
  curves got;
  std::string why;
  if (made.made && !curves_of(made.text, got, why)) kept.add(scan.path + ": " + why);
  const auto fail = [&](const std::string& message) {
    r.failed = true;
    r.warning = message.empty() ? scan.path + ": no report was made" : message;
    return r;
  };
  if (!made.made || !why.empty()) return fail(kept.text());
  if (got.captions != grid_.captions)
    return fail(scan.path + ": its report shows other curves than the first scan's");
  for (std::size_t k = 0; k < grid_.x.size(); ++k)
    if (got.x[k] != grid_.x[k]) {
      const auto range = [](const std::vector<std::string>& x) {
        return std::to_string(x.size()) + " points" + (x.empty() ? "" : " from " + x.front() + " to " + x.back());
      };
      return fail(scan.path + ": its " + grid_.captions[k] + " has " + range(got.x[k]) + ", the first scan's " +
                  range(grid_.x[k]) + "; the series' columns are the first scan's points");
    }
  for (const auto& y : got.y) r.cells.insert(r.cells.end(), y.begin(), y.end());
  r.warning = kept.text();
  return r;
}
