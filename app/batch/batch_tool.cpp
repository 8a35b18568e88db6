#include "app/batch/batch_tool.h"

#include <signal.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "app/batch/batch_analysis.h"
#include "app/batch/batch_plot.h"
#include "app/views/for_dr_vw_3.h"
#include "app/shell/application.h"
#include "app/shell/for_app_3.h"
#include "app/platform/headless_platform.h"
#include "app/shell/hint_text_3.h"
#include "app/platform/platform.h"
#include "core/error_message.h"
#include "core/numeric_abort.h"
#include "core/paths.h"
#include "template/template_file.h"
#include "core/text_helpers.h"
#include "xrd/curves/xy_data_3.h"
#include "xrd/files/xdd_data_3.h"

namespace {

// Message boxes become lines on the error stream; a question cannot be
// answered in a batch and counts as "no".
class batch_platform : public headless_platform {
 public:
  explicit batch_platform(std::ostream& err) : err_(err) {}
  void message(platform_types::box_kind, const std::string&, const std::string& text) override {
    err_ << text << '\n';
  }
  bool ask_yes_no(const std::string&, const std::string& text) override {
    err_ << text << " (answered no)\n";
    return false;
  }
  // Nobody sees the batch tool's views: their pictures keep nothing.
  picture_id create_picture(int, int) override { return ++pictures_; }
  platform_types::surface* picture_surface(picture_id) override { return &blank_; }
  void copy_picture_into(picture_id, picture_id) override {}
  void paint_picture(picture_id, platform_types::surface&) override {}
  void destroy_picture(picture_id) override {}

 private:
  std::ostream& err_;
  blank_surface blank_;
  picture_id pictures_ = 0;
};

class stream_reporter : public error_reporter {
 public:
  explicit stream_reporter(std::ostream& err) : err_(err) {}
  void report(const char*, const char* text) override { err_ << text << '\n'; }

