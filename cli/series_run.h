#pragma once

#include <iosfwd>
#include <string>
#include <vector>

class application_session;
class series_job;

// How a series runs: over which inputs (data files, each with all its
// scans, and folders of data files), on how many worker processes, and
// which share of the scans (every `shard_count`-th from `shard`, from 1).
struct series_options {
  std::vector<std::string> inputs;
  int jobs = 0;  // 0: one per core
  int shard = 1;
  int shard_count = 1;
  std::string output;  // empty: standard output
};

// Expands the inputs into their scans, runs `job` on each and writes the
// series table (one header row, one row per scan in order) to the output.
// The exit status: 0 when every row was made, 1 when a scan failed (its
// row says why) or the run was refused (said on `err`).
int run_series(application_session& session, series_job& job, const series_options& options, std::ostream& out,
               std::ostream& err);
