#include "app/shell/application_session.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <cstdlib>
#include <limits>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/analysis/background_subtraction.h"
#include "app/analysis/pattern_analysis.h"
#include "app/analysis/pattern_report.h"
#include "app/capture/capture_as_txt_3.h"
#include "app/files/load_data_file.h"
#include "app/files/save_xdd_as_3.h"
#include "app/platform/figure_file.h"
#include "app/platform/platform.h"
#include "app/platform/svg_surface.h"
#include "app/project/proj_open_3.h"
#include "app/project/proj_save_3.h"
#include "app/shell/application.h"
#include "app/shell/for_app_3.h"
#include "app/shell/hint_text_3.h"
#include "app/shell/instrument_job.h"
#include "app/shell/series_inputs.h"
#include "app/shell/size_strain_analysis.h"
#include "app/views/TDrawView.h"
#include "app/views/figure_export.h"
#include "app/views/for_dr_vw_3.h"
#include "app/views/series_window.h"
#include "app/views/view_line_9.h"
#include "core/error_message.h"
#include "core/numeric_abort.h"
#include "core/paths.h"
#include "core/text_helpers.h"
#include "io/file_kind.h"
#include "numerics/fft_kernel.h"
#include "template/get_objs_3.h"
#include "template/template_file.h"
#include "template/template_side.h"
#include "xrd/chain/xy_yobs_4.h"
#include "xrd/curves/xy_data_3.h"
#include "xrd/files/xdd_data_3.h"
#include "xrd/measures/peak_measures.h"
#include "xrd/pattern/cubic_lattice.h"
#include "xrd/pattern/instrument_file.h"
#include "xrd/plots/plot_3.h"
#include "xrd/sizes/coefficient_spread.h"
#include "xrd/sizes/line_analysis.h"
#include "xrd/sizes/phase_origin.h"
#include "xrd/sizes/size_strain_report.h"

namespace {

// The workbench's view of a scan, near enough, when a figure is given no
// size.
constexpr platform_types::figure_size default_figure_size{800, 500, 96};

// The node a setting's name designates from a file: a dotted name walks one
// name at a time ("ex_l_consts.nBpts_i1").
assoc_class* setting_node(assoc_class& file, const std::string& name) {
  assoc_class* at = &file;
  std::istringstream parts(name);
  std::string part;
  while (at && std::getline(parts, part, '.')) at = part.empty() ? nullptr : find(*at, part.c_str());
  return at == &file ? nullptr : at;
}

// The settings in their order, but the frequency limit last: its limits
// follow from the doubling and the tails, which may be given after it.
std::vector<std::pair<std::string, std::string>> limit_last(std::vector<std::pair<std::string, std::string>> settings) {
  std::stable_partition(settings.begin(), settings.end(), [](const auto& s) { return s.first != "fBft_f2_lim"; });
  return settings;
}

xy_yobs_4* chain_of(assoc_class& file) { return dynamic_cast<xy_yobs_4*>(find(file, "xy_yobs")); }

// size-strain and measure --table read A(L) up to the automatic limit unless
// a limit is set: read beyond where A(L) stands above its noise, the noise
// passes for size.
bool limit_set(const std::vector<std::pair<std::string, std::string>>& settings) {
  return std::any_of(settings.begin(), settings.end(), [](const auto& s) { return s.first == "fBft_f2_lim"; });
}

// The automatic limit where it is the default rather than asked for: a pair
// whose noise cannot be told keeps its limit, which is said, and is still
// analysed. True when the automatic limit was set.
bool default_limit(xy_yobs_4& chain, const std::string& path, std::ostream& err) {
  if (!chain.reference_profile()) return false;
  if (std::string why; !set_automatic_limit(chain, why)) {
    err << path << ": " << why << "; the frequency limit stays where it was (set one with --set fBft_f2_lim=...)\n";
    return false;
  }
  return true;
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

std::set<std::string> report_families(const analysis_request& request) {
  std::set<std::string> out(request.show.begin(), request.show.end());
  if (out.empty()) out.insert("yobs");
  return out;
}

std::string report_of(TDrawView& view, const analysis_request& request) {
  return request.csv ? capture_as_txt_3::report_csv(view, report_families(request))
                     : capture_as_txt_3::report_text(view, report_families(request));
}

// Says, once for each cause, which measures of a file could not be formed:
// `missing` holds each measure's name and its cause.
void tell_missing(std::ostream& err, const std::string& path,
                  const std::vector<std::pair<std::string, std::string>>& missing) {
  std::vector<std::string> causes;
  for (const auto& m : missing)
    if (std::find(causes.begin(), causes.end(), m.second) == causes.end()) causes.push_back(m.second);
  for (const std::string& cause : causes) {
    std::vector<std::string> names;
    for (const auto& [name, why] : missing)
      if (why == cause) names.push_back(name);
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i)
      list += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    err << path << ": no " << list << ": " << cause << '\n';
  }
}

}  // namespace