 private:
  std::ostream& err_;
};

struct arguments {
  std::string template_path;
  std::string command;
  std::vector<std::string> files;
  analysis_request analysis;
  std::vector<std::string> options;  // the analysis options given, for the checks
  bool help = false;
  int scan = 1;  // which scan of a file of several
};

int usage_error(std::ostream& err, const std::string& why) {
  err << "xrdfourier-cli: " << why << "\n\n" << batch_usage();
  return 2;
}

// What each command takes: its name, how many files (max_files < 0: no
// upper limit), what a wrong count is told, and the options it accepts.
struct command_shape {
  const char* name;
  int min_files;
  int max_files;
  const char* wrong_count;
  std::vector<std::string> options;
};

const std::vector<command_shape>& commands() {
  static const std::vector<command_shape> all = {
      {"info", 1, -1, "info needs at least one file", {"--scan"}},
      {"convert", 2, 2, "convert needs an input and an output file", {"--scan", "--xrange"}},
      {"report", 1, -1, "report needs at least one file",
       {"--ref", "--set", "--show", "--xrange", "--format", "--auto-limit", "-o"}},
      {"measure", 1, -1, "measure needs one file", {"--set", "--xrange", "--table", "--ref", "--auto-limit", "-o"}},
      {"save-project", 1, -1, "save-project needs at least one file", {"--ref", "--set", "-o"}},
      {"project", 1, 1, "project needs one project file", {"--show", "--xrange", "--format", "-o"}},
      {"size-strain", 0, 0, "size-strain takes its files in --pair options",
       {"--pair", "--set", "--auto-limit", "-o"}},
      {"plot", 1, -1, "plot needs at least one file", {"--ref", "--set", "--show", "--xrange", "--auto-limit", "--size", "-o"}},
  };
  return all;
}

bool read_number(const char* text, double& value) {
  char* end = nullptr;
  value = std::strtod(text, &end);
  return end != text && *end == '\0' && std::isfinite(value);
}

// Reads one analysis option and its values at argv[i]; "" when it was read,
// else why not. i is left on the option's last word.
std::string read_option(int argc, const char* const* argv, int& i, arguments& args) {
  std::string a = argv[i];
  if (a == "--output") a = "-o";
  auto value = [&]() -> const char* { return i + 1 < argc ? argv[++i] : nullptr; };
  analysis_request& r = args.analysis;
  if (a == "--ref") {
    const char* v = value();
    if (!v) return "--ref needs a file";
    r.reference = v;
  } else if (a == "--set") {
    const char* v = value();
    const std::string setting = v ? v : "";
    const std::size_t eq = setting.find('=');
    if (eq == std::string::npos || eq == 0) return "--set needs NAME=VALUE";
    // After a --pair, a setting is that pair's sample's alone.
    auto& to = args.command == "size-strain" && !r.pairs.empty() ? r.pair_settings.back() : r.settings;
    to.emplace_back(setting.substr(0, eq), setting.substr(eq + 1));
  } else if (a == "--show") {
    const char* v = value();
    if (!v) return "--show needs a comma-separated list of families";
    std::stringstream list(v);
    std::string name;
    while (std::getline(list, name, ','))
      if (!name.empty()) r.show.push_back(name);
    if (const std::string why = check_families(r.show); !why.empty()) return why;
  } else if (a == "--xrange") {
    const char* from = value();
    const char* to = from ? value() : nullptr;
    if (!to || !read_number(from, r.x_from) || !read_number(to, r.x_to) || r.x_from == r.x_to)
      return "--xrange needs two different numbers X1 X2";
    r.has_x_range = true;
  } else if (a == "-o") {
    const char* v = value();
    if (!v || !*v) return "-o needs a file";
    r.output = v;
  } else if (a == "--pair") {
    const char* sample = value();
    const char* reference = sample ? value() : nullptr;
    if (!reference) return "--pair needs a sample file and its reference";
    r.pairs.emplace_back(sample, reference);
    r.pair_settings.emplace_back();
  } else if (a == "--format") {
    const char* v = value();
    const std::string format = v ? v : "";
    if (format != "csv" && format != "fields") return "--format needs csv or fields";
    r.csv = format == "csv";
  } else if (a == "--scan") {
    const char* v = value();
    double k = 0;
    if (!v || !read_number(v, k) || k < 1 || k != std::floor(k) || k > 1e6) return "--scan needs a scan number from 1";
    args.scan = static_cast<int>(k);
  } else if (a == "--size") {
    if (!read_figure_size(value(), r.figure_width, r.figure_height))
      return "--size needs WIDTHxHEIGHT in pixels, each 100 to 10000";
  } else if (a == "--table") {
    r.table = true;
  } else if (a == "--auto-limit") {
    r.auto_limit = true;
  } else {
    return "unknown option " + a;
  }
  args.options.push_back(a);
  return "";
}

// Reads the command line into `args`. 0 when a command can run, else the
// exit status of a usage error (the usage has been written to `err`).
int parse_arguments(int argc, const char* const* argv, arguments& args, std::ostream& err) {
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--help" || a == "-h") {
      args.help = true;
    } else if (a == "--template") {
      if (i + 1 >= argc) return usage_error(err, "--template needs a path");
      args.template_path = argv[++i];
    } else if (args.command.empty() && !a.empty() && a[0] == '-') {
      return usage_error(err, "unknown option " + a);
    } else if (a.size() > 1 && a[0] == '-') {
      if (const std::string why = read_option(argc, argv, i, args); !why.empty()) return usage_error(err, why);
    } else if (args.command.empty()) {
      args.command = a;
    } else {
      args.files.push_back(a);
    }
  }
  if (args.help) return 0;
  if (args.command.empty()) return usage_error(err, "no command given");
  for (const command_shape& c : commands()) {
    if (args.command != c.name) continue;
    const int count = static_cast<int>(args.files.size());
    if (count < c.min_files || (c.max_files >= 0 && count > c.max_files)) return usage_error(err, c.wrong_count);
    for (const std::string& o : args.options)
      if (std::find(c.options.begin(), c.options.end(), o) == c.options.end())
        return usage_error(err, args.command + " does not take " + o);
    if (args.command == "save-project" && args.analysis.output.empty())
      return usage_error(err, "save-project needs -o OUT, the project file to write");
    // Without --table a measure prints the history lines of one file.
    if (args.command == "measure" && !args.analysis.table) {
      if (count > 1) return usage_error(err, c.wrong_count);
      for (const char* o : {"--ref", "--auto-limit", "-o"})
        if (std::find(args.options.begin(), args.options.end(), o) != args.options.end())
          return usage_error(err, std::string(o) + " goes with measure --table only");
    }
    if (args.command == "size-strain" && (args.analysis.pairs.empty() || args.analysis.pairs.size() > 2))
      return usage_error(err, "size-strain needs one --pair SAMPLE REF, or two for two orders of one reflection");
    args.analysis.files = args.files;
    if (args.command == "project") {
      args.analysis.project = args.files.front();
      args.analysis.files.clear();
    }
    return 0;
  }
  return usage_error(err, "unknown command " + args.command);
}

