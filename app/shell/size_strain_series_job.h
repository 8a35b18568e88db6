#pragma once

#include <string>
#include <utility>
#include <vector>

#include "app/shell/application_session.h"
#include "app/shell/series_job.h"

// size-strain over a series: each scan of the first pair's sample against
// its reference, loaded once; with two pairs (two orders of one
// reflection) the second sample's series is taken scan by scan beside the
// first, and the row adds their Warren–Averbach size and strain. The
// figures are those of size-strain's summary for the same scan, each with
// its uncertainty; one the data do not resolve leaves its cells empty and
// its bound or reason in the warning.
class size_strain_series_job : public series_job {
 public:
  explicit size_strain_series_job(analysis_request request);

  std::vector<std::string> columns() const override;
  bool prepare(application_session& session, std::ostream& err) override;
  series_row row(application_session& session, const series_scan& scan) override;

 private:
  bool two_orders() const { return request_.pairs.size() == 2; }

  analysis_request request_;
  std::vector<std::string> references_;  // each pair's, as loaded
  std::vector<series_scan> first_, second_;  // with two orders: both samples' series
};
