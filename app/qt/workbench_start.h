#pragma once

#include <iosfwd>
#include <string>
#include <vector>

// What the workbench is asked to do at start: its command line.
struct workbench_options {
  std::string template_path;
  std::vector<std::string> paths;  // data files and at most one project
  std::vector<std::string> show;   // families of an extra view
  std::string snapshot;            // a picture of the window, then quit
  bool help = false;
};

// Reads the command line; "" when it can be used, else why not.
std::string read_workbench_options(int argc, const char* const* argv, workbench_options& options);
const char* workbench_usage();

// Runs the workbench: the main window, the files or project given, the event
// loop. Answers the process's exit status. A QApplication must exist.
int run_workbench(const workbench_options& options);
