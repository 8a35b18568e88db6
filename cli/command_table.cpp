#include "cli/command_table.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "app/platform/figure_file.h"
#include "app/shell/measure_series_job.h"
#include "app/shell/pattern_series_job.h"
#include "app/shell/report_series_job.h"
#include "app/shell/size_strain_series_job.h"
#include "cli/series_run.h"

namespace {

bool read_number(const char* text, double& value) {
  char* end = nullptr;
  value = std::strtod(text, &end);
  return end != text && *end == '\0' && std::isfinite(value);
}

// Reads "WIDTHxHEIGHT" (pixels, within the figures' limits); false when the
// text is not that.
bool read_figure_size(const char* text, int& width, int& height) {
  if (!text) return false;
  char* end = nullptr;
  const long w = std::strtol(text, &end, 10);
  if (end == text || (*end != 'x' && *end != 'X')) return false;
  const char* second = end + 1;
  const long h = std::strtol(second, &end, 10);
  if (end == second || *end != '\0') return false;
  // Beyond int, a number is out of the limits all the same.
  const int wi = static_cast<int>(w);
  const int hi = static_cast<int>(h);
  if (w != wi || h != hi || !application_session::figure_size_refused(wi, hi).empty()) return false;
  width = wi;
  height = hi;
  return true;
}

// The batch tool writes the XDD layout only, so only a name the readers
// will take for XDD: the extension .xdd, in any case.
bool is_xdd_name(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext == ".xdd";
}

bool given(const arguments& args, const std::string& option) {
  for (const std::string& o : args.options)
    if (o == option) return true;
  return false;
}

// Writes what a job made to the request's output, or to `out` without one.
int write_job(const job_output& job, const analysis_request& request, std::ostream& out, std::ostream& err) {
  if (!job.made) return 1;
  if (request.output.empty()) {
    out << job.text;
    return job.status;
  }
  std::string why;
  if (write_file_replacing(request.output, job.text, why)) return job.status;
  err << why << '\n';
  return 1;
}

// Each file in turn, loaded, used and unloaded before the next, so the
// workbench's limit on files loaded at once does not apply, and a file
// named twice is simply done twice.
int run_info(application_session& session, const arguments& args, std::ostream& out, std::ostream&) {
  int status = 0;
  // A file of several scans lists them all, unless one was asked for.
  const int only = given(args, "--scan") ? args.scan : 0;
  for (const std::string& path : args.files) {
    std::string text;
    if (!session.describe_scans(path, only, text)) status = 1;
    out << text;
  }
  return status;
}

int run_convert(application_session& session, const arguments& args, std::ostream&, std::ostream&) {
  const analysis_request& r = args.analysis;
  return session.convert_to_xdd(args.files[0], args.files[1], args.scan, r.has_x_range, r.x_from, r.x_to,
                                r.subtract_background)
             ? 0
             : 1;
}

// Worker processes or a share of the scans are asked of a series only.
bool series_asked(const arguments& args) { return given(args, "--jobs") || given(args, "--shard"); }

// A folder or a file of several scans among the files makes a series of
// them all; files of one scan each share one view.
int run_report(application_session& session, const arguments& args, std::ostream& out, std::ostream& err) {
  const analysis_request& r = args.analysis;
  const bool series = series_asked(args) || std::any_of(args.files.begin(), args.files.end(), [&](const std::string& f) {
                        return session.is_series({f});
                      });
  if (!series) return write_job(session.report(r, err), r, out, err);
  report_series_job job(r, args.files.front());
  return run_series(session, job, args.series(), out, err);
}

int run_measure(application_session& session, const arguments& args, std::ostream& out, std::ostream& err) {
  const analysis_request& r = args.analysis;
  if (!r.table) return write_job(session.measure(r, err), r, out, err);
  measure_series_job job(r);
  return run_series(session, job, args.series(), out, err);
}

int run_save_project(application_session& session, const arguments& args, std::ostream&, std::ostream& err) {
  const analysis_request& r = args.analysis;
  return session.load_request(r, err) && session.save_project(r.output, err) ? 0 : 1;
}

// The file named is the project; its data files are the project's.
int run_project(application_session& session, const arguments& args, std::ostream& out, std::ostream& err) {
  analysis_request request = args.analysis;
  request.project = args.files.front();
  request.files.clear();
  return write_job(session.project_report(request, err), request, out, err);
}

// A sample that is a folder or a file of several scans makes a series; with
// two orders, either sample does.
int run_size_strain(application_session& session, const arguments& args, std::ostream& out, std::ostream& err) {
  const analysis_request& r = args.analysis;
  const bool series = series_asked(args) || std::any_of(r.pairs.begin(), r.pairs.end(), [&](const auto& pair) {
                        return session.is_series({pair.first});
                      });
  if (!series) return write_job(session.size_strain(r, err), r, out, err);
  size_strain_series_job job(r);
  series_options options = args.series();
  options.inputs = {r.pairs.front().first};
  return run_series(session, job, options, out, err);
}

int run_instrument(application_session& session, const arguments& args, std::ostream& out, std::ostream& err) {
  const analysis_request& r = args.analysis;
  const job_output job = session.instrument(args.files[0], args.scan, r.lattice, r.output, err);
  if (!job.made) return 1;
  out << job.text;
  return job.status;
}

// A sample that is a folder or a file of several scans, without --scan,
// makes a series: one row of the summary's figures per scan.
int run_analyse_pattern(application_session& session, const arguments& args, std::ostream& out, std::ostream& err) {
  const analysis_request& r = args.analysis;
  if (given(args, "--scan") || !(series_asked(args) || session.is_series(args.files)))
    return write_job(session.analyse_pattern(r, args.scan, err), r, out, err);
  // Its lines would need a table of their own per scan.
  if (!r.table_path.empty()) {
    err << "xrdfourier-cli: analyse-pattern --table takes one scan's lines: " << args.files.front()
        << " holds a series (give --scan K for one scan)\n";
    return 2;
  }
  pattern_series_job job(r);
  return run_series(session, job, args.series(), out, err);
}

int run_plot(application_session& session, const arguments& args, std::ostream& out, std::ostream& err) {
  const std::string& output = args.analysis.output;
  if (!output.empty()) {
    switch (figure_format_of(output)) {
      case figure_format::svg:
        break;
      case figure_format::png:
        err << output << ": Cannot write this file type here; a PNG figure is drawn by the workbench "
                         "(File > Export Figure), xrdfourier-cli plot writes SVG (.svg)\n";
        return 1;
      case figure_format::other:
        err << output << ": Cannot write this file type; plot writes SVG drawings (.svg)\n";
        return 1;
    }
  }
  const std::vector<std::string>& show = args.analysis.show;
  if (std::find(show.begin(), show.end(), "wh") != show.end())
    return write_job(session.williamson_hall_figure(args.analysis, args.scan, err), args.analysis, out, err);
  return write_job(session.figure(args.analysis, err), args.analysis, out, err);
}

}  // namespace

