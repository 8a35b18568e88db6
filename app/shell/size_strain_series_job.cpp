#include "app/shell/size_strain_series_job.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>

#include "app/shell/series_cells.h"
#include "app/shell/series_inputs.h"
#include "app/shell/size_strain_analysis.h"
#include "core/numeric_abort.h"
#include "xrd/files/xdd_data_3.h"
#include "xrd/sizes/judged_figures.h"

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();

// The summary's Scherrer size of one line, as size_strain_text judges it.
summary_value scherrer_of(const line_analysis& a, const line_spread* s) {
  const char* why = a.coefficients.wavelength > 0.0 ? "the deconvoluted profile has no integral breadth"
                                                    : "no wavelength (lBamda) is set";
  return summary_value::of(a.scherrer, s ? s->scherrer_u : none, "%.1f", why);
}

// What one line's analysis used: its limit, where it is read, and the
// deconvoluted profile's width and fit.
void line_cells(series_cells& c, const line_analysis& a) {
  c.plain(a.limit_frequency, "%.4f");
  c.plain(a.limit_L, "%.1f");
  c.plain(a.snr_at_limit, "%.1f");
  c.plain(a.deconvoluted.fwhm, "%.4f");
  c.plain(100.0 * a.reconvolution_r, "%.2f");
  for (const std::string& w : a.warnings) c.note(w);
}

const char* const line_columns[] = {"frequency_limit", "limit_L", "snr_at_limit", "deconvoluted_fwhm",
                                    "reconvolution_r"};

}  // namespace

size_strain_series_job::size_strain_series_job(analysis_request request) : request_(std::move(request)) {}

std::vector<std::string> size_strain_series_job::columns() const {
  std::vector<std::string> c = {"area_weighted_length", "area_weighted_length_u", "volume_weighted_length",
                                "volume_weighted_length_u"};
  if (!two_orders()) {
    c.insert(c.end(), {"scherrer_size", "scherrer_size_u"});
    c.insert(c.end(), std::begin(line_columns), std::end(line_columns));
    return c;
  }
  c.insert(c.end(), {"strain_L", "rms_strain", "rms_strain_u", "rms_strain_50", "rms_strain_50_u"});
  for (const char* order : {"_1", "_2"}) {
    c.push_back(std::string("scherrer_size") + order);
    c.push_back(std::string("scherrer_size") + order + "_u");
    for (const char* name : line_columns) c.push_back(name + std::string(order));
  }
  return c;
}

bool size_strain_series_job::prepare(application_session& session, std::ostream& err) {
  references_.clear();
  for (const auto& pair : request_.pairs) {
    assoc_class* reference = nullptr;
    for (assoc_class* file : session.loaded_files())
      if (application_session::path_of(*file) == pair.second) reference = file;
    if (!reference) {
      reference = session.load_file(pair.second);
      if (!reference || !session.set_options(*reference, request_.settings, err)) return false;
    }
    references_.push_back(application_session::path_of(*reference));
  }
  if (!two_orders()) return true;
  // Scan by scan: the two orders' series pair off only when they are as long.
  const std::string& a = request_.pairs[0].first;
  const std::string& b = request_.pairs[1].first;
  if (!series_scans(session, {a}, first_, err) || !series_scans(session, {b}, second_, err)) return false;
  if (first_.size() != second_.size()) {
    err << a << " holds " << first_.size() << (first_.size() == 1 ? " scan" : " scans") << " and " << b << " holds "
        << second_.size() << ": the two orders' series must have as many scans, to be taken scan by scan\n";
    return false;
  }
  return true;
}

series_row size_strain_series_job::row(application_session& session, const series_scan& scan) {
  series_row r;
  r.facts.index = scan.scan;
  std::ostringstream said;
  kept_messages kept;
  std::vector<series_scan> wanted = {scan};
  if (two_orders()) {
    const auto at = std::find_if(first_.begin(), first_.end(),
                                 [&](const series_scan& s) { return s.path == scan.path && s.scan == scan.scan; });
    if (at == first_.end()) {
      r.failed = true;
      r.warning = scan.path + ": not among the scans of " + request_.pairs[0].first;
      return r;
    }
    wanted.push_back(second_[static_cast<std::size_t>(at - first_.begin())]);
  }
  std::vector<std::pair<assoc_class*, std::string>> samples;
  size_strain_analysis a;
  bool analysed = false;
  try {
    bool loaded = true;
    for (std::size_t i = 0; i < wanted.size() && loaded; ++i) {
      assoc_class* file = nullptr;
      {
        const xdd_data_3::scan_choice chosen(wanted[i].scan);
        file = session.load_file(wanted[i].path);
      }
      if (file) samples.emplace_back(file, references_[i]);
      loaded = file && session.set_options(*file, request_.settings, said);
    }
    if (!samples.empty())
      if (auto* data = dynamic_cast<xdd_data_3*>(find_existing(*samples.front().first, "xdd_data")))
        r.facts = data->scan;
    analysed = loaded && session.analyse_pairs(request_, samples, a, said);
  } catch (const numeric_abort& abort) {
    said << abort.what() << '\n';
  }
  for (const auto& s : samples) session.unload_file(s.first);

  kept.add(said.str());
  const std::string messages = kept.text();
  if (!analysed) {
    r.failed = true;
    r.warning = messages.empty() ? scan.path + ": could not be analysed" : messages;
    return r;
  }
  series_cells c;
  c.note(messages);
  const bool spread_ok = a.spread.lines.size() == a.lines.size();
  auto spread_of_line = [&](std::size_t i) -> const line_spread* { return spread_ok ? &a.spread.lines[i] : nullptr; };
  if (!two_orders()) {
    const line_analysis& line = a.lines.front();
    const line_spread* s = spread_of_line(0);
    const column_lengths lengths =
        judged_lengths(line.size, s ? s->slope_u : none, s ? s->area_u : none,
                       "A(L) does not fall at its start: no size broadening is seen", line.volume_length,
                       s ? s->volume_u : none, line.volume_reached_zero);
    c.figure(lengths.area, "area-weighted length", "A");
    c.figure(lengths.volume, "volume-weighted length", "A");
    c.figure(scherrer_of(line, s), "Scherrer size", "A");
    line_cells(c, line);
  } else {
    const pair_spread* p = spread_ok ? &a.spread.pair : nullptr;
    const column_lengths lengths = judged_pair_lengths(a.pair, p);
    c.figure(lengths.area, "area-weighted length", "A");
    c.figure(lengths.volume, "volume-weighted length", "A");
    const pair_strain at_half = judged_strain_at_half(a.pair, p, lengths.area);
    c.plain(at_half.L, "%.0f");
    c.figure(at_half.value, "rms strain at half the area-weighted length", "");
    c.figure(judged_strain(a.pair.strain_at_50, p ? &p->at_50 : nullptr, no_strain_at(a.pair.rows, 50.0)),
             "rms strain at L = 50 A", "");
    for (std::size_t i = 0; i < a.lines.size(); ++i) {
      c.figure(scherrer_of(a.lines[i], spread_of_line(i)), i == 0 ? "Scherrer size of the first order"
                                                                  : "Scherrer size of the second order",
               "A");
      line_cells(c, a.lines[i]);
    }
  }
  r.cells = std::move(c.cells);
  r.warning = c.warning();
  return r;
}