std::string missing_template_message(const std::string& path) { return "Cannot open template file: " + path; }

bool template_ready(const std::string& path, std::string& used, std::string& why) {
  if (!path.empty()) set_template_path(path);
  used.clear();
  if (template_file_readable(used)) return true;
  why = missing_template_message(used);
  return false;
}

std::string output_onto_input(const std::string& output, const std::vector<std::string>& inputs) {
  if (output.empty()) return "";
  for (const std::string& input : inputs)
    if (same_file(output, input))
      return output + ": Cannot write file: it is the input " + input + "; the output must be another file";
  return "";
}

class front_end_scope::stream_reporter : public error_reporter {
 public:
  explicit stream_reporter(std::ostream& err) : err_(err) {}
  void report(const char*, const char* text) override { err_ << text << '\n'; }

 private:
  std::ostream& err_;
};

front_end_scope::front_end_scope(platform& screen, std::ostream& messages)
    : reporter_(std::make_unique<stream_reporter>(messages)) {
  previous_platform_ = set_platform(&screen);
  previous_reporter_ = set_error_reporter(reporter_.get());
}

front_end_scope::~front_end_scope() {
  set_error_reporter(previous_reporter_);
  set_platform(previous_platform_);
}

application_session::application_session() {
  register_all_classes();
  install_template_side();
  root_.set_live();
  std::unique_ptr<assoc_class> made = create_registered("app");
  if (assoc_class* added = root_.add_child(std::move(made))) app_ = dynamic_cast<for_app_3*>(added);
  // Objects that leave the tree from inside their own handlers (a view whose
  // frame closes, a view line whose file is unloaded) go into the bin, which
  // must be there before any of them needs it.
  if (app_) app_->deletion_bin();
}

application_session::~application_session() {
  // The tree goes before the platform and the templates it refers to.
  close_series_windows();
  root_.delete_all_children();
}

// --- files ---

// The wavelength given, for as long as the session holds it.
class application_session::given_wavelength {
 public:
  given_wavelength(const std::string& text, const std::string& how) : choice_(text, how) {}

 private:
  xdd_data_3::wavelength_choice choice_;
};

void application_session::give_wavelength(const std::string& text, const std::string& how) {
  given_wavelength_.reset();
  if (!text.empty()) given_wavelength_ = std::make_unique<given_wavelength>(text, how);
}

std::string application_session::transform_path() {
  const fft_kernel::path used = fft_kernel::active_path();
  return std::string(fft_kernel::path_name(used)) + (used == fft_kernel::path::portable
                                                          ? " (this processor has neither AVX2 nor AVX-512)"
                                                          : " (the widest this processor supports)");
}

std::string application_session::wavelength_refused(const std::string& text) {
  return xdd_data_3::wavelength_refused(text);
}

assoc_class* application_session::load_file(const std::string& path) {
  if (!app_) return nullptr;
  assoc_class* loaded = nullptr;
  load_data_file(*app_, path, &loaded);
  return loaded;
}

void application_session::unload_file(assoc_class* file) {
  // Its node is deleted from the loaded files ("xAdd_recs") that own it.
  if (file && file->parent()) file->parent()->delete_child(file);
}

