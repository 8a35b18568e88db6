#pragma once

#include <iosfwd>
#include <string>
#include <utility>
#include <vector>

class application_session;
class headless_platform;

// What the batch tool's analysis commands (report, measure, save-project,
// project) are asked to do. Each drives the same objects and scripts as the
// workbench: files are loaded as "Load Data" loads them, values are set as the
// report editor's edit line sets them, and results come from a graph view.
struct analysis_request {
  std::vector<std::string> files;
  std::string reference;  // becomes the ref_prof of every other file
  std::vector<std::pair<std::string, std::string>> settings;  // NAME=VALUE, in order
  std::vector<std::string> show;  // family names; empty: yobs
  bool has_x_range = false;
  double x_from = 0.0;
  double x_to = 0.0;
  std::string output;  // empty: standard output
  std::string project;  // the project file read by "project"
};

// Each answers the exit status: 0 done, 1 a file, value or output refused.
int batch_report(application_session& session, const analysis_request& request, std::ostream& out,
                 std::ostream& err);
int batch_measure(application_session& session, const analysis_request& request, std::ostream& out,
                  std::ostream& err);
int batch_save_project(application_session& session, headless_platform& screen, const analysis_request& request,
                       std::ostream& err);
int batch_project(application_session& session, headless_platform& screen, const analysis_request& request,
                  std::ostream& out, std::ostream& err);
