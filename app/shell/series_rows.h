#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

#include "app/shell/series_job.h"

class application_session;

// The text of a series table, whatever its command: one header row, then
// one row per scan, "index,file,scan,name,start_time,temperature_C", the
// command's own columns, and "warning".
class series_rows {
 public:
  // One scan done: its row without the index cell (which only the whole
  // series knows), whether it failed, and how many scans its file holds as
  // its load found (1 when it could not be loaded).
  struct scan_line {
    int count = 1;
    bool failed = false;
    std::string text;
  };

  static std::string header(const std::vector<std::string>& columns);

  // The data files the inputs name, in order: a file as it is (one that
  // cannot be read is its scan's failed row), a folder as its files of the
  // types Load Data reads, sorted by name, without `skipped` (the table
  // being written). False (said, naming the folder) when a folder holds
  // none or cannot be read.
  static bool data_files(const std::vector<std::string>& inputs, const std::string& skipped,
                         std::vector<std::string>& files, std::ostream& err);

  // The row of one scan made by `job`: what the session says on `err`
  // meanwhile, and what the job warns of, go to its warning cell, one line.
  static scan_line row(application_session& session, series_job& job, const series_scan& scan, std::ostream& err);

  // The failed row of a scan that was never done, saying why.
  static std::string undone_row(const series_scan& scan, std::size_t columns, const std::string& why);

  // How many scans the file at `path` holds: its first loaded and taken
  // out again, nothing said. 1 when it cannot be loaded.
  static int scan_count(application_session& session, const std::string& path, std::ostream& err);
};