std::vector<assoc_class*> application_session::loaded_files() const {
  std::vector<assoc_class*> out;
  assoc_class* files = app_ ? find(*app_, "xAdd_recs") : nullptr;
  if (files)
    for (int i = 0; i < files->child_count(); ++i) out.push_back(files->child(i));
  return out;
}

bool application_session::is_series(const std::vector<std::string>& inputs) { return ::is_series(*this, inputs); }

std::string application_session::path_of(assoc_class& file) {
  assoc_class* p = find_existing(file, "xDdd_path_name");
  const char* text = p ? p->get_text() : nullptr;
  return text ? text : "";
}

// --- options ---

bool application_session::set_option(assoc_class& file, const std::string& name, const std::string& value,
                                     std::ostream& err) {
  assoc_class* node = setting_node(file, name);
  if (!node) {
    err << "No setting named " << name << " for " << path_of(file) << '\n';
    return false;
  }
  const int r = node->set_text_with_limits(value.c_str());
  return r != 2 && r != 3;
}

bool application_session::set_options(assoc_class& file,
                                      const std::vector<std::pair<std::string, std::string>>& settings,
                                      std::ostream& err) {
  for (const auto& [name, value] : limit_last(settings))
    if (!set_option(file, name, value, err)) return false;
  return true;
}

bool application_session::tie_reference(assoc_class& file, const std::string& reference) {
  assoc_class* ref = find(file, "ref_prof");
  const int r = ref ? ref->set_text_with_limits(reference.c_str()) : 3;
  return r != 2 && r != 3;
}

bool application_session::load_request(const analysis_request& request, std::ostream& err) {
  for (const std::string& f : request.files)
    if (!load_file(f)) return false;
  if (!request.reference.empty()) {
    assoc_class* reference = load_file(request.reference);
    if (!reference) return false;
    const std::string reference_path = path_of(*reference);
    for (assoc_class* file : loaded_files())
      if (file != reference && !tie_reference(*file, reference_path)) return false;
  }
  // Each setting goes to every file before the next setting.
  for (const auto& [name, value] : limit_last(request.settings))
    for (assoc_class* file : loaded_files())
      if (!set_option(*file, name, value, err)) return false;
  return true;
}

// --- the chain ---

bool application_session::settle(assoc_class& file, bool automatic_limit, std::ostream& err) {
  xy_yobs_4* chain = chain_of(file);
  if (!chain) return true;
  chain->ensure_origin();
  // The origin by B(L) starts from the placed one and comes before the
  // limit, which reads the coefficients it turns.
  if (chain->origin_where_b_smallest() && chain->reference_profile()) {
    const placed_origin placed = place_origin_where_b_smallest(*chain);
    if (!placed.placed)
      err << path_of(file) << ": the origin stays at " << format_number("%.4f", chain->origin_x())
          << " deg, not placed where |B(L)| is smallest: " << placed.why_not << '\n';
  }
  if (!automatic_limit || !chain->reference_profile()) return true;
  if (std::string why; !set_automatic_limit(*chain, why)) {
    err << path_of(file) << ": " << why << '\n';
    return false;
  }
  return true;
}

// --- one file at a time ---

bool application_session::describe_file(const std::string& path, int scan, std::string& line) {
  const xdd_data_3::scan_choice chosen(scan);
  assoc_class* file = load_file(path);
  if (!file) return false;
  line = describe_data_file(*file);
  unload_file(file);
  return true;
}

bool application_session::describe_scans(const std::string& path, int only, std::string& text) {
  int count = 1;
  {
    const xdd_data_3::scan_choice chosen(only > 0 ? only : 1);
    assoc_class* file = load_file(path);
    if (!file) return false;
    text = describe_data_file(*file) + "\n";
    if (const xdd_data_3* data = xdd_data_3::of(file->find_child("xdd_data"))) count = data->scan.count;
    if (only > 0) text += describe_scan(*file);
    unload_file(file);
  }
  if (count <= 1 || only > 0) return true;
  bool all = true;
  for (int k = 1; k <= count; ++k) {
    const xdd_data_3::scan_choice chosen(k);
    assoc_class* file = load_file(path);
    if (!file) {
      all = false;
      continue;
    }
    text += describe_scan(*file);
    unload_file(file);
  }
  return all;
}

