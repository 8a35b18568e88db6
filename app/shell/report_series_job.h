#pragma once

#include <string>
#include <vector>

#include "app/shell/application_session.h"
#include "app/shell/series_job.h"

// report over a series: the map of an in-situ run. Each scan's report (its
// curves over the view's x range, with the request's reference, settings
// and families) becomes one row, a column per curve and point, named
// "CAPTION@X" by the first scan's curves and x values. A scan whose report
// has other x values (another grid or range) is a failed row saying so: the
// report gives values at the points measured and never between them.
class report_series_job : public series_job {
 public:
  // `first` is the series' first input, whose first scan gives the columns.
  report_series_job(analysis_request request, std::string first);

  std::vector<std::string> columns() const override;
  bool prepare(application_session& session, std::ostream& err) override;
  series_row row(application_session& session, const series_scan& scan) override;

 private:
  // One scan's curves as its report gives them: for each curve of the
  // scan's own file, its caption, and its x and y cells as printed.
  struct curves {
    std::vector<std::string> captions;
    std::vector<std::vector<std::string>> x, y;
  };
  // The curves of the scan's file in a report (CSV); false with `why`.
  static bool curves_of(const std::string& csv, curves& out, std::string& why);

  analysis_request request_;
  std::string first_;
  curves grid_;
};