const std::vector<command_row>& command_rows() {
  static const std::vector<command_row> rows = {
      {"info", 1, -1, "info needs at least one file", {"--scan"},
       "  info FILE...           Load each data file (XDD, CPI, two-column text .xy .dat .txt\n"
       "                         .csv, XRDML, RAS, Bruker RAW and BRML, Rigaku RASX, GSAS .gsa\n"
       "                         .gsas .fxye) as Load Data does and print one line per\n"
       "                         file: its path, abscissa (first x, step, last x), number of\n"
       "                         points, count time and wavelength. A file of several scans\n"
       "                         then lists each (with --scan K, of any file, that one): its\n"
       "                         number, name, start time and temperature where the file gives\n"
       "                         them, first x, step, last x and number of points.\n",
       false, nullptr, nullptr, run_info},
      {"convert", 2, 2, "convert needs an input and an output file", {"--scan", "--xrange", "--subtract-background"},
       "  convert INPUT OUTPUT   Load INPUT and write it in the XDD layout to OUTPUT (.xdd);\n"
       "                         with --xrange X1 X2 only that window of the scan; with\n"
       "                         --subtract-background the counts less the background under\n"
       "                         the lines (peak clipping), on the same grid, the comment\n"
       "                         saying so. Where the noise dips below the background the\n"
       "                         counts written are negative: kept, so a fit sees it unbiased.\n",
       true, nullptr,
       [](const arguments& args) {
         // A file under another layout's name could not be read back as
         // that layout.
         const std::string& output = args.files[1];
         return is_xdd_name(output)
                    ? std::string()
                    : output + ": Cannot write this file type; convert writes XDD files only (.xdd)";
       },
       run_convert},
      {"report", 1, -1, "report needs at least one file",
       {"--ref", "--set", "--show", "--xrange", "--format", "--auto-limit", "--jobs", "--shard", "-o"},
       "  report FILE...         Show the files in one graph view, in load order, and write its\n"
       "                         xy report (columns of x and y per curve over the view's x range).\n"
       "                         A FILE that is a folder or holds several scans makes a series,\n"
       "                         the map of an in-situ run: one CSV row per scan, a column per\n"
       "                         point of the first scan's report, named CAPTION@X (Yobs@44.0000);\n"
       "                         a scan whose report has other x values fails in its row. Keep\n"
       "                         the columns few with --xrange.\n",
       false, nullptr, nullptr, run_report},
      {"measure", 1, -1, "measure needs one file",
       {"--set", "--xrange", "--table", "--ref", "--auto-limit", "--jobs", "--shard", "-o"},
       "  measure FILE           Print FWHM, centroid and area of the file's observed profile\n"
       "                         over the x range (default: all of it).\n"
       "  measure FILE|FOLDER... --table [--jobs N] [--shard K/N]\n"
       "                         One CSV row per scan, a series: every scan of each file, and\n"
       "                         each data file of a folder (sorted by name), in the order\n"
       "                         given. The columns index, file, scan, name, start_time and\n"
       "                         temperature_C (empty where the file gives none), then FWHM,\n"
       "                         centroid, area and integral breadth over the x range and,\n"
       "                         with a reference (--ref REF), the deconvoluted FWHM and the\n"
       "                         sizes of size-strain, read up to the automatic frequency limit\n"
       "                         as there unless --set fBft_f2_lim=N sets one; a limit where A(L)\n"
       "                         is below three times its uncertainty is warned of. The last\n"
       "                         column, warning, holds each scan's messages: a scan that fails\n"
       "                         is said there, the run goes on and ends with status 1.\n"
       "                         Every measure is taken above the background line that the\n"
       "                         Fourier chain subtracts (aBo_bkg + aB1_bkg (x - centre),\n"
       "                         placed through the scan's end points unless fft_zero is set):\n"
       "                         FWHM at half the line's height above it, read linearly\n"
       "                         between points; area by trapezoids; integral breadth = area /\n"
       "                         height. size-strain measures its observed and reference lines\n"
       "                         the same way over the whole scan, so the numbers agree.\n",
       false,
       [](const arguments& args, const command_row& row) {
         // Without --table a measure prints the history lines of one file.
         if (args.analysis.table) return std::string();
         if (args.files.size() > 1) return std::string(row.wrong_count);
         for (const char* o : {"--ref", "--auto-limit", "--jobs", "--shard", "-o"})
           if (given(args, o)) return std::string(o) + " goes with measure --table only";
         return std::string();
       },
       nullptr, run_measure},
      {"save-project", 1, -1, "save-project needs at least one file", {"--ref", "--set", "-o"},
       "  save-project FILE...   Write the project of the files with their settings to -o OUT.\n", false,
       [](const arguments& args, const command_row&) {
         return args.analysis.output.empty() ? std::string("save-project needs -o OUT, the project file to write")
                                             : std::string();
       },
       nullptr, run_save_project},
      {"project", 1, 1, "project needs one project file", {"--show", "--xrange", "--format", "-o"},
       "  project PRJ            Load a project and write the report of one view holding all of\n"
       "                         its files, as report does. A data file missing where the project\n"
       "                         names it is looked for below and beside the project (and said);\n"
       "                         one that cannot be loaded is named and the command exits 1.\n",
       false, nullptr, nullptr, run_project},
      {"size-strain", 0, 0, "size-strain takes its files in --pair options", {"--pair", "--set", "--auto-limit", "--jobs", "--shard", "-o"},
       "  size-strain --pair SAMPLE REF [--pair SAMPLE2 REF2]\n"
       "                         Sizes and strains from the Fourier coefficients A(L) of each\n"
       "                         sample's quotient by its reference (lBamda must be set): with one\n"
       "                         pair the mean column lengths from A(L), with two orders of one\n"
       "                         reflection the Warren-Averbach separation of size and strain.\n"
       "                         Prints the summary lines, then the table of L, A1 [A2 AS eps_rms].\n"
       "                         A(L) is read up to the automatic frequency limit (see\n"
       "                         --auto-limit) unless --set fBft_f2_lim=N sets one; a limit where\n"
       "                         A(L) is below three times its uncertainty gets a warning.\n"
       "                         The widths of the observed and reference lines are measure's\n"
       "                         (above the chain's background, over the whole scan); the\n"
       "                         deconvoluted line's by the same rule above 0.\n"
       "                         With --set fBft_origin=1 each sample's origin is first moved to\n"
       "                         where B(L) is smallest over the initial slope's fitted range\n"
       "                         (measure --table, report and plot likewise).\n"
       "                         A SAMPLE that is a folder or a file of several scans makes a\n"
       "                         series: one CSV row per scan with the summary's figures, each\n"
       "                         with its _u, the frequency limit, the deconvoluted FWHM and R;\n"
       "                         with two pairs the samples' scans pair off in order (as many in\n"
       "                         each) and the row adds the Warren-Averbach rms strains. A figure\n"
       "                         the data do not resolve is an empty cell, its bound in warning.\n",
       false,
       [](const arguments& args, const command_row&) {
         const std::size_t pairs = args.analysis.pairs.size();
         return pairs == 0 || pairs > 2
                    ? std::string("size-strain needs one --pair SAMPLE REF, or two for two orders of one reflection")
                    : std::string();
       },
       nullptr, run_size_strain},
      {"instrument", 1, 1, "instrument needs one standard's pattern", {"--lattice", "--scan", "-o"},
       "  instrument STANDARD [--lattice SPEC] [--scan K] -o INSTRUMENT.txt\n"
       "                         The instrument function from the whole pattern of a line-profile\n"
       "                         standard (LaB6, Si): its isolated lines found (with --lattice\n"
       "                         sc:A, bcc:A, fcc:A or diamond:A, A in Angstrom, the indexed ones,\n"
       "                         named by hkl), each fitted as a pseudo-Voigt K-alpha1/K-alpha2\n"
       "                         doublet (the file's wavelength, else the template's), then\n"
       "                         FWHM^2 = U tan^2(theta) + V tan(theta) + W and eta = eta0 + eta1\n"
       "                         2theta. Writes them to INSTRUMENT.txt and prints U, V, W, eta0,\n"
       "                         eta1 with their standard uncertainties, each line's FWHM, eta and\n"
       "                         residuals, and the lines not fitted with the reason. Refused with\n"
       "                         fewer than three isolated lines, a lattice that indexes none, or\n"
       "                         fits that do not converge.\n",
       false,
       [](const arguments& args, const command_row&) {
         return args.analysis.output.empty() ? std::string("instrument needs -o INSTRUMENT.txt, the file to write")
                                             : std::string();
       },
       nullptr, run_instrument},
      {"analyse-pattern", 1, 1, "analyse-pattern needs one sample's pattern",
       {"--instrument", "--standard", "--lattice", "--range", "--ka2", "--contrast", "--window", "--table", "--scan",
        "--jobs", "--shard", "-o"},
       "  analyse-pattern SAMPLE (--instrument INSTRUMENT.txt | --standard STANDARD)\n"
       "                  [--lattice SPEC] [--range X1 X2] [--ka2 strip|keep] [--contrast q=VALUE]\n"
       "                  [--window K] [--table LINES.csv] [-o SUMMARY.txt]\n"
       "                         Every line of the sample's whole pattern: found above its\n"
       "                         background, indexed with --lattice (sc:A, bcc:A, fcc:A,\n"
       "                         diamond:A, or a file of h k l d rows), each in a window wide\n"
       "                         enough to hold 99% of its area but at most 8 FWHM each side\n"
       "                         (--window K: K FWHM), clipped halfway to its neighbours,\n"
       "                         deconvoluted by a\n"
       "                         reference synthesised at its angle from the instrument function\n"
       "                         (the file written by instrument, or fitted from STANDARD), read\n"
       "                         up to its automatic frequency limit. Per line: position, d,\n"
       "                         FWHM, the pure line's integral, Lorentzian and Gaussian breadths\n"
       "                         (from ln A(L) = -2 beta_L L - pi beta_G^2 L^2), the mean column\n"
       "                         lengths and the Scherrer size. Over the lines: Williamson-Hall\n"
       "                         (integral breadths; Voigt separation of size and rms strain;\n"
       "                         with a lattice, modified with cubic contrast factors, q fitted\n"
       "                         or given by --contrast q=VALUE), and Warren-Averbach on every\n"
       "                         pair of orders indexed (110/220, 200/400, ...). Prints the\n"
       "                         summary lines, the fits with their residuals, then a block and\n"
       "                         a table of L, A(L) and its uncertainty per line; --table writes\n"
       "                         one CSV row per line. Every figure carries its standard\n"
       "                         uncertainty (counting noise and the instrument function's own)\n"
       "                         or is a bound where the data do not resolve it.\n"
       "                         --ka2 strip (default) reads positions, widths and d on the\n"
       "                         K-alpha1 profile (Rachinger); keep reads them as measured, for\n"
       "                         a beam without K-alpha2. The deconvolution never needs the\n"
       "                         stripping: its reference holds the same doublet.\n"
       "                         A SAMPLE that is a folder or a file of several scans, without\n"
       "                         --scan, makes a series: one CSV row per scan with the lines\n"
       "                         found and analysed, the Williamson-Hall size and strain and the\n"
       "                         Warren-Averbach ones of the first pair of orders, each with its\n"
       "                         _u; --table then is refused (give --scan K for one scan's lines).\n",
       false,
       [](const arguments& args, const command_row&) {
         const analysis_request& r = args.analysis;
         if (r.instrument.empty() == r.standard.empty())
           return std::string("analyse-pattern needs --instrument INSTRUMENT.txt or --standard STANDARD, one of them");
         return std::string();
       },
       [](const arguments& args) {
         const analysis_request& r = args.analysis;
         std::vector<std::string> inputs = args.files;
         for (const std::string& f : {r.instrument, r.standard})
           if (!f.empty()) inputs.push_back(f);
         std::string why = output_onto_input(r.output, inputs);
         if (why.empty()) why = output_onto_input(r.table_path, inputs);
         if (why.empty() && !r.output.empty() && !r.table_path.empty() && r.output == r.table_path)
           why = r.output + ": Cannot write file: it is both the summary (-o) and the table (--table)";
         return why;
       },
       run_analyse_pattern},
      {"plot", 1, -1, "plot needs at least one file",
       {"--ref", "--set", "--show", "--xrange", "--auto-limit", "--size", "-o", "--instrument", "--standard",
        "--lattice", "--range", "--ka2", "--contrast", "--window", "--scan"},
       "  plot FILE... [--size WxH] [-o FIG.svg]\n"
       "                         Draw the view report would make (it takes --ref, --set, --show,\n"
       "                         --xrange and --auto-limit as report does) as File > Export Figure draws it: axes\n"
       "                         with numbers, captions and a legend, WxH pixels (default 800x500),\n"
       "                         as an SVG drawing; without -o to standard output. PNG pictures\n"
       "                         are drawn by the workbench.\n"
       "  plot SAMPLE --show wh (--instrument INSTRUMENT.txt | --standard STANDARD) [...]\n"
       "                         The Williamson-Hall plot of analyse-pattern, which takes the same\n"
       "                         --lattice, --range, --ka2, --contrast, --window and --scan:\n"
       "                         each line's integral breadth beta* and Lorentzian\n"
       "                         breadth beta_L* against d*, labelled with its hkl, with standard\n"
       "                         uncertainties as bars and the fitted straight lines.\n",
       false,
       [](const arguments& args, const command_row&) {
         const analysis_request& r = args.analysis;
         const bool wh = std::find(r.show.begin(), r.show.end(), "wh") != r.show.end();
         if (!wh) {
           for (const char* o : {"--instrument", "--standard", "--lattice", "--range", "--ka2", "--contrast",
                                 "--window", "--scan"})
             if (given(args, o)) return std::string(o) + " goes with plot --show wh only";
           return std::string();
         }
         if (args.files.size() != 1) return std::string("plot --show wh needs one sample's pattern");
         for (const char* o : {"--ref", "--set", "--xrange", "--auto-limit"})
           if (given(args, o)) return std::string(o) + " does not go with plot --show wh";
         if (r.instrument.empty() == r.standard.empty())
           return std::string("plot --show wh needs --instrument INSTRUMENT.txt or --standard STANDARD, one of them");
         return std::string();
       },
       nullptr, run_plot},
  };
  return rows;
}

