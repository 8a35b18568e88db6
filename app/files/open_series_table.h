#pragma once

#include <string>

// How Load Data takes a file that may be a series table (the results of
// many scans, one row each, as the batch tool writes them).
enum class series_open {
  not_a_table,  // a scan, or no file: for the readers of scans
  opened,       // drawn in a window of its own
  refused,      // a series table that cannot be read: the user was told why
};

// Recognises a series table by its header row, whatever the file's name
// says, and opens it in a series window. A refusal names the file, the
// line and the cause.
series_open open_series_table(const std::string& path);
