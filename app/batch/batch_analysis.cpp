#include "app/batch/batch_analysis.h"

#include <algorithm>
#include <cmath>
#include <ostream>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/capture/capture_as_txt_3.h"
#include "app/files/save_xdd_as_3.h"
#include "app/platform/figure_file.h"
#include "app/platform/headless_platform.h"
#include "app/project/proj_open_3.h"
#include "app/shell/application.h"
#include "app/shell/for_app_3.h"
#include "app/views/TDrawView.h"
#include "app/views/for_dr_vw_3.h"
#include "app/views/view_line_9.h"
#include "core/error_message.h"
#include "core/paths.h"
#include "core/text_helpers.h"
#include "io/file_kind.h"
#include "xrd/chain/xy_yobs_4.h"
#include "xrd/measures/peak_measures.h"
#include "xrd/plots/plot_3.h"
#include "xrd/sizes/line_analysis.h"
#include "xrd/sizes/size_strain_report.h"

namespace {

// Nobody looks at the batch tool's views: painting them runs the plots (and
// so the chain) without drawing anything.
void paint(TDrawView& view) {
  blank_surface s;
  view.paint(s);
}

assoc_class* loaded_files(application_session& session) {
  return session.app() ? find(*session.app(), "xAdd_recs") : nullptr;
}

node_list all_loaded(application_session& session) {
  node_list out;
  if (assoc_class* files = loaded_files(session))
    for (int i = 0; i < files->child_count(); ++i) out.push_back(files->child(i));
  return out;
}

// The node a setting's name designates from a file: a dotted name walks one
// name at a time ("ex_l_consts.nBpts_i1").
assoc_class* setting_node(assoc_class& file, const std::string& name) {
  assoc_class* at = &file;
  std::istringstream parts(name);
  std::string part;
  while (at && std::getline(parts, part, '.')) at = part.empty() ? nullptr : find(*at, part.c_str());
  return at == &file ? nullptr : at;
}

const char* path_of(assoc_class& file) {
  assoc_class* p = find_existing(file, "xDdd_path_name");
  const char* text = p ? p->get_text() : nullptr;
  return text ? text : "";
}

// Sets one option of a file as the report editor's edit line does; false
// (the user told why) when there is no such option or it refused the value.
bool apply_setting(assoc_class& file, const std::string& name, const std::string& value, std::ostream& err) {
  assoc_class* node = setting_node(file, name);
  if (!node) {
    err << "No setting named " << name << " for " << path_of(file) << '\n';
    return false;
  }
  const int r = node->set_text_with_limits(value.c_str());
  return r != 2 && r != 3;
}

// The settings in their order, but the frequency limit last: its limits
// follow from the doubling and the tails, which may be given after it.
std::vector<std::pair<std::string, std::string>> limit_last(std::vector<std::pair<std::string, std::string>> settings) {
  std::stable_partition(settings.begin(), settings.end(), [](const auto& s) { return s.first != "fBft_f2_lim"; });
  return settings;
}

// Loads the files and the reference, ties the reference to every other
// file and applies the settings; false (the user told why) when any of it
// is refused.
bool prepare(application_session& session, const analysis_request& request, std::ostream& err) {
  for (const std::string& f : request.files)
    if (!session.load_file(f)) return false;
  assoc_class* reference = nullptr;
  if (!request.reference.empty()) {
    reference = session.load_file(request.reference);
    if (!reference) return false;
    for (assoc_class* file : all_loaded(session)) {
      if (file == reference) continue;
      assoc_class* ref = find(*file, "ref_prof");
      const int r = ref ? ref->set_text_with_limits(path_of(*reference)) : 3;
      if (r == 2 || r == 3) return false;
    }
  }
  for (const auto& [name, value] : limit_last(request.settings))
    for (assoc_class* file : all_loaded(session))
      if (!apply_setting(*file, name, value, err)) return false;
  return true;
}

// --auto-limit: the frequency limit of each file with a reference set where
// its quotient's signal meets three times its noise. False, said, when one
// cannot be set.
bool set_automatic_limits(application_session& session, std::ostream& err) {
  for (assoc_class* file : all_loaded(session)) {
    auto* chain = dynamic_cast<xy_yobs_4*>(find(*file, "xy_yobs"));
    if (!chain || !chain->reference_profile()) continue;
    if (std::string why; !set_automatic_limit(*chain, why)) {
      err << path_of(*file) << ": " << why << '\n';
      return false;
    }
  }
  return true;
}

// One view holding every loaded file in load order, painted first showing
// the observed profiles (which places the automatic origin and background as
// the workbench does, and which the automatic limit then starts from), then
// showing the families asked for over the x range.
TDrawView* open_view(application_session& session, const analysis_request& request, std::ostream& err) {
  for_app_3* app = session.app();
  TDrawView* view = app ? app->new_graph_view() : nullptr;
  if (!view) return nullptr;
  for (assoc_class* file : all_loaded(session))
    if (!view->line_of(file)) view->add_file(file);
  view->lines_changed();
  view->show_all();
  paint(*view);
  if (request.auto_limit && !set_automatic_limits(session, err)) return nullptr;
  std::uint32_t bits = family_bits(request.show);
  if (!bits) bits = show_bits::observed;
  if (auto* workbench_view = dynamic_cast<for_dr_vw_3*>(view))
    workbench_view->show_families(bits);
  if (request.has_x_range) {
    view->x1 = std::min(request.x_from, request.x_to);
    view->x2 = std::max(request.x_from, request.x_to);
    view->recompute_scale();
  }
  paint(*view);
  return view;
}

std::set<std::string> report_families(const analysis_request& request) {
  std::set<std::string> out(request.show.begin(), request.show.end());
  if (out.empty()) out.insert("yobs");
  return out;
}

int write_report(TDrawView& view, const analysis_request& request, std::ostream& out, std::ostream& err) {
  const std::string text = request.csv ? capture_as_txt_3::report_csv(view, report_families(request))
                                       : capture_as_txt_3::report_text(view, report_families(request));
  return write_result(request.output, text, 0, out, err);
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

int write_result(const std::string& output, const std::string& text, int status, std::ostream& out,
                 std::ostream& err) {
  if (output.empty()) {
    out << text;
    return status;
  }
  std::string why;
  if (write_file_replacing(output, text, why)) return status;
  err << why << '\n';
  return 1;
}

std::string output_onto_input(const std::string& output, const std::vector<std::string>& inputs) {
  if (output.empty()) return "";
  for (const std::string& input : inputs)
    if (same_file(output, input))
      return output + ": Cannot write file: it is the input " + input + "; the output must be another file";
  return "";
}

TDrawView* prepared_view(application_session& session, const analysis_request& request, std::ostream& err) {
  return prepare(session, request, err) ? open_view(session, request, err) : nullptr;
}

int batch_report(application_session& session, const analysis_request& request, std::ostream& out,
                 std::ostream& err) {
  if (!prepare(session, request, err)) return 1;
  TDrawView* view = open_view(session, request, err);
  if (!view) return 1;
  return write_report(*view, request, out, err);
}

// measure --table: one CSV row per file of the request (not the reference).
int batch_measure_table(application_session& session, const analysis_request& request, std::ostream& out,
                        std::ostream& err) {
  if (!prepare(session, request, err)) return 1;
  std::string text =
      "file,fwhm,centroid,area,integral_breadth,deconvoluted_fwhm,area_weighted_length,volume_weighted_length,"
      "scherrer_size\n";
  int status = 0;
  const node_list loaded = all_loaded(session);
  for (std::size_t f = 0; f < request.files.size() && f < loaded.size(); ++f) {
    assoc_class& file = *loaded[f];
    auto* chain = dynamic_cast<xy_yobs_4*>(find(file, "xy_yobs"));
    if (!chain || chain->y.count() == 0) {
      err << path_of(file) << ": the file holds no profile to measure\n";
      return 1;
    }
    const double xl = request.has_x_range ? std::min(request.x_from, request.x_to) : chain->x1;
    const double xr = request.has_x_range ? std::max(request.x_from, request.x_to) : chain->x2;
    std::string row = csv_cell(path_of(file));
    peak_measures::result measures[4] = {peak_measures::fwhm(*chain, xl, xr), {}, peak_measures::area(*chain, xl, xr),
                                         peak_measures::integral_breadth(*chain, xl, xr)};
    measures[1] = peak_measures::centroid(*chain, xl, xr, 0.0, 0.0);
    const char* formats[4] = {"%-1.4f", "%-1.4f", "%-1.3f", "%-1.4f"};
    const char* names[4] = {"fwhm", "centroid", "area", "integral_breadth"};
    std::vector<std::pair<std::string, std::string>> missing;
    for (int i = 0; i < 4; ++i) {
      row += ',';
      if (measures[i].ok) {
        row += format_number(formats[i], measures[i].value);
      } else {
        status = 1;
        missing.emplace_back(names[i], measures[i].why);
      }
    }
    tell_missing(err, path_of(file), missing);
    if (chain->reference_profile()) {
      std::string why;
      if (request.auto_limit && !set_automatic_limit(*chain, why)) {
        err << path_of(file) << ": " << why << '\n';
        status = 1;
      }
      const line_analysis a = analyse_line(*chain);
      if (!a.refused.empty()) {
        err << path_of(file) << ": " << a.refused << '\n';
        status = 1;
      }
      auto cell = [](bool ok, const char* format, double v) {
        return ok && std::isfinite(v) ? format_number(format, v) : std::string();
      };
      const bool ok = a.refused.empty();
      row += ',' + cell(ok, "%-1.4f", a.deconvoluted.fwhm) + ',' + cell(ok && a.size.found, "%-1.1f", a.size.length) +
             ',' + cell(ok, "%-1.1f", a.volume_length) + ',' + cell(ok, "%-1.1f", a.scherrer);
    } else {
      row += ",,,,";
    }
    text += row + '\n';
  }
  return write_result(request.output, text, status, out, err);
}

int batch_measure(application_session& session, const analysis_request& request, std::ostream& out,
                  std::ostream& err) {
  if (request.table) return batch_measure_table(session, request, out, err);
  analysis_request observed = request;
  observed.show = {"yobs"};
  if (!prepare(session, observed, err)) return 1;
  TDrawView* view = open_view(session, observed, err);
  if (!view || view->lines().empty()) return 1;
  auto* plot = dynamic_cast<plot_3*>(find(*view->lines().front(), "yobs"));
  if (!plot) return 1;
  plot->set_view(view);
  std::vector<std::pair<std::string, std::string>> missing;
  for (const char* what : {"FWHM", "Centroid", "Area"}) {
    plot->set_text(what);
    out << plot->last_result() << '\n';
    if (plot->last_result() == "Error") missing.emplace_back(what, plot->last_reason());
  }
  assoc_class* file = plot->data_file();
  tell_missing(err, file ? path_of(*file) : "", missing);
  return missing.empty() ? 0 : 1;
}

int batch_save_project(application_session& session, headless_platform& screen, const analysis_request& request,
                       std::ostream& err) {
  if (!prepare(session, request, err)) return 1;
  assoc_class* save = session.app() ? find(*session.app(), "proj_save") : nullptr;
  if (!save) return 1;
  // Nobody is there to save it under a name: a project must not name a file
  // that is not on disk.
  for (assoc_class* file : all_loaded(session))
    if (never_written(*file)) {
      const std::string path = path_of(*file);
      err << (path.empty() ? std::string("A data file without a name") : path)
          << ": not written to disk; save it before saving a project that names it\n";
      return 1;
    }
  screen.queue_files({request.output});
  return save->execute() ? 0 : 1;
}

int batch_project(application_session& session, headless_platform& screen, const analysis_request& request,
                  std::ostream& out, std::ostream& err) {
  auto* open = session.app() ? dynamic_cast<proj_open_3*>(find(*session.app(), "proj_open")) : nullptr;
  if (!open) return 1;
  screen.queue_files({request.project});
  const bool opened = open->execute() != nullptr;
  if (!opened || all_loaded(session).empty()) {
    if (!global_error_message().is_empty()) show_error();
    // Opened, a project without a file would otherwise end without a word.
    else if (opened) err << request.project << ": Cannot open project: it names no data file\n";
    return 1;
  }
  // The project's data files are inputs too: only now are they known.
  std::vector<std::string> inputs;
  for (assoc_class* file : all_loaded(session)) inputs.emplace_back(path_of(*file));
  if (const std::string why = output_onto_input(request.output, inputs); !why.empty()) {
    err << why << '\n';
    return 1;
  }
  // A report of part of the project would pass for the whole: the files not
  // loaded have been named.
  if (!open->not_loaded().empty()) return 1;
  for (const moved_file& m : open->moved())
    err << m.found << ": used in place of " << m.recorded << ", which is not there\n";
  TDrawView* view = open_view(session, request, err);
  if (!view) return 1;
  const int status = write_report(*view, request, out, err);
  // The report is written with the defaults of the values the project gave
  // wrongly (they were said); the run still did not do all it was asked.
  return status == 0 && open->values_refused() > 0 ? 1 : status;
}

int batch_size_strain(application_session& session, const analysis_request& request, std::ostream& out,
                      std::ostream& err) {
  // Every file loads first (a reference may serve both orders), then each
  // sample takes its reference and every file the settings.
  std::vector<std::pair<assoc_class*, std::string>> samples;
  for (const auto& [sample, reference] : request.pairs) {
    assoc_class* s = session.load_file(sample);
    if (!s) return 1;
    assoc_class* r = nullptr;
    for (assoc_class* file : all_loaded(session))
      if (file != s && std::string(path_of(*file)) == reference) r = file;
    if (!r && !(r = session.load_file(reference))) return 1;
    samples.emplace_back(s, path_of(*r));
  }
  analysis_request settings = request;
  settings.files.clear();
  if (!prepare(session, settings, err)) return 1;
  std::vector<line_analysis> lines;
  std::vector<std::string> names;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    assoc_class* file = samples[i].first;
    const std::string& reference = samples[i].second;
    assoc_class* ref = find(*file, "ref_prof");
    const int r = ref ? ref->set_text_with_limits(reference.c_str()) : 3;
    if (r == 2 || r == 3) return 1;
    if (i < request.pair_settings.size())
      for (const auto& [name, value] : limit_last(request.pair_settings[i]))
        if (!apply_setting(*file, name, value, err)) return 1;
    auto* chain = dynamic_cast<xy_yobs_4*>(find(*file, "xy_yobs"));
    if (!chain) return 1;
    std::string why;
    if (request.auto_limit && !set_automatic_limit(*chain, why)) {
      err << path_of(*file) << ": " << why << '\n';
      return 1;
    }
    lines.push_back(analyse_line(*chain));
    if (!lines.back().refused.empty()) {
      err << path_of(*file) << ": " << lines.back().refused << '\n';
      return 1;
    }
    names.push_back(std::string(path_of(*file)) + " / " + reference);
  }
  warren_averbach_result pair;
  if (lines.size() == 2) {
    pair = warren_averbach(lines[0].coefficients, lines[1].coefficients);
    if (!pair.refused.empty()) {
      err << pair.refused << '\n';
      return 1;
    }
  }
  return write_result(request.output, size_strain_text(names, lines, lines.size() == 2 ? &pair : nullptr), 0, out,
                      err);
}
