#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "app/shell/application_session.h"
#include "cli/series_run.h"

// What the command line asked for.
struct arguments {
  std::string template_path;
  std::string command;
  std::vector<std::string> files;
  analysis_request analysis;
  std::vector<std::string> options;  // the command's options given, by their first name, for the checks
  bool help = false;
  bool version = false;
  int scan = 1;  // which scan of a file of several
  // A series' worker processes (0: one per core) and its share of the scans.
  int jobs = 0;
  int shard = 1;
  int shard_count = 1;
  std::string wavelength;  // for files without one; empty: the template's default

  // The series the command line names: its files and folders, its workers,
  // its share and its output.
  series_options series() const;
};

// One option of the command line: its names, its block of --help (none for
// an option that its commands' blocks describe) and how its values are
// read. A global option is read anywhere, before the command too, and is
// no command's.
struct option_row {
  std::vector<std::string> names;
  const char* help;
  bool global;
  // Reads the option's values, taking each with `value` (null when the
  // command line has no more words); "" when read, else why not.
  std::function<std::string(const std::function<const char*()>& value, arguments& args)> read;
};

// One command: its name, how many files it takes (max_files < 0: no upper
// limit) and what a wrong count is told, the options it accepts, its block
// of --help, and what it does.
struct command_row {
  const char* name;
  int min_files;
  int max_files;
  const char* wrong_count;
  std::vector<std::string> options;
  const char* help;
  // The last file named is the one written.
  bool writes_last_file = false;
  // Further checks of the command line (a usage error: its text), or null.
  std::function<std::string(const arguments& args, const command_row& row)> check;
  // What must be refused before anything is read (a refusal: its text), or
  // null.
  std::function<std::string(const arguments& args)> refuse;
  // Runs the command; the exit status.
  std::function<int(application_session& session, const arguments& args, std::ostream& out, std::ostream& err)>
      run;
};

const std::vector<command_row>& command_rows();
const std::vector<option_row>& option_rows();

// The row of a command or an option by its name; null when there is none.
const command_row* command_named(const std::string& name);
const option_row* option_named(const std::string& name);

// --help, assembled from the rows.
const std::string& usage_text();
