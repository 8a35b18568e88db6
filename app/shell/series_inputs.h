#pragma once

#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "app/shell/series_job.h"

class application_session;
class error_reporter;

// The scans of a series in order: the inputs in the order given, a folder's
// data files (by the extensions Load Data offers) sorted by name, each
// file's scans in order. A file that cannot be read is one scan, whose row
// will say why. False (said on `err`, naming it) when an input is neither a
// file nor a folder, or a folder holds no data file.
bool series_scans(application_session& session, const std::vector<std::string>& inputs,
                  std::vector<series_scan>& scans, std::ostream& err);

// Whether the inputs make a series rather than one scan: a folder, more
// than one input, or a file of several scans.
bool is_series(application_session& session, const std::vector<std::string>& inputs);

// While it lives, what the program reports as errors (a file refused by its
// reader, a value refused) is kept here instead of shown: a series row's
// warning.
class kept_messages {
 public:
  kept_messages();
  ~kept_messages();
  kept_messages(const kept_messages&) = delete;
  kept_messages& operator=(const kept_messages&) = delete;

  // What was reported, the messages joined with "; ", without line ends.
  std::string text() const;
  void add(const std::string& message);

 private:
  class keeper;
  std::vector<std::string> messages_;
  std::unique_ptr<keeper> keeper_;
  error_reporter* previous_ = nullptr;
};