// Installs the batch platform and reporter for the life of a run.
struct batch_environment {
  batch_environment(std::ostream& err) : platform_(err), reporter_(err) {
    previous_platform_ = set_platform(&platform_);
    previous_reporter_ = set_error_reporter(&reporter_);
  }
  ~batch_environment() {
    set_error_reporter(previous_reporter_);
    set_platform(previous_platform_);
  }
  batch_platform platform_;
  stream_reporter reporter_;
  platform* previous_platform_ = nullptr;
  error_reporter* previous_reporter_ = nullptr;
};

// Loads one data file into the session as Load Data does. Its node, or null
// when the file was refused (the user has been told why).
assoc_class* load_one(application_session& session, const std::string& path) { return session.load_file(path); }

// Takes a loaded file out of the session again, through the tree: its node
// is deleted from the loaded files ("xAdd_recs") that own it.
void unload_one(assoc_class* file) {
  if (file && file->parent()) file->parent()->delete_child(file);
}

// Runs `job` on each file in turn: loaded, used and unloaded before the next,
// so the workbench's limit on files loaded at once does not apply, and a file
// named twice is simply done twice. 1 when any file was refused or its job
// failed, else 0.
int for_each_file(application_session& session, const std::vector<std::string>& paths,
                  const std::function<bool(assoc_class&)>& job) {
  int status = 0;
  for (const std::string& path : paths) {
    assoc_class* file = load_one(session, path);
    if (!file) {
      status = 1;
      continue;
    }
    if (!job(*file)) status = 1;
    unload_one(file);
  }
  return status;
}

// The batch tool writes the XDD layout only, so only a name the readers
// will take for XDD: the extension .xdd, in any case.
bool is_xdd_name(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".xdd";
}

// Writes a loaded file in the XDD layout under `output`. False, with the
// user told why, when it could not.
bool save_as_xdd(assoc_class& file, const std::string& output) {
  assoc_class* path = find_existing(file, "xDdd_path_name");
  auto* data = dynamic_cast<xdd_data_3*>(find_existing(file, "xdd_data"));
  if (!path || !data) {
    report_error((output + ": Cannot save file").c_str());
    return false;
  }
  path->set_text(output.c_str());
  return data->write_xdd();
}

// The file a command writes, "" for standard output.
std::string output_of(const arguments& args) {
  return args.command == "convert" ? args.files[1] : args.analysis.output;
}

// The files a command reads that are named on its command line.
std::vector<std::string> inputs_of(const arguments& args) {
  const analysis_request& r = args.analysis;
  std::vector<std::string> inputs = args.files;
  if (args.command == "convert") inputs.pop_back();
  if (!r.reference.empty()) inputs.push_back(r.reference);
  if (!r.project.empty()) inputs.push_back(r.project);
  for (const auto& [sample, reference] : r.pairs) {
    inputs.push_back(sample);
    inputs.push_back(reference);
  }
  return inputs;
}

// Sets a signal to be ignored for the life of the object.
class ignored_signal {
 public:
  explicit ignored_signal(int signal) : signal_(signal) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    set_ = ::sigaction(signal_, &ignore, &previous_) == 0;
  }
  ~ignored_signal() {
    if (set_) ::sigaction(signal_, &previous_, nullptr);
  }
  ignored_signal(const ignored_signal&) = delete;
  ignored_signal& operator=(const ignored_signal&) = delete;

 private:
  int signal_;
  struct sigaction previous_ {};
  bool set_ = false;
};

int run_info(application_session& session, const arguments& args, std::ostream& out) {
  return for_each_file(session, args.files, [&out](assoc_class& file) {
    out << describe_data_file(file) << '\n';
    return true;
  });
}

