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
  bool csv = false;     // report, project: comma-separated values instead of the report's fields
  bool table = false;   // measure: one CSV row per file
  std::string project;  // the project file read by "project"
  std::vector<std::pair<std::string, std::string>> pairs;  // size-strain: SAMPLE, REF
  // size-strain: the settings given after each --pair, for its sample alone
  std::vector<std::vector<std::pair<std::string, std::string>>> pair_settings;
  bool auto_limit = false;  // size-strain: each sample's limit set where its quotient meets its noise
  int figure_width = 0;     // plot: the figure's size in pixels; 0: the default
  int figure_height = 0;
};

class TDrawView;

// The message refusing `output` when it is one of `inputs` (the same file,
// after following links), which writing it would destroy; "" otherwise.
std::string output_onto_input(const std::string& output, const std::vector<std::string>& inputs);

// Writes a command's result to `output`, or to `out` when that is empty.
// Answers `status` when it was written, else 1 with the reason on `err`.
int write_result(const std::string& output, const std::string& text, int status, std::ostream& out,
                 std::ostream& err);

// The request's files loaded, its reference tied to the others and its
// settings applied, shown in one view with its families over its x range,
// as report makes it; null (the user told why) when any of it was refused.
TDrawView* prepared_view(application_session& session, const analysis_request& request, std::ostream& err);

// Each answers the exit status: 0 done, 1 a file, value or output refused.
int batch_report(application_session& session, const analysis_request& request, std::ostream& out,
                 std::ostream& err);
int batch_measure(application_session& session, const analysis_request& request, std::ostream& out,
                  std::ostream& err);
int batch_save_project(application_session& session, headless_platform& screen, const analysis_request& request,
                       std::ostream& err);
int batch_project(application_session& session, headless_platform& screen, const analysis_request& request,
                  std::ostream& out, std::ostream& err);
// The size-strain analysis of one line (one pair) or of two orders of one
// reflection (two pairs), each sample with its own reference.
int batch_size_strain(application_session& session, const analysis_request& request, std::ostream& out,
                      std::ostream& err);
