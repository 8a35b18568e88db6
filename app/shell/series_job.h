#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "xrd/files/xdd_data_3.h"

class application_session;

// One scan of a series: the file it is in and its number there (from 1).
struct series_scan {
  std::string path;
  int scan = 1;
};

// One scan's row of a series table: what the file says of the scan, the
// command's own cells, and the warning column (the scan's failure, or what
// a reader of its numbers must know; empty when nothing).
struct series_row {
  xdd_data_3::scan_facts facts;
  std::vector<std::string> cells;
  std::string warning;
  bool failed = false;
};

// What a batch command does to each scan of a series, one row per scan.
// A job is prepared once in a session (a reference or an instrument
// function loaded for every row), then asked for rows in that session,
// each scan loaded and taken out again.
class series_job {
 public:
  virtual ~series_job() = default;
  // The command's own column names, between the scan's columns and
  // "warning".
  virtual std::vector<std::string> columns() const = 0;
  // False (said on `err`, naming the file and the cause) when no row can
  // be made at all, as when the reference cannot be loaded.
  virtual bool prepare(application_session& session, std::ostream& err) = 0;
  // The row of one scan. A scan that cannot be measured is a failed row
  // with its message as the warning, never a refusal of the run.
  virtual series_row row(application_session& session, const series_scan& scan) = 0;
};