// Keeps the window [x1, x2] of a loaded scan, as a capture keeps the
// view's: false, with the user told why, when too few points stay.
bool keep_window(assoc_class& file, double x1, double x2) {
  auto* profile = dynamic_cast<xy_data_3*>(find_existing(file, "xy_yobs"));
  auto* data = dynamic_cast<xdd_data_3*>(find_existing(file, "xdd_data"));
  if (!profile || !data) return false;
  if (x1 > x2) std::swap(x1, x2);
  const int min_points = get_int_named(file, "mBin_pts_xdd");
  if (!profile->crop_x(x1, x2, min_points)) {
    report_error(("XRD File must have more than " + std::to_string(min_points) + " points.").c_str());
    return false;
  }
  std::string comment = data->comment.c_str();
  comment += (comment.empty() ? "" : "; ") + std::string("from ") + format_number("%g", profile->x1) + " to " +
             format_number("%g", profile->x2) + " deg of the scan";
  data->comment.assign(comment.c_str());
  return true;
}

int run_convert(application_session& session, const arguments& args) {
  const std::string& output = args.files[1];
  const analysis_request& r = args.analysis;
  return for_each_file(session, {args.files[0]}, [&](assoc_class& file) {
    if (r.has_x_range && !keep_window(file, r.x_from, r.x_to)) return false;
    return save_as_xdd(file, output);
  });
}

}  // namespace

const char* batch_usage() {
  return "Usage: xrdfourier-cli [--template PATH] COMMAND ARGUMENTS [OPTIONS]\n"
         "\n"
         "Commands:\n"
         "  info FILE...           Load each data file (XDD, CPI, two-column text .xy .dat .txt\n"
         "                         .csv, XRDML or RAS) as Load Data does and print one line per\n"
         "                         file: its path, abscissa (first x, step, last x), number of\n"
         "                         points, count time and wavelength.\n"
         "  convert INPUT OUTPUT   Load INPUT and write it in the XDD layout to OUTPUT (.xdd);\n"
         "                         with --xrange X1 X2 only that window of the scan.\n"
         "  report FILE...         Show the files in one graph view, in load order, and write its\n"
         "                         xy report (columns of x and y per curve over the view's x range).\n"
         "  measure FILE           Print FWHM, centroid and area of the file's observed profile\n"
         "                         over the x range (default: all of it).\n"
         "  measure FILE... --table\n"
         "                         One CSV row per file: FWHM, centroid, area and integral\n"
         "                         breadth over the x range and, for a file with a reference\n"
         "                         (--ref REF), the deconvoluted FWHM and the sizes of\n"
         "                         size-strain (--auto-limit as there).\n"
         "                         Every measure is taken above the background line that the\n"
         "                         Fourier chain subtracts (aBo_bkg + aB1_bkg (x - centre),\n"
         "                         placed through the scan's end points unless fft_zero is set):\n"
         "                         FWHM at half the line's height above it, read linearly\n"
         "                         between points; area by trapezoids; integral breadth = area /\n"
         "                         height. size-strain measures its observed and reference lines\n"
         "                         the same way over the whole scan, so the numbers agree.\n"
         "  save-project FILE...   Write the project of the files with their settings to -o OUT.\n"
         "  project PRJ            Load a project and write the report of one view holding all of\n"
         "                         its files, as report does. A data file missing where the project\n"
         "                         names it is looked for below and beside the project (and said);\n"
         "                         one that cannot be loaded is named and the command exits 1.\n"
         "  size-strain --pair SAMPLE REF [--pair SAMPLE2 REF2]\n"
         "                         Sizes and strains from the Fourier coefficients A(L) of each\n"
         "                         sample's quotient by its reference (lBamda must be set): with one\n"
         "                         pair the mean column lengths from A(L), with two orders of one\n"
         "                         reflection the Warren-Averbach separation of size and strain.\n"
         "                         Prints the summary lines, then the table of L, A1 [A2 AS eps_rms].\n"         "                         The widths of the observed and reference lines are measure's\n"
         "                         (above the chain's background, over the whole scan); the\n"
         "                         deconvoluted line's by the same rule above 0.\n"
         "  plot FILE... [--size WxH] [-o FIG.svg]\n"
         "                         Draw the view report would make (it takes --ref, --set, --show,\n"
         "                         --xrange and --auto-limit as report does) as File > Export Figure draws it: axes\n"
         "                         with numbers, captions and a legend, WxH pixels (default 800x500),\n"
         "                         as an SVG drawing; without -o to standard output. PNG pictures\n"
         "                         are drawn by the workbench.\n"
         "\n"
         "Options:\n"
         "  --ref REF              (report, save-project, measure --table) Load REF after the\n"
         "                         files and make it the reference profile (ref_prof) of every\n"
         "                         other file.\n"
         "  --set NAME=VALUE       (report, measure, save-project, size-strain) Set the option\n"
         "                         NAME of every loaded file, as the report editor does; a dotted\n"
         "                         name walks one name at a time (ex_l_consts.nBpts_i1). May repeat.\n"
         "                         In size-strain, a --set after a --pair sets that pair's sample\n"
         "                         only (its origin fft_zero, its background aBo_bkg and aB1_bkg).\n"
         "  --show LIST            (report, project) Families to show, comma-separated: yobs, re,\n"
         "                         im, mod, br_re, br_im, br_mod, al (transforms; al: the Fourier\n"
         "                         coefficients A(L)) or yobs, inv, deconv (profiles); the two kinds\n"
         "                         do not mix. Default: yobs.\n"
         "  --xrange X1 X2         (report, measure, project) The view's x range instead of all;\n"
         "                         (convert) the window of the scan to write.\n"
         "  --scan K               (info, convert) Read scan K (from 1) of a file holding several\n"
         "                         (RAS, XRDML); the first by default.\n"
         "  --format csv|fields    (report, project) Write the report as comma-separated values\n"
         "                         with one header row, for a spreadsheet; fields (13 characters\n"
         "                         each, two header lines) is the default.\n"
         "  --auto-limit           (size-strain, measure --table, report, plot) Set the frequency\n"
         "                         limit (fBft_f2_lim) of each file with a reference to the last\n"
         "                         frequency before its quotient's signal falls to three times its\n"
         "                         noise.\n"
         "  --size WxH             (plot) The figure's width and height in pixels.\n"
         "  -o OUT                 Write the report (or the project, the results, the figure) to OUT\n"
         "                         instead of standard output.\n"
         "  --template PATH        Read the template file PATH instead of the default.\n"
         "  --help                 Show this text.\n"
         "\n"
         "Messages go to standard error, results to standard output. Exit status: 0 done, 1 when a\n"
         "file, value or output was refused, 2 for a usage error.\n";
}