bool application_session::convert_to_xdd(const std::string& input, const std::string& output, int scan,
                                         bool window, double x1, double x2, bool less_background) {
  const xdd_data_3::scan_choice chosen(scan);
  assoc_class* file = load_file(input);
  if (!file) return false;
  const auto subtracted = [&] {
    std::string why;
    if (subtract_background(*file, why)) return true;
    report_error((input + ": " + why).c_str());
    return false;
  };
  const bool done = (!window || keep_window(*file, x1, x2)) && (!less_background || subtracted()) &&
                    save_as_xdd(*file, output);
  unload_file(file);
  return done;
}

bool application_session::pattern_of(const std::string& path, int scan, std::vector<double>& x,
                                     std::vector<double>& y, double& lambda_A) {
  x.clear();
  y.clear();
  lambda_A = std::numeric_limits<double>::quiet_NaN();
  const xdd_data_3::scan_choice chosen(scan);
  assoc_class* file = load_file(path);
  if (!file) return false;
  if (auto* profile = dynamic_cast<xy_data_3*>(find_existing(*file, "xy_yobs")))
    for (int i = 0; i < profile->n; ++i) {
      x.push_back(profile->x_of(i));
      y.push_back(static_cast<double>(profile->y[profile->y.base() + i]));
    }
  if (assoc_class* lambda = find_existing(*file, "lBambda"))
    if (const char* l = lambda->get_text()) lambda_A = std::strtod(l, nullptr);
  unload_file(file);
  return true;
}

job_output application_session::instrument(const std::string& path, int scan, const std::string& lattice,
                                            const std::string& output, std::ostream& err) {
  std::vector<double> x, y;
  double lambda_A = 0.0;
  if (!pattern_of(path, scan, x, y, lambda_A)) return job_output::refused();
  return instrument_from_standard(path, x, y, lambda_A, lattice, output, err);
}

bool application_session::pattern_analysed(const analysis_request& request, int scan, pattern_analysis& out,
                                           std::string& instrument_note, std::ostream& err) {
  if (request.files.empty()) return false;
  instrument_function instrument;
  return standard_instrument(request, instrument, instrument_note, err) &&
         sample_pattern_analysed(request, request.files.front(), scan, instrument, out, instrument_note, err);
}

bool application_session::standard_instrument(const analysis_request& request, instrument_function& f,
                                              std::string& note, std::ostream& err) {
  if (request.standard.empty()) return true;
  std::vector<double> x, y;
  double lambda_A = 0.0;
  if (!pattern_of(request.standard, 1, x, y, lambda_A)) return false;
  const instrument_from_pattern fit = fit_standard_pattern(request.standard, x, y, lambda_A, "", err);
  if (!fit.fitted) return false;
  f = fit.function;
  note = "Instrument function: fitted from " + request.standard + " (" + std::to_string(f.lines.size()) + " lines)\n";
  return true;
}

bool application_session::sample_pattern_analysed(const analysis_request& request, const std::string& path,
                                                  int scan, const instrument_function& prepared,
                                                  pattern_analysis& out, std::string& note, std::ostream& err) {
  instrument_function instrument = prepared;
  assoc_class* sample = nullptr;
  {
    const xdd_data_3::scan_choice chosen(scan);
    sample = load_file(path);
  }
  if (!sample) return false;
  xy_yobs_4* chain = chain_of(*sample);
  const double lambda = chain && chain->wavelength() > 0.0 ? chain->wavelength() : 1.5406;
  if (!request.instrument.empty()) {
    if (std::string why; !read_instrument_file(request.instrument, lambda, instrument, why)) {
      err << why << '\n';
      return false;
    }
    note = "Instrument function: read from " + request.instrument + "\n";
  }
  pattern_options options;
  options.lattice = request.lattice;
  options.strip_ka2 = !request.keep_ka2;
  if (request.has_contrast_q) options.contrast_q = request.contrast_q;
  options.has_range = request.has_range;
  options.from = request.range_from;
  options.to = request.range_to;
  options.window_fwhms = request.window_fwhms;
  out = ::analyse_pattern(*app_, *sample, instrument, options);
  if (!out.refused.empty()) {
    err << path << ": " << out.refused << '\n';
    return false;
  }
  return true;
}

