#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "core/assoc_class.h"

class error_reporter;
class for_app_3;
class platform;
class TDrawView;
struct instrument_function;
struct pattern_analysis;
struct size_strain_analysis;

// What a job without a window (report, measure, plot, save-project,
// project, size-strain) is asked to do. Files are loaded as "Load Data"
// loads them, values are set as the report editor's edit line sets them,
// and results come from a graph view that holds the files.
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
  // Each sample's limit set where A(L) meets three times its uncertainty;
  // size-strain and measure --table do so anyway unless fBft_f2_lim is set.
  bool auto_limit = false;
  int figure_width = 0;     // plot: the figure's size in pixels; 0: the default
  int figure_height = 0;
  std::string lattice;  // instrument: the lattice its standard's lines are indexed with ("sc:4.157")
  // analyse-pattern: the instrument function from a file, or fitted from a
  // standard's pattern; what the lines' analysis takes; the CSV of the lines.
  std::string instrument;
  std::string standard;
  bool keep_ka2 = false;
  bool has_contrast_q = false;
  double contrast_q = 0.0;
  bool has_range = false;
  double range_from = 0.0;
  double range_to = 0.0;
  double window_fwhms = 0.0;  // 0: the automatic window
  std::string table_path;
  bool subtract_background = false;  // convert: the scan less its background
};

// What a job made: its text, when it made one, and the exit status the run
// ends with once the text is written (1 when something was refused, which
// has been said, though the text was still made).
struct job_output {
  bool made = false;
  std::string text;
  int status = 0;

  static job_output refused() { return {}; }
  static job_output of(std::string text, int status = 0) { return {true, std::move(text), status}; }
};

// The message shown when the template file cannot be read.
std::string missing_template_message(const std::string& path);

// The template is read from `path` when it is not empty, else from where it
// is looked for by default; false, with the message in `why`, when it cannot
// be read. `used` receives the path that will be read.
bool template_ready(const std::string& path, std::string& used, std::string& why);

// The message refusing `output` when it is one of `inputs` (the same file,
// after following links), which writing it would destroy; "" otherwise.
std::string output_onto_input(const std::string& output, const std::vector<std::string>& inputs);

// For the life of the object, the program runs on `screen` and every error
// it shows is a line on `messages`.
class front_end_scope {
 public:
  front_end_scope(platform& screen, std::ostream& messages);
  ~front_end_scope();
  front_end_scope(const front_end_scope&) = delete;
  front_end_scope& operator=(const front_end_scope&) = delete;

 private:
  class stream_reporter;
  std::unique_ptr<stream_reporter> reporter_;
  platform* previous_platform_ = nullptr;
  error_reporter* previous_reporter_ = nullptr;
};

// The running program's tree: the root "top" and under it the application
// object "app", made from the template. Destroying the session destroys the
// whole tree.
//
// It is also the one door for the jobs without a window: each loads,
// settles and reads the chain as the workbench does, but no view is
// painted to make the chain run.
class application_session {
 public:
  application_session();
  ~application_session();
  application_session(const application_session&) = delete;
  application_session& operator=(const application_session&) = delete;

  // Null when the template gives no application object.
  for_app_3* app() const { return app_; }
  top_3& root() { return root_; }

  // --- files ---
  // Loads one data file as "Load Data" does: the duplicate check, the file
  // limit, then the template's loading script. The new file's node, or null
  // when it was not loaded (the user has been told why).
  assoc_class* load_file(const std::string& path);
  // Files without a wavelength of their own loaded from now on take `text`
  // (Angstrom), their note saying it was given `how` ("with --wavelength");
  // "" assumes the template's default again. A file's own wavelength is
  // kept, and said when it differs.
  void give_wavelength(const std::string& text, const std::string& how);
  // Why `text` cannot be given as a wavelength; "" when it can.
  static std::string wavelength_refused(const std::string& text);
  // Takes a loaded file out again, as the batch jobs that do one file at a
  // time need before the next.
  void unload_file(assoc_class* file);
  // The loaded files, in load order.
  std::vector<assoc_class*> loaded_files() const;
  // Whether the inputs make a series rather than one scan: a folder, more
  // than one input, or a file of several scans (its first scan loaded and
  // taken out again to tell, nothing said).
  bool is_series(const std::vector<std::string>& inputs);
  // The path a loaded file was read from or saved to; "" without one.
  static std::string path_of(assoc_class& file);