int run_batch_tool(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  arguments args;
  if (const int refused = parse_arguments(argc, argv, args, err)) return refused;
  if (args.help) {
    out << batch_usage();
    return 0;
  }
  // Refused before anything is read: a file under another layout's name
  // could not be read back as that layout.
  if (args.command == "convert" && !is_xdd_name(args.files[1])) {
    err << args.files[1] << ": Cannot write this file type; convert writes XDD files only (.xdd)\n";
    return 1;
  }
  if (const std::string why = output_onto_input(output_of(args), inputs_of(args)); !why.empty()) {
    err << why << '\n';
    return 1;
  }
  // Past a file-size limit the system would end the process in the middle
  // of a save, leaving its temporary file: ignored, the write fails with
  // "File too large" like any other, is said, and cleaned up.
  const ignored_signal file_too_large(SIGXFSZ);

  if (!args.template_path.empty()) set_template_path(args.template_path);
  std::string template_path;
  if (!template_file_readable(template_path)) {
    err << missing_template_message(template_path) << '\n';
    return 1;
  }

  batch_environment environment(err);
  application_session session;
  if (!session.app()) {
    err << "The template file " << template_path << " defines no application object.\n";
    return 1;
  }
  batch_platform& screen = environment.platform_;
  const xdd_data_3::scan_choice scan(args.scan);
  return run_batch_command(
      [&] {
        if (args.command == "info") return run_info(session, args, out);
        if (args.command == "convert") return run_convert(session, args);
        if (args.command == "report") return batch_report(session, args.analysis, out, err);
        if (args.command == "measure") return batch_measure(session, args.analysis, out, err);
        if (args.command == "save-project") return batch_save_project(session, screen, args.analysis, err);
        if (args.command == "size-strain") return batch_size_strain(session, args.analysis, out, err);
        if (args.command == "plot") return batch_plot(session, args.analysis, out, err);
        return batch_project(session, screen, args.analysis, out, err);
      },
      err);
}

int run_batch_command(const std::function<int()>& command, std::ostream& err) {
  try {
    return command();
  } catch (const numeric_abort& abort) {
    err << abort.what() << '\n';
    return 1;
  }
}