job_output application_session::analyse_pattern(const analysis_request& request, int scan, std::ostream& err) {
  pattern_analysis a;
  std::string instrument_note;
  if (!pattern_analysed(request, scan, a, instrument_note, err)) return job_output::refused();
  if (!request.table_path.empty()) {
    if (std::string why; !write_file_replacing(request.table_path, pattern_csv(a), why)) {
      err << why << '\n';
      return job_output::refused();
    }
  }
  // The table and the text still say each line's cause; the run did not do
  // what was asked of it.
  const bool any = std::any_of(a.lines.begin(), a.lines.end(), [](const pattern_line& l) { return l.analysed; });
  if (!any) err << request.files.front() << ": none of its " << a.lines.size() << " lines could be analysed\n";
  return job_output::of(pattern_text(a) + instrument_note, any ? 0 : 1);
}

job_output application_session::williamson_hall_figure(const analysis_request& request, int scan,
                                                      std::ostream& err) {
  pattern_analysis a;
  std::string instrument_note;
  if (!pattern_analysed(request, scan, a, instrument_note, err)) return job_output::refused();
  const int width = request.figure_width > 0 ? request.figure_width : default_figure_size.width;
  const int height = request.figure_height > 0 ? request.figure_height : default_figure_size.height;
  const std::string name = std::filesystem::path(request.files.front()).filename().string();
  return job_output::of(williamson_hall_svg(pattern_figure(a, name), width, height));
}

std::string application_session::lattice_refused(const std::string& text) {
  cubic_lattice cell;
  std::string why;
  return parse_lattice(text, cell, why) ? std::string() : why;
}

// --- projects ---

bool application_session::save_project(const std::string& path, std::ostream& err) {
  auto* save = app_ ? dynamic_cast<proj_save_3*>(find(*app_, "proj_save")) : nullptr;
  if (!save) return false;
  // Nobody is there to save it under a name: a project must not name a file
  // that is not on disk.
  for (assoc_class* file : loaded_files())
    if (never_written(*file)) {
      const std::string at = path_of(*file);
      err << (at.empty() ? std::string("A data file without a name") : at)
          << ": not written to disk; save it before saving a project that names it\n";
      return false;
    }
  return save->save_to_path(path) != nullptr;
}

bool application_session::open_project(const std::string& path, std::ostream& err) {
  auto* open = app_ ? dynamic_cast<proj_open_3*>(find(*app_, "proj_open")) : nullptr;
  if (!open) return false;
  const bool opened = open->open_path(path) != nullptr;
  if (opened && !loaded_files().empty()) return true;
  if (!global_error_message().is_empty()) show_error();
  // Opened, a project without a file would otherwise end without a word.
  else if (opened) err << path << ": Cannot open project: it names no data file\n";
  return false;
}

// --- results ---

TDrawView* application_session::view_of(const analysis_request& request, std::ostream& err) {
  TDrawView* view = app_ ? app_->new_graph_view() : nullptr;
  if (!view) return nullptr;
  for (assoc_class* file : loaded_files())
    if (!view->line_of(file)) view->add_file(file);
  view->lines_changed();
  view->show_all();
  // Every origin and background is placed before any automatic limit,
  // which starts from them.
  for (assoc_class* file : loaded_files()) settle(*file, false, err);
  if (request.auto_limit)
    for (assoc_class* file : loaded_files())
      if (!settle(*file, true, err)) return nullptr;
  std::uint32_t bits = family_bits(request.show);
  if (!bits) bits = show_bits::observed;
  if (auto* workbench_view = dynamic_cast<for_dr_vw_3*>(view)) workbench_view->show_families(bits);
  if (request.has_x_range) {
    view->x1 = std::min(request.x_from, request.x_to);
    view->x2 = std::max(request.x_from, request.x_to);
    view->recompute_scale();
  }
  view->update_curves();
  return view;
}