  // --- options ---
  // Sets one option of a file as the report editor's edit line does; false
  // (the user told why) when there is no such option or it refused the
  // value. A dotted name walks one name at a time ("ex_l_consts.nBpts_i1").
  bool set_option(assoc_class& file, const std::string& name, const std::string& value, std::ostream& err);
  // The options in their order, but the frequency limit last: its limits
  // follow from the doubling and the tails, which may be given after it.
  bool set_options(assoc_class& file, const std::vector<std::pair<std::string, std::string>>& settings,
                   std::ostream& err);
  // Makes the file at `reference` (already loaded) the reference profile
  // of `file`; false when it was refused (said).
  bool tie_reference(assoc_class& file, const std::string& reference);
  // The request's files loaded, its reference loaded after them and tied
  // to every other file, and its settings applied to every file; false
  // (the user told why) when any of it was refused.
  bool load_request(const analysis_request& request, std::ostream& err);

  // --- the chain ---
  // Brings a file's chain to where its results are read from: the
  // automatic origin and background when none is set, then, when asked
  // and the file has a reference, the frequency limit where the quotient
  // meets its noise. False (said on `err`) when that limit cannot be set.
  bool settle(assoc_class& file, bool automatic_limit, std::ostream& err);

  // --- one file at a time ---
  // The description line of the data file at `path` (scan `scan` of a file
  // of several); false when it was refused (said).
  bool describe_file(const std::string& path, int scan, std::string& line);
  // The description line of the data file at `path` and, for a file of
  // several scans, one line per scan (describe_scan): every one; or, when
  // `only` is not 0, the line of scan `only` alone, whatever the file holds.
  // False when the file, or a scan of it,
  // was refused (said); the lines of the others are still made.
  bool describe_scans(const std::string& path, int only, std::string& text);
  // Writes the data file at `input` (scan `scan`) in the XDD layout to
  // `output`, only the window [x1, x2] of it when `window`, less the
  // background under its lines when `less_background`; false when it was
  // refused or could not be written (said).
  bool convert_to_xdd(const std::string& input, const std::string& output, int scan, bool window, double x1,
                      double x2, bool less_background = false);

  // --- projects ---
  // Saves the loaded files as a project at `path`, as Save Project As does
  // once its dialog has the path; false (said) when a file was never
  // written or the project could not be.
  bool save_project(const std::string& path, std::ostream& err);
  // Opens the project at `path` as Load Project does once its dialog has
  // the path; false (said) when it was refused or loaded no data file.
  bool open_project(const std::string& path, std::ostream& err);

