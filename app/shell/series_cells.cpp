#include "app/shell/series_cells.h"

#include <algorithm>
#include <cmath>

#include "core/text_helpers.h"

void series_cells::figure(const summary_value& v, const char* what, const char* unit) {
  const std::string u = *unit ? std::string(" ") + unit : std::string();
  switch (v.form) {
    case summary_value::kind::figure:
      cells.push_back(v.number);
      cells.push_back(v.uncertainty);
      return;
    case summary_value::kind::lower_bound:
      note(std::string(what) + " at least " + v.bound.substr(std::min(v.bound.size(), v.bound.find_first_not_of("> "))) +
           u);
      break;
    case summary_value::kind::not_resolved:
      note(std::string(what) + " not resolved (" + v.bound + u + ")");
      break;
    case summary_value::kind::not_determined:
      note(std::string(what) + " not determined (" + v.reason + ")");
      break;
  }
  cells.emplace_back();
  cells.emplace_back();
}

void series_cells::plain(double v, const char* format) {
  cells.push_back(std::isfinite(v) ? format_number(format, v) : std::string());
}

void series_cells::text(const std::string& cell) { cells.push_back(cell); }

void series_cells::note(const std::string& n) {
  if (!n.empty() && std::find(notes.begin(), notes.end(), n) == notes.end()) notes.push_back(n);
}

std::string series_cells::warning() const {
  std::string w;
  for (const std::string& n : notes) w += (w.empty() ? "" : "; ") + n;
  return w;
}