job_output application_session::report(const analysis_request& request, std::ostream& err) {
  if (!load_request(request, err)) return job_output::refused();
  TDrawView* view = view_of(request, err);
  if (!view) return job_output::refused();
  return job_output::of(report_of(*view, request));
}

job_output application_session::figure(const analysis_request& request, std::ostream& err) {
  if (!load_request(request, err)) return job_output::refused();
  TDrawView* view = view_of(request, err);
  if (!view) return job_output::refused();
  platform_types::figure_size size = default_figure_size;
  if (request.figure_width > 0 && request.figure_height > 0) {
    size.width = request.figure_width;
    size.height = request.figure_height;
  }
  svg_surface drawing(size.width, size.height);
  figure_export(*view).draw(drawing);
  return job_output::of(drawing.document());
}

job_output application_session::measure(const analysis_request& request, std::ostream& err) {
  analysis_request observed = request;
  observed.show = {"yobs"};
  if (!load_request(observed, err)) return job_output::refused();
  TDrawView* view = view_of(observed, err);
  if (!view || view->lines().empty()) return job_output::refused();
  auto* plot = dynamic_cast<plot_3*>(find(*view->lines().front(), "yobs"));
  if (!plot) return job_output::refused();
  plot->set_view(view);
  std::string text;
  std::vector<std::pair<std::string, std::string>> missing;
  for (const char* what : {"FWHM", "Centroid", "Area"}) {
    plot->set_text(what);
    text += plot->last_result() + '\n';
    if (plot->last_result() == "Error") missing.emplace_back(what, plot->last_reason());
  }
  assoc_class* file = plot->data_file();
  tell_missing(err, file ? path_of(*file) : "", missing);
  return job_output::of(text, missing.empty() ? 0 : 1);
}

const std::vector<std::string>& application_session::measure_table_columns() {
  static const std::vector<std::string> columns = {
      "fwhm", "centroid", "area", "integral_breadth", "deconvoluted_fwhm", "area_weighted_length",
      "area_weighted_length_u", "volume_weighted_length", "volume_weighted_length_u", "scherrer_size",
      "scherrer_size_u"};
  return columns;
}