  // --- results ---
  // The xy report (or CSV) of the view the request makes.
  job_output report(const analysis_request& request, std::ostream& err);
  // The SVG drawing of that view, of the request's size (800 x 500 pixels
  // when it gives none), as File > Export Figure draws it.
  job_output figure(const analysis_request& request, std::ostream& err);
  // FWHM, centroid and area of the first file, one result line each, as
  // the workbench's history shows them (the missing ones said on `err`).
  job_output measure(const analysis_request& request, std::ostream& err);
  // The cells of one loaded file's row of measure --table, under
  // measure_table_columns(): its widths over the request's x range and, when
  // it has a reference, its deconvolution and sizes, its chain settled as the
  // request asks. A cell the data do not give is empty, said on `err`;
  // false when a measure could not be taken at all or the chain refused.
  bool measure_cells(assoc_class& file, const analysis_request& request, std::vector<std::string>& cells,
                     std::ostream& err);
  static const std::vector<std::string>& measure_table_columns();
  // The size-strain analysis of one line (one pair) or of two orders of
  // one reflection (two pairs), each sample with its own reference.
  job_output size_strain(const analysis_request& request, std::ostream& err);
  // What size-strain writes, for samples already loaded, each with the path
  // of its reference (loaded too): each sample takes its reference, its own
  // settings (the request's pair_settings, in order), is settled and
  // analysed. The request's settings must have been applied already. False
  // (said on `err`) when a sample or the two orders could not be analysed.
  bool analyse_pairs(const analysis_request& request, const std::vector<std::pair<assoc_class*, std::string>>& samples,
                     size_strain_analysis& out, std::ostream& err);
  // The instrument function from the standard at `path` (scan `scan`),
  // written to `output`; the text lists its figures and the lines used and
  // not. Refused (said, nothing written) as instrument_from_standard says.
  job_output instrument(const std::string& path, int scan, const std::string& lattice, const std::string& output,
                        std::ostream& err);
  // Every line of the sample's pattern (scan `scan`) found, indexed with the
  // request's lattice and analysed against a reference synthesised from the
  // instrument function (its file, or fitted from the standard's pattern),
  // then Williamson–Hall and Warren–Averbach over the lines: the text is the
  // summary, the fits and a block per line; the lines' CSV goes to the
  // request's table_path. Refused (said, naming the file and the cause,
  // nothing written) when the instrument file is damaged or of another
  // wavelength, the standard gives no instrument function, or the sample
  // no line or none the lattice indexes.
  job_output analyse_pattern(const analysis_request& request, int scan, std::ostream& err);
  // The instrument function fitted from the request's standard, when it
  // names one (`note` then says so); true and nothing done without one.
  // False (said) when the standard gives none.
  bool standard_instrument(const analysis_request& request, instrument_function& f, std::string& note,
                           std::ostream& err);
  // The whole-pattern analysis of scan `scan` of the pattern at `path`
  // against `prepared` (from standard_instrument), or against the request's
  // instrument file read for the scan's wavelength; false (said, naming the
  // file and the cause) as analyse_pattern is refused.
  bool sample_pattern_analysed(const analysis_request& request, const std::string& path, int scan,
                               const instrument_function& prepared, pattern_analysis& out, std::string& note,
                               std::ostream& err);
  // The same analysis's Williamson–Hall plot (β* and β_L* against d*, the
  // lines labelled, the fitted lines drawn) as an SVG drawing of the
  // request's size (800 x 500 pixels when it gives none).
  job_output williamson_hall_figure(const analysis_request& request, int scan, std::ostream& err);
  // Opens the request's project and makes the report of one view holding
  // all its files; refused when any of its files was not loaded.
  job_output project_report(const analysis_request& request, std::ostream& err);
  // The CSV report (as report --format csv makes it) of scan `scan` of the
  // file at `path` with the request's reference, settings, families and x
  // range, made in a view of its own; the files and the view are taken out
  // again, so that any number of scans may follow. `loaded`, when given, is
  // shown the scan's file once it is loaded.
  job_output scan_report(const analysis_request& request, const std::string& path, int scan, std::ostream& err,
                         const std::function<void(assoc_class& file)>& loaded = nullptr);
  // Takes out every view and every loaded file.
  void clear();

  // Runs a job; a numerical stage that gives up (numeric_abort) ends it
  // with its message on `err` and the status 1.
  static int run_guarded(const std::function<int()>& job, std::ostream& err);
  // Why a list of shown families cannot be shown together; "" when it can.
  static std::string families_refused(const std::vector<std::string>& names);
  // Why `text` is not a lattice ("sc:4.157"); "" when it is.
  static std::string lattice_refused(const std::string& text);
  // Why a figure cannot be drawn at that size; "" when it can.
  static std::string figure_size_refused(int width, int height);
  // Which implementation of the transform runs on this processor
  // ("avx512", "avx2" or "portable"), and why, for --version.
  static std::string transform_path();

 private:
  // One view holding every loaded file in load order, each file settled,
  // showing the request's families over its x range; null (said) when a
  // file could not be settled.
  TDrawView* view_of(const analysis_request& request, std::ostream& err);
  // The points and the K-alpha1 wavelength (NaN when the file gives none)
  // of the pattern at `path`, loaded and taken out again; false when it was
  // refused (said).
  // The whole-pattern analysis the request asks for; false when it was
  // refused (said). `instrument_note` says where the instrument came from.
  bool pattern_analysed(const analysis_request& request, int scan, pattern_analysis& out,
                        std::string& instrument_note, std::ostream& err);
  bool pattern_of(const std::string& path, int scan, std::vector<double>& x, std::vector<double>& y, double& lambda_A);

  top_3 root_;
  for_app_3* app_ = nullptr;
  class given_wavelength;
  std::unique_ptr<given_wavelength> given_wavelength_;
};