const std::vector<option_row>& option_rows() {
  using value_of = std::function<const char*()>;
  static const std::vector<option_row> rows = {
      {{"--ref"},
       "  --ref REF              (report, save-project, measure --table) Load REF after the\n"
       "                         files and make it the reference profile (ref_prof) of every\n"
       "                         other file.\n",
       false,
       [](const value_of& value, arguments& args) {
         const char* v = value();
         if (!v) return std::string("--ref needs a file");
         args.analysis.reference = v;
         return std::string();
       }},
      {{"--set"},
       "  --set NAME=VALUE       (report, measure, save-project, size-strain) Set the option\n"
       "                         NAME of every loaded file, as the report editor does; a dotted\n"
       "                         name walks one name at a time (ex_l_consts.nBpts_i1). May repeat.\n"
       "                         In size-strain, a --set after a --pair sets that pair's sample\n"
       "                         only (its origin fft_zero, its background aBo_bkg and aB1_bkg).\n",
       false,
       [](const value_of& value, arguments& args) {
         const char* v = value();
         const std::string setting = v ? v : "";
         const std::size_t eq = setting.find('=');
         if (eq == std::string::npos || eq == 0) return std::string("--set needs NAME=VALUE");
         analysis_request& r = args.analysis;
         // After a --pair, a setting is that pair's sample's alone.
         auto& to = args.command == "size-strain" && !r.pairs.empty() ? r.pair_settings.back() : r.settings;
         to.emplace_back(setting.substr(0, eq), setting.substr(eq + 1));
         return std::string();
       }},
      {{"--show"},
       "  --show LIST            (report, project) Families to show, comma-separated: yobs, re,\n"
       "                         im, mod, br_re, br_im, br_mod, al (transforms; al: the Fourier\n"
       "                         coefficients A(L)) or yobs, inv, deconv (profiles); the two kinds\n"
       "                         do not mix. Default: yobs. (plot) wh: the Williamson-Hall plot\n"
       "                         of a whole pattern, alone.\n",
       false,
       [](const value_of& value, arguments& args) {
         const char* v = value();
         if (!v) return std::string("--show needs a comma-separated list of families");
         std::vector<std::string>& show = args.analysis.show;
         std::stringstream list(v);
         std::string name;
         while (std::getline(list, name, ','))
           if (!name.empty()) show.push_back(name);
         return application_session::families_refused(show);
       }},
      {{"--xrange"},
       "  --xrange X1 X2         (report, measure, project) The view's x range instead of all;\n"
       "                         (convert) the window of the scan to write.\n",
       false,
       [](const value_of& value, arguments& args) {
         analysis_request& r = args.analysis;
         const char* from = value();
         const char* to = from ? value() : nullptr;
         if (!to || !read_number(from, r.x_from) || !read_number(to, r.x_to) || r.x_from == r.x_to)
           return std::string("--xrange needs two different numbers X1 X2");
         r.has_x_range = true;
         return std::string();
       }},
      {{"--scan"},
       "  --scan K               (info, convert, instrument, analyse-pattern) Read scan K (from\n"
       "                         1) of a file holding several (RAS, XRDML, RAW, BRML, RASX,\n"
       "                         GSAS); the first by default.\n",
       false,
       [](const value_of& value, arguments& args) {
         const char* v = value();
         double k = 0;
         if (!v || !read_number(v, k) || k < 1 || k != std::floor(k) || k > 1e6)
           return std::string("--scan needs a scan number from 1");
         args.scan = static_cast<int>(k);
         return std::string();
       }},
      {{"--jobs"},
       "  --jobs N               (measure --table, size-strain, analyse-pattern, report) Run a\n"
       "                         series on N worker processes; default: one per core.\n",
       false,
       [](const value_of& value, arguments& args) {
         const char* v = value();
         double n = 0;
         if (!v || !read_number(v, n) || n < 1 || n != std::floor(n) || n > 1024)
           return std::string("--jobs needs a number of worker processes from 1 to 1024");
         args.jobs = static_cast<int>(n);
         return std::string();
       }},
      {{"--shard"},
       "  --shard K/N            (measure --table, size-strain, analyse-pattern, report) Only\n"
       "                         the scans of index K, K+N, K+2N, ... of the series, for a\n"
       "                         cluster's job array; shard 1 alone writes the header row, so\n"
       "                         the N outputs concatenated hold the whole table.\n",
       false,
       [](const value_of& value, arguments& args) {
         const char* v = value();
         const std::string text = v ? v : "";
         const std::size_t slash = text.find('/');
         double k = 0, n = 0;
         if (slash == std::string::npos || !read_number(text.substr(0, slash).c_str(), k) ||
             !read_number(text.substr(slash + 1).c_str(), n) || k != std::floor(k) || n != std::floor(n) || k < 1 ||
             k > n || n > 1e6)
           return std::string("--shard needs K/N with 1 <= K <= N");
         args.shard = static_cast<int>(k);
         args.shard_count = static_cast<int>(n);
         return std::string();
       }},
      {{"--format"},
       "  --format csv|fields    (report, project) Write the report as comma-separated values\n"
       "                         with one header row, for a spreadsheet; fields (13 characters\n"
       "                         each, two header lines) is the default.\n",
       false,
       [](const value_of& value, arguments& args) {
         const char* v = value();
         const std::string format = v ? v : "";
         if (format != "csv" && format != "fields") return std::string("--format needs csv or fields");
         args.analysis.csv = format == "csv";
         return std::string();
       }},
      {{"--subtract-background"},
       "  --subtract-background  (convert) Write the scan less the background under its lines.\n",
       false,
       [](const value_of&, arguments& args) {
         args.analysis.subtract_background = true;
         return std::string();
       }},
      {{"--auto-limit"},
       "  --auto-limit           (size-strain, measure --table, report, plot) Set the frequency\n"
       "                         limit (fBft_f2_lim) of each file with a reference to the last\n"
       "                         frequency before A(L) falls to three times its standard\n"
       "                         uncertainty, carried from both files' counting noise (its size\n"
       "                         and its correlation between neighbouring points). The default\n"
       "                         of size-strain and measure --table unless --set fBft_f2_lim=N\n"
       "                         is given, where this option sets the automatic limit anyway.\n",
       false,
       [](const value_of&, arguments& args) {
         args.analysis.auto_limit = true;
         return std::string();
       }},
      {{"--size"},
       "  --size WxH             (plot) The figure's width and height in pixels.\n",
       false,
       [](const value_of& value, arguments& args) {
         analysis_request& r = args.analysis;
         if (!read_figure_size(value(), r.figure_width, r.figure_height))
           return std::string("--size needs WIDTHxHEIGHT in pixels, each 100 to 10000");
         return std::string();
       }},
      {{"-o", "--output"},
       "  -o OUT                 Write the report (or the project, the results, the figure) to OUT\n"
       "                         instead of standard output.\n",
       false,
       [](const value_of& value, arguments& args) {
         const char* v = value();
         if (!v || !*v) return std::string("-o needs a file");
         args.analysis.output = v;
         return std::string();
       }},
      {{"--template"},
       "  --template PATH        Read the template file PATH instead of the default.\n",
       true,
       [](const value_of& value, arguments& args) {
         const char* v = value();
         if (!v) return std::string("--template needs a path");
         args.template_path = v;
         return std::string();
       }},
      {{"--wavelength"},
       "  --wavelength VALUE     Files that give no wavelength take VALUE (Angstrom, between 0.1\n"
       "                         and 10) instead of the template's default (1.5406); their\n"
       "                         description says so. A file's own wavelength is kept (said on\n"
       "                         standard error when it differs). save-project keeps it.\n",
       true,
       [](const value_of& value, arguments& args) {
         const char* v = value();
         if (!v || !application_session::wavelength_refused(v).empty())
           return std::string("--wavelength needs a number of Angstrom between 0.1 and 10");
         args.wavelength = v;
         return std::string();
       }},
      {{"--version"},
       "  --version              Show the version and which implementation of the transform\n"
       "                         runs on this processor (avx512, avx2 or portable); all give\n"
       "                         the same numbers, bit for bit.\n",
       true,
       [](const value_of&, arguments& args) {
         args.version = true;
         return std::string();
       }},
      {{"--help", "-h"},
       "  --help                 Show this text.\n",
       true,
       [](const value_of&, arguments& args) {
         args.help = true;
         return std::string();
       }},
      // Described in the blocks of the commands that take them.
      {{"--pair"}, nullptr, false,
       [](const value_of& value, arguments& args) {
         const char* sample = value();
         const char* reference = sample ? value() : nullptr;
         if (!reference) return std::string("--pair needs a sample file and its reference");
         args.analysis.pairs.emplace_back(sample, reference);
         args.analysis.pair_settings.emplace_back();
         return std::string();
       }},
      {{"--lattice"}, nullptr, false,
       [](const value_of& value, arguments& args) {
         const char* v = value();
         // analyse-pattern also takes a file of reflections, read when it runs.
         const bool file = v && *v && args.command == "analyse-pattern" && std::string(v).find(':') == std::string::npos;
         if (!v || (!file && !application_session::lattice_refused(v).empty()))
           return std::string("--lattice needs sc:A, bcc:A, fcc:A or diamond:A (A in Angstrom)") +
                  (args.command == "analyse-pattern" ? ", or a file of h k l d rows" : "");
         args.analysis.lattice = v;
         return std::string();
       }},
      {{"--table"}, nullptr, false,
       [](const value_of& value, arguments& args) {
         // analyse-pattern's table is a file of its own; measure's is the output.
         if (args.command == "analyse-pattern") {
           const char* v = value();
           if (!v || !*v) return std::string("--table needs a file");
           args.analysis.table_path = v;
           return std::string();
         }
         args.analysis.table = true;
         return std::string();
       }},
      {{"--instrument"}, nullptr, false,
       [](const value_of& value, arguments& args) {
         const char* v = value();
         if (!v || !*v) return std::string("--instrument needs the instrument file");
         args.analysis.instrument = v;
         return std::string();
       }},
      {{"--standard"}, nullptr, false,
       [](const value_of& value, arguments& args) {
         const char* v = value();
         if (!v || !*v) return std::string("--standard needs the standard's pattern");
         args.analysis.standard = v;
         return std::string();
       }},
      {{"--range"}, nullptr, false,
       [](const value_of& value, arguments& args) {
         analysis_request& r = args.analysis;
         const char* from = value();
         const char* to = from ? value() : nullptr;
         if (!to || !read_number(from, r.range_from) || !read_number(to, r.range_to) || r.range_from == r.range_to)
           return std::string("--range needs two different numbers X1 X2");
         r.has_range = true;
         return std::string();
       }},
      {{"--ka2"}, nullptr, false,
       [](const value_of& value, arguments& args) {
         const char* v = value();
         const std::string mode = v ? v : "";
         if (mode != "strip" && mode != "keep") return std::string("--ka2 needs strip or keep");
         args.analysis.keep_ka2 = mode == "keep";
         return std::string();
       }},
      {{"--contrast"}, nullptr, false,
       [](const value_of& value, arguments& args) {
         const char* v = value();
         const std::string text = v ? v : "";
         double q = 0.0;
         if (text.rfind("q=", 0) != 0 || !read_number(text.c_str() + 2, q))
           return std::string("--contrast needs q=VALUE, the contrast factors' q");
         args.analysis.has_contrast_q = true;
         args.analysis.contrast_q = q;
         return std::string();
       }},
      {{"--window"}, nullptr, false,
       [](const value_of& value, arguments& args) {
         const char* v = value();
         double k = 0.0;
         if (!v || !read_number(v, k) || !(k > 0.0) || k > 1000.0)
           return std::string("--window needs a number of FWHM above 0");
         args.analysis.window_fwhms = k;
         return std::string();
       }},
  };
  return rows;
}

series_options arguments::series() const {
  series_options options;
  options.inputs = files;
  options.jobs = jobs;
  options.shard = shard;
  options.shard_count = shard_count;
  options.output = analysis.output;
  return options;
}

const command_row* command_named(const std::string& name) {
  for (const command_row& row : command_rows())
    if (name == row.name) return &row;
  return nullptr;
}

const option_row* option_named(const std::string& name) {
  for (const option_row& row : option_rows())
    for (const std::string& n : row.names)
      if (n == name) return &row;
  return nullptr;
}

const std::string& usage_text() {
  static const std::string text = [] {
    std::string t =
        "Usage: xrdfourier-cli [--template PATH] COMMAND ARGUMENTS [OPTIONS]\n"
        "\n"
        "Commands:\n";
    for (const command_row& row : command_rows()) t += row.help;
    t += "\nOptions:\n";
    for (const option_row& row : option_rows())
      if (row.help) t += row.help;
    t +=
        "\n"
        "Messages go to standard error, results to standard output. Exit status: 0 done, 1 when a\n"
        "file, value or output was refused, 2 for a usage error.\n";
    return t;
  }();
  return text;
}
