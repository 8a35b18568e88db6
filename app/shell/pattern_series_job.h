#pragma once

#include <string>
#include <vector>

#include "app/shell/application_session.h"
#include "app/shell/series_job.h"
#include "xrd/pattern/instrument_function.h"

// analyse-pattern over a series: the instrument function fitted once from
// the standard (or its file checked once, then read for each scan's
// wavelength), and each scan's whole pattern analysed against it. A row
// holds the summary's figures: the lines found and analysed, the
// Williamson–Hall size and strain (Voigt separation, then integral
// breadths) and the Warren–Averbach size and strain of the first pair of
// orders, each with its uncertainty or, unresolved, empty with its bound in
// the warning.
class pattern_series_job : public series_job {
 public:
  explicit pattern_series_job(analysis_request request);

  std::vector<std::string> columns() const override;
  bool prepare(application_session& session, std::ostream& err) override;
  series_row row(application_session& session, const series_scan& scan) override;

 private:
  analysis_request request_;
  instrument_function instrument_;
};