bool application_session::measure_cells(assoc_class& file, const analysis_request& request,
                                        std::vector<std::string>& cells, std::ostream& err) {
  cells.clear();
  xy_yobs_4* chain = chain_of(file);
  if (!chain || chain->y.count() == 0) {
    err << path_of(file) << ": the file holds no profile to measure\n";
    return false;
  }
  bool measured = true;
  const double xl = request.has_x_range ? std::min(request.x_from, request.x_to) : chain->x1;
  const double xr = request.has_x_range ? std::max(request.x_from, request.x_to) : chain->x2;
  // The four by one measurement, as each of them alone would take it.
  const line_widths w = peak_measures::measure(*chain, xl, xr);
  const peak_measures::result measures[4] = {
      peak_measures::value_of(w, w.fwhm_x), peak_measures::value_of(w, w.centroid_x),
      peak_measures::value_of(w, w.area_xy), peak_measures::value_of(w, w.integral_breadth_x)};
  const char* formats[4] = {"%-1.4f", "%-1.4f", "%-1.3f", "%-1.4f"};
  const char* names[4] = {"fwhm", "centroid", "area", "integral_breadth"};
  std::vector<std::pair<std::string, std::string>> missing;
  for (int i = 0; i < 4; ++i) {
    if (measures[i].ok && std::isfinite(measures[i].value)) {
      cells.push_back(format_number(formats[i], measures[i].value));
    } else {
      cells.emplace_back();
      measured = false;
      missing.emplace_back(names[i], measures[i].ok ? "it is not a finite number" : measures[i].why);
    }
  }
  tell_missing(err, path_of(file), missing);
  if (!chain->reference_profile()) {
    cells.resize(measure_table_columns().size());
    return measured;
  }
  if (!settle(file, request.auto_limit, err)) measured = false;
  if (!request.auto_limit && !limit_set(request.settings)) default_limit(*chain, path_of(file), err);
  // The table has no column for the reconvolution R or the warnings judged
  // from it.
  const line_analysis a = analyse_line(*chain, line_judging::figures_only);
  if (!a.refused.empty()) {
    err << path_of(file) << ": " << a.refused << '\n';
    measured = false;
  } else if (std::isfinite(a.snr_at_limit) && a.snr_at_limit < 3.0) {
    err << path_of(file) << ": Warning: " << low_snr_warning(a.snr_at_limit) << '\n';
  }
  const size_strain_spread spread = spread_of({chain}, {a}, nullptr);
  const line_spread u = spread.lines.empty() ? line_spread{} : spread.lines.front();
  auto cell = [](bool ok, const char* format, double v) {
    return ok && std::isfinite(v) ? format_number(format, v) : std::string();
  };
  const bool ok = a.refused.empty();
  // The cells hold figures the data stand by; what they cannot give is
  // said on the error stream, as size-strain says it in its summary.
  const bool resolved = ok && a.size.found && a.size.length <= resolvable_length(a.size, u.slope_u);
  const double most = resolvable_length(a.size, u.slope_u);
  if (ok && !resolved && std::isfinite(a.size.slope) && std::isfinite(most))
    err << path_of(file) << ": the area-weighted length is not resolved: above " << format_number("%.1f", most)
        << " A\n";
  if (ok && !a.volume_reached_zero)
    err << path_of(file) << ": A(L) is cut at the limit before it reaches 0: the volume-weighted length is at least "
        << format_number("%.1f", a.volume_length) << " A\n";
  const bool volume = ok && a.volume_reached_zero;
  // No distribution of column lengths has its area-weighted mean above
  // its volume-weighted one: neither is given, as in size-strain.
  const bool lengths = !(resolved && volume && a.size.length > a.volume_length);
  if (!lengths)
    err << path_of(file) << ": the area-weighted length " << format_number("%.1f", a.size.length)
        << " A exceeds the volume-weighted " << format_number("%.1f", a.volume_length)
        << " A, which no distribution of column lengths gives: neither is given\n";
  cells.insert(cells.end(),
               {cell(ok, "%-1.4f", a.deconvoluted.fwhm), cell(resolved && lengths, "%-1.1f", a.size.length),
                cell(resolved && lengths, "%-1.1f", u.area_u), cell(volume && lengths, "%-1.1f", a.volume_length),
                cell(volume && lengths, "%-1.1f", u.volume_u), cell(ok, "%-1.1f", a.scherrer),
                cell(ok, "%-1.1f", u.scherrer_u)});
  return measured;
}

job_output application_session::size_strain(const analysis_request& request, std::ostream& err) {
  // Every file loads first (a reference may serve both orders), then each
  // sample takes its reference and every file the settings.
  std::vector<std::pair<assoc_class*, std::string>> samples;
  for (const auto& [sample, reference] : request.pairs) {
    assoc_class* s = load_file(sample);
    if (!s) return job_output::refused();
    assoc_class* r = nullptr;
    for (assoc_class* file : loaded_files())
      if (file != s && path_of(*file) == reference) r = file;
    if (!r && !(r = load_file(reference))) return job_output::refused();
    samples.emplace_back(s, path_of(*r));
  }
  analysis_request settings = request;
  settings.files.clear();
  if (!load_request(settings, err)) return job_output::refused();
  size_strain_analysis a;
  if (!analyse_pairs(request, samples, a, err)) return job_output::refused();
  return job_output::of(size_strain_text(a.names, a.lines, a.two_orders(), &a.spread));
}

