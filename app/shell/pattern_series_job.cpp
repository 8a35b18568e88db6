#include "app/shell/pattern_series_job.h"

#include <algorithm>
#include <cmath>
#include <ostream>
#include <sstream>

#include "app/analysis/pattern_analysis.h"
#include "app/shell/series_cells.h"
#include "app/shell/series_inputs.h"
#include "core/numeric_abort.h"
#include "core/text_helpers.h"
#include "xrd/files/xdd_data_3.h"
#include "xrd/pattern/instrument_file.h"

pattern_series_job::pattern_series_job(analysis_request request) : request_(std::move(request)) {}

std::vector<std::string> pattern_series_job::columns() const {
  return {"lines_found",       "lines_analysed",     "wh_volume_size",      "wh_volume_size_u",
          "wh_rms_strain",     "wh_rms_strain_u",    "wh_ib_volume_size",   "wh_ib_volume_size_u",
          "wh_ib_strain",      "wh_ib_strain_u",     "wa_orders",           "wa_area_size",
          "wa_area_size_u",    "wa_strain_L",        "wa_rms_strain",       "wa_rms_strain_u"};
}

bool pattern_series_job::prepare(application_session& session, std::ostream& err) {
  instrument_ = instrument_function{};
  std::string note;
  if (!session.standard_instrument(request_, instrument_, note, err)) return false;
  // A damaged instrument file would fail every scan alike: refused once.
  // Its wavelength is checked against each scan's own.
  if (!request_.instrument.empty()) {
    instrument_function checked;
    if (std::string why; !read_instrument_file(request_.instrument, 0.0, checked, why)) {
      err << why << '\n';
      return false;
    }
  }
  return true;
}

series_row pattern_series_job::row(application_session& session, const series_scan& scan) {
  series_row r;
  r.facts.index = scan.scan;
  std::ostringstream said;
  kept_messages kept;
  pattern_analysis a;
  std::string note;
  bool analysed = false;
  try {
    analysed = session.sample_pattern_analysed(request_, scan.path, scan.scan, instrument_, a, note, said);
  } catch (const numeric_abort& abort) {
    said << abort.what() << '\n';
  }
  // The facts of the scan, while its file is still loaded.
  const std::vector<assoc_class*> loaded = session.loaded_files();
  if (!loaded.empty())
    if (auto* data = dynamic_cast<xdd_data_3*>(find_existing(*loaded.front(), "xdd_data"))) r.facts = data->scan;
  session.clear();
  kept.add(said.str());
  if (!analysed) {
    r.failed = true;
    r.warning = kept.text().empty() ? scan.path + ": could not be analysed" : kept.text();
    return r;
  }
  const auto used = std::count_if(a.lines.begin(), a.lines.end(), [](const pattern_line& l) { return l.analysed; });
  series_cells c;
  c.note(kept.text());
  c.text(std::to_string(a.lines.size()));
  c.text(std::to_string(used));
  c.figure(summary_of(a.voigt.volume_length_A, "%.1f", "%.1f"), "Williamson-Hall volume-weighted size", "A");
  c.figure(summary_of(a.voigt.rms_strain, "%.2e", "%.1e"), "Williamson-Hall rms strain", "");
  c.figure(summary_of(a.classical.volume_length_A, "%.1f", "%.1f"),
           "Williamson-Hall (integral breadths) volume-weighted size", "A");
  c.figure(summary_of(a.classical.apparent_strain, "%.2e", "%.1e"), "Williamson-Hall (integral breadths) apparent strain",
           "");
  if (!a.pairs.empty()) {
    const pattern_pair& p = a.pairs.front();
    c.text(p.label);
    c.figure(p.lengths.area, ("Warren-Averbach " + p.label + " area-weighted size").c_str(), "A");
    c.plain(p.strain.L, "%.0f");
    summary_value strain = p.strain.value;
    if (strain.form == summary_value::kind::figure && std::isfinite(p.spread.at_half.rms_u) &&
        p.spread.at_half.rms_u > 0.0)
      strain.uncertainty = format_number("%.1e", p.spread.at_half.rms_u);
    c.figure(strain, ("Warren-Averbach " + p.label + " rms strain").c_str(), "");
  } else {
    for (int i = 0; i < 6; ++i) c.text("");
  }
  for (const pattern_line& l : a.lines)
    if (!l.analysed) c.note(l.label + " not analysed" + (l.warnings.empty() ? "" : ": " + l.warnings.front()));
  if (used == 0) {
    r.failed = true;
    c.note(scan.path + ": none of its " + std::to_string(a.lines.size()) + " lines could be analysed");
  }
  r.cells = std::move(c.cells);
  r.warning = c.warning();
  return r;
}
