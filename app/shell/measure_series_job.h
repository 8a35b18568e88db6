#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "app/shell/application_session.h"
#include "app/shell/series_job.h"

// measure --table over a series: each scan's widths over the request's x
// range and, with a reference, its deconvolution and sizes, as one row.
// The reference is loaded once, with the request's settings, and taken as
// the reference of every scan in turn.
class measure_series_job : public series_job {
 public:
  explicit measure_series_job(analysis_request request) : request_(std::move(request)) {}

  std::vector<std::string> columns() const override;
  bool prepare(application_session& session, std::ostream& err) override;
  series_row row(application_session& session, const series_scan& scan) override;

 private:
  analysis_request request_;
  std::string reference_path_;  // as the loaded reference answers to it
};