bool application_session::analyse_pairs(const analysis_request& request,
                                        const std::vector<std::pair<assoc_class*, std::string>>& samples,
                                        size_strain_analysis& out, std::ostream& err) {
  std::vector<xy_yobs_3*> chains;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    assoc_class& file = *samples[i].first;
    const std::string& reference = samples[i].second;
    if (!tie_reference(file, reference)) return false;
    if (i < request.pair_settings.size() && !set_options(file, request.pair_settings[i], err)) return false;
    xy_yobs_4* chain = chain_of(file);
    if (!chain || !settle(file, request.auto_limit, err)) return false;
    const bool given = limit_set(request.settings) ||
                       (i < request.pair_settings.size() && limit_set(request.pair_settings[i]));
    const bool automatic = request.auto_limit || (!given && default_limit(*chain, path_of(file), err));
    out.lines.push_back(analyse_line(*chain));
    out.lines.back().automatic_limit = automatic;
    if (!out.lines.back().refused.empty()) {
      err << path_of(file) << ": " << out.lines.back().refused << '\n';
      return false;
    }
    chains.push_back(chain);
    out.names.push_back(path_of(file) + " / " + reference);
  }
  if (out.lines.size() == 2) {
    out.pair = warren_averbach(out.lines[0].coefficients, out.lines[1].coefficients);
    if (!out.pair.refused.empty()) {
      err << out.pair.refused << '\n';
      return false;
    }
  }
  out.spread = spread_of(chains, out.lines, out.two_orders());
  return true;
}

job_output application_session::project_report(const analysis_request& request, std::ostream& err) {
  if (!open_project(request.project, err)) return job_output::refused();
  auto* open = dynamic_cast<proj_open_3*>(find(*app_, "proj_open"));
  if (!open) return job_output::refused();
  // The project's data files are inputs too: only now are they known.
  std::vector<std::string> inputs;
  for (assoc_class* file : loaded_files()) inputs.emplace_back(path_of(*file));
  if (const std::string why = output_onto_input(request.output, inputs); !why.empty()) {
    err << why << '\n';
    return job_output::refused();
  }
  // A report of part of the project would pass for the whole: the files not
  // loaded have been named.
  if (!open->not_loaded().empty()) return job_output::refused();
  for (const moved_file& m : open->moved())
    err << m.found << ": used in place of " << m.recorded << ", which is not there\n";
  TDrawView* view = view_of(request, err);
  if (!view) return job_output::refused();
  // The report is written with the defaults of the values the project gave
  // wrongly (they were said); the run still did not do all it was asked.
  return job_output::of(report_of(*view, request), open->values_refused() > 0 ? 1 : 0);
}

job_output application_session::scan_report(const analysis_request& request, const std::string& path, int scan,
                                             std::ostream& err, const std::function<void(assoc_class& file)>& loaded) {
  assoc_class* sample = nullptr;
  {
    const xdd_data_3::scan_choice chosen(scan);
    sample = load_file(path);
  }
  job_output made;
  if (sample && loaded) loaded(*sample);
  if (sample) {
    analysis_request rest = request;
    rest.files.clear();
    rest.csv = true;
    if (load_request(rest, err))
      if (TDrawView* view = view_of(rest, err)) made = job_output::of(report_of(*view, rest));
  }
  clear();
  return made;
}

void application_session::clear() {
  if (!app_) return;
  app_->close_all_views();
  for (assoc_class* file : loaded_files()) unload_file(file);
}

int application_session::run_guarded(const std::function<int()>& job, std::ostream& err) {
  try {
    return job();
  } catch (const numeric_abort& abort) {
    err << abort.what() << '\n';
    return 1;
  }
}

std::string application_session::families_refused(const std::vector<std::string>& names) {
  // The Williamson–Hall plot is of a whole pattern's lines, not of a view.
  if (std::find(names.begin(), names.end(), "wh") != names.end())
    return names.size() == 1 ? "" : "wh (the Williamson-Hall plot of a whole pattern) is shown alone";
  return check_families(names);
}

std::string application_session::figure_size_refused(int width, int height) {
  return figure_limits::check({width, height, default_figure_size.dpi});
}
