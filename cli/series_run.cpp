#include "cli/series_run.h"

#include <ostream>

#include "app/shell/application_session.h"
#include "app/shell/series_job.h"

int run_series(application_session&, series_job&, const series_options&, std::ostream&, std::ostream& err) {
  err << "series are not run yet\n";
  return 1;
}
