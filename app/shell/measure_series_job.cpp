#include "app/shell/measure_series_job.h"

#include <ostream>
#include <sstream>

#include "core/paths.h"
#include "xrd/files/xdd_data_3.h"

std::vector<std::string> measure_series_job::columns() const { return application_session::measure_table_columns(); }

bool measure_series_job::prepare(application_session& session, std::ostream& err) {
  if (request_.reference.empty()) return true;
  assoc_class* reference = session.load_file(request_.reference);
  if (!reference) return false;
  reference_path_ = application_session::path_of(*reference);
  // The reference takes the settings as every scan does: a width or a
  // background set for the pair is set on both.
  return session.set_options(*reference, request_.settings, err);
}

series_row measure_series_job::row(application_session& session, const series_scan& scan) {
  series_row out;
  out.facts.index = scan.scan;
  const xdd_data_3::scan_choice chosen(scan.scan);
  assoc_class* file = session.load_file(scan.path);
  // Why the load was refused has gone to the session's error stream.
  if (!file) {
    out.failed = true;
    return out;
  }
  if (const auto* data = dynamic_cast<const xdd_data_3*>(find_existing(*file, "xdd_data"))) out.facts = data->scan;
  std::ostringstream said;
  if (!reference_path_.empty() && !session.tie_reference(*file, reference_path_)) {
    said << scan.path << ": " << request_.reference << " cannot be its reference\n";
    out.failed = true;
  } else if (!session.set_options(*file, request_.settings, said)) {
    out.failed = true;
  } else {
    out.failed = !session.measure_cells(*file, request_, out.cells, said);
  }
  out.warning = said.str();
  session.unload_file(file);
  return out;
}
