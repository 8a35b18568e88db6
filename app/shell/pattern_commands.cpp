#include "app/shell/pattern_commands.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "app/analysis/background_subtraction.h"
#include "app/analysis/line_marks.h"
#include "app/analysis/pattern_analysis.h"
#include "app/analysis/pattern_report.h"
#include "app/files/load_data_file.h"
#include "app/platform/command_ids.h"
#include "app/shell/for_app_3.h"
#include "app/shell/instrument_job.h"
#include "app/text/text_file.h"
#include "app/text/txt_docs_3.h"
#include "app/views/TDrawView.h"
#include "app/views/for_dr_vw_3.h"
#include "app/views/williamson_hall_window.h"
#include "core/error_message.h"
#include "core/node_watch.h"
#include "core/paths.h"
#include "core/text_helpers.h"
#include "xrd/chain/show_bits.h"
#include "xrd/chain/xy_yobs_4.h"
#include "xrd/curves/xy_data_3.h"
#include "xrd/pattern/cubic_lattice.h"
#include "xrd/pattern/instrument_file.h"
#include "xrd/sizes/line_analysis.h"

namespace {

// The lattice dialog: a resource of its own, so that a person (and a test)
// can tell it from the others.
constexpr int lattice_dialog = 4270;
constexpr int lattice_prompt = 4271;
constexpr int lattice_edit = 4272;
// What a file the instrument command wrote starts with.
constexpr const char* instrument_file_start = "# xrdfourier instrument function";
// The radiation of a file that names none: the template's Cu K-alpha1.
constexpr double default_lambda_A = 1.5406;

std::string path_of(assoc_class& file) {
  assoc_class* p = find_existing(file, "xDdd_path_name");
  const char* text = p ? p->get_text() : nullptr;
  return text ? text : "";
}

std::string name_of(assoc_class& file) { return std::filesystem::path(path_of(file)).filename().string(); }

xy_yobs_4* chain_of(assoc_class& file) { return dynamic_cast<xy_yobs_4*>(find_existing(file, "xy_yobs")); }

void tell(TDrawView& view, const std::string& text) {
  global_error_message().append(text.c_str());
  show_error(&view);
}

// The instrument function each pattern was last analysed with, so that one
// of its lines is looked at against the same.
struct used_instrument {
  std::unique_ptr<node_watch> file;
  instrument_function function;
  std::string source;
};

std::vector<used_instrument>& used_instruments() {
  static std::vector<used_instrument> used;
  return used;
}

const used_instrument* instrument_used_for(assoc_class& file) {
  std::erase_if(used_instruments(), [](const used_instrument& u) { return !*u.file; });
  for (const used_instrument& u : used_instruments())
    if (u.file->get() == &file) return &u;
  return nullptr;
}

void remember_instrument(assoc_class& file, const instrument_function& f, const std::string& source) {
  std::erase_if(used_instruments(), [&file](const used_instrument& u) { return !*u.file || u.file->get() == &file; });
  used_instruments().push_back({std::make_unique<node_watch>(&file), f, source});
}

// The lattice last given, proposed again.
std::string& last_lattice() {
  static std::string lattice;
  return lattice;
}

// The view's file the command is for: its only one, or the one the user
// picks from a menu of them. Null when there is none or the user picked none.
assoc_class* chosen_file(TDrawView& view, const std::string& command) {
  const std::vector<assoc_class*> files = view.files();
  if (files.empty()) {
    tell(view, command + ": this view shows no file");
    return nullptr;
  }
  if (files.size() == 1) return files.front();
  platform* p = current_platform();
  if (!p) return nullptr;
  std::vector<platform_types::menu_item> items;
  for (std::size_t i = 0; i < files.size(); ++i)
    items.push_back({static_cast<int>(i) + 1, name_of(*files[i]), "", {}});
  const int chosen = p->popup_menu(view.held_window(), -1, -1, items);
  return chosen >= 1 && chosen <= static_cast<int>(files.size()) ? files[static_cast<std::size_t>(chosen) - 1]
                                                                 : nullptr;
}

bool starts_as_instrument_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string first;
  std::getline(in, first);
  if (!first.empty() && first.back() == '\r') first.pop_back();
  return first == instrument_file_start;
}

// The counts and the K-alpha1 of a standard's pattern, from the loaded file
// of that path or loaded for the fit and taken out again. False when it
// would not load (the user has been told why).
bool standard_pattern(assoc_class& app, const std::string& path, std::vector<double>& x, std::vector<double>& y,
                      double& lambda_A) {
  assoc_class* file = nullptr;
  bool loaded_here = false;
  if (assoc_class* loaded = find(app, "xAdd_recs"))
    for (int i = 0; i < loaded->child_count() && !file; ++i)
      if (path_of(*loaded->child(i)) == path) file = loaded->child(i);
  if (!file) {
    if (load_data_file(app, path, &file) != load_result::loaded || !file) return false;
    loaded_here = true;
  }
  if (auto* profile = dynamic_cast<xy_data_3*>(find_existing(*file, "xy_yobs")))
    for (int i = 0; i < profile->n; ++i) {
      x.push_back(profile->x_of(i));
      y.push_back(static_cast<double>(profile->y[profile->y.base() + i]));
    }
  lambda_A = std::numeric_limits<double>::quiet_NaN();
  if (assoc_class* lambda = find_existing(*file, "lBambda"))
    if (const char* l = lambda->get_text()) lambda_A = std::strtod(l, nullptr);
  if (loaded_here && file->parent()) file->parent()->delete_child(file);
  return true;
}

// Asks for the instrument: a file the instrument command wrote, read for
// the sample's radiation, or a standard's pattern, fitted. False (said,
// unless cancelled) when there is none.
bool ask_instrument(TDrawView& view, assoc_class& sample, const std::string& command, instrument_function& f,
                    std::string& source) {
  platform* p = current_platform();
  assoc_class* app = view.app_object();
  if (!p || !app) return false;
  platform_types::file_request request;
  request.caption = command + ": Instrument Function or Standard";
  request.path_must_exist = request.file_must_exist = true;
  request.filters = {{"Instrument functions (*.txt)", "*.txt"}, {"All files (*.*)", "*.*"}};
  request.parent = view.held_window();
  const platform_types::file_answer answer = p->choose_file(request);
  if (answer.result != platform_types::file_answer::status::chosen || answer.paths.empty()) return false;
  const std::string& path = answer.paths.front();

  if (starts_as_instrument_file(path)) {
    xy_yobs_4* chain = chain_of(sample);
    const double lambda = chain && chain->wavelength() > 0.0 ? chain->wavelength() : default_lambda_A;
    std::string why;
    if (!read_instrument_file(path, lambda, f, why)) {
      tell(view, why);
      return false;
    }
    source = "read from " + path;
    return true;
  }
  std::vector<double> x, y;
  double lambda_A = 0.0;
  if (!standard_pattern(*app, path, x, y, lambda_A)) return false;
  std::ostringstream err;
  const instrument_from_pattern fit = fit_standard_pattern(path, x, y, lambda_A, "", err);
  if (!fit.fitted) {
    std::string why = err.str();
    while (!why.empty() && why.back() == '\n') why.pop_back();
    tell(view, why.empty() ? path + ": no instrument function could be fitted" : why);
    return false;
  }
  f = fit.function;
  source = "fitted from " + path + " (" + std::to_string(f.lines.size()) + " lines)";
  return true;
}

std::string trimmed(std::string s) {
  const auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
  s.erase(s.begin(), std::find_if_not(s.begin(), s.end(), blank));
  s.erase(std::find_if_not(s.rbegin(), s.rend(), blank).base(), s.end());
  return s;
}

// Asks for the lattice the lines are indexed with; empty for none. False
// when cancelled or refused (said).
bool ask_lattice(TDrawView& view, std::string& lattice) {
  platform* p = current_platform();
  if (!p) return false;
  platform_types::dialog_resource resource;
  resource.id = lattice_dialog;
  resource.caption = "Analyse Pattern: Lattice";
  resource.width = 220;
  resource.height = 44;
  platform_types::control prompt;
  prompt.kind = platform_types::control_kind::label;
  prompt.id = lattice_prompt;
  prompt.x = 6, prompt.y = 6, prompt.width = 208, prompt.height = 10;
  prompt.text = "Index with (bcc:2.8665, fcc:A, sc:A, diamond:A, or a file of h k l d; empty: none):";
  platform_types::control edit;
  edit.kind = platform_types::control_kind::edit;
  edit.id = lattice_edit;
  edit.x = 6, edit.y = 22, edit.width = 208, edit.height = 12;
  edit.border = true;
  edit.text = last_lattice();
  resource.controls = {prompt, edit};
  const platform::dialog_id d = p->create_dialog(resource, view.held_window(), true);
  if (d == 0) return false;
  const bool ok = p->run_modal(d);
  lattice = trimmed(p->edit_text(d, lattice_edit));
  p->destroy_dialog(d);
  if (!ok) return false;
  if (lattice.empty()) return true;
  cubic_lattice cell;
  std::string why;
  std::error_code ec;
  if (parse_lattice(lattice, cell, why) ||
      (lattice.find(':') == std::string::npos && std::filesystem::is_regular_file(lattice, ec)))
    return true;
  tell(view, "Analyse Pattern: the lattice \"" + lattice + "\" is refused: " + why);
  return false;
}

// The counts of the pattern analysed nearest an angle.
double counts_at(const pattern_analysis& a, double two_theta) {
  if (a.x.empty()) return 0.0;
  const auto at = std::lower_bound(a.x.begin(), a.x.end(), two_theta);
  std::size_t i = static_cast<std::size_t>(at - a.x.begin());
  if (i == a.x.size() || (i > 0 && two_theta - a.x[i - 1] < a.x[i] - two_theta)) --i;
  return a.y[i];
}

// A path beside `beside` named after it and `tag` that no loaded file has.
std::string free_path(assoc_class& app, const std::string& beside, const std::string& tag) {
  std::filesystem::path p(beside);
  std::string clean = tag;
  for (char& c : clean)
    if (c == '/' || c == ' ') c = '_';
  std::vector<std::string> taken;
  if (assoc_class* loaded = find(app, "xAdd_recs"))
    for (int i = 0; i < loaded->child_count(); ++i) taken.push_back(path_of(*loaded->child(i)));
  for (int n = 1;; ++n) {
    std::string stem = p.stem().string();
    stem.append("_").append(clean);
    if (n > 1) stem.append("_").append(std::to_string(n));
    std::filesystem::path candidate = p;
    candidate.replace_filename(stem + ".xdd");
    std::filesystem::path reference = p;
    reference.replace_filename(stem + "_instrument.xdd");
    std::error_code ec;
    const auto free = [&](const std::filesystem::path& c) {
      return std::find(taken.begin(), taken.end(), c.string()) == taken.end() && !std::filesystem::exists(c, ec);
    };
    if (free(candidate) && free(reference)) return candidate.string();
  }
}

void take_out(node_watch& file) {
  if (file && file.get()->parent()) file.get()->parent()->delete_child(file.get());
}

}  // namespace

void analyse_pattern_in_view(TDrawView& view) {
  const std::string command = "Analyse Pattern";
  node_watch view_alive(&view);
  assoc_class* app = view.app_object();
  assoc_class* chosen = app ? chosen_file(view, command) : nullptr;
  if (!chosen) return;
  node_watch file(chosen);
  instrument_function instrument;
  std::string source;
  if (!ask_instrument(view, *chosen, command, instrument, source) || !file || !view_alive) return;
  std::string lattice;
  if (!ask_lattice(view, lattice) || !file || !view_alive) return;

  pattern_options options;
  options.lattice = lattice;
  // The busy cursor goes however the analysis ends: a numerical stage may
  // give up by throwing.
  struct busy {
    platform* p = current_platform();
    busy() {
      if (p) p->set_busy(true);
    }
    ~busy() {
      if (p) p->set_busy(false);
    }
    busy(const busy&) = delete;
    busy& operator=(const busy&) = delete;
  };
  pattern_analysis a;
  {
    const busy waiting;
    a = analyse_pattern(*app, *file.get(), instrument, options);
  }
  if (!file || !view_alive) return;
  if (!a.refused.empty()) {
    tell(view, path_of(*file.get()) + ": " + a.refused);
    return;
  }
  remember_instrument(*file.get(), instrument, source);
  last_lattice() = lattice;

  std::vector<line_mark> marks;
  for (const pattern_line& l : a.lines) marks.push_back({l.two_theta, counts_at(a, l.two_theta), l.label});
  set_line_marks(view, *file.get(), std::move(marks), {a.x, background_to_subtract(a.x, a.y)});

  if (assoc_class* history = find(view, "history_dlg")) {
    std::istringstream summary(pattern_summary_lines(a));
    for (std::string line; std::getline(summary, line);)
      if (!line.empty()) history->set_text((name_of(*file.get()) + ": " + line).c_str());
  }
  open_williamson_hall_window(pattern_figure(a, name_of(*file.get())));
  if (txt_docs_3* docs = text_documents(view))
    docs->open_document("Pattern analysis: " + name_of(*file.get()), "",
                        text_file_content{pattern_text(a) + "Instrument function: " + source + "\n"});
}

void analyse_line_in_view(TDrawView& view) {
  const std::string command = "Analyse this line";
  auto* app = dynamic_cast<for_app_3*>(view.app_object());
  const std::vector<assoc_class*> files = view.files();
  if (!app || files.empty()) {
    tell(view, command + ": this view shows no file");
    return;
  }
  node_watch view_alive(&view);
  node_watch pattern(files.front());
  instrument_function instrument;
  std::string source;
  if (const used_instrument* used = instrument_used_for(*files.front())) {
    instrument = used->function;
    source = used->source;
  } else {
    if (!ask_instrument(view, *files.front(), command, instrument, source) || !pattern || !view_alive) return;
    remember_instrument(*pattern.get(), instrument, source);
  }
  const double from = view.x_left(), to = view.x_right();

  // The line is the marked one nearest the middle of the range; unmarked,
  // the highest count in it.
  double position = std::numeric_limits<double>::quiet_NaN();
  std::string label;
  for (const line_mark& m : line_marks_of(view))
    if (m.two_theta >= from && m.two_theta <= to &&
        (!std::isfinite(position) || std::fabs(m.two_theta - 0.5 * (from + to)) < std::fabs(position - 0.5 * (from + to)))) {
      position = m.two_theta;
      label = m.label;
    }
  if (!std::isfinite(position))
    if (auto* profile = dynamic_cast<xy_data_3*>(find_existing(*pattern.get(), "xy_yobs"))) {
      float highest = -std::numeric_limits<float>::infinity();
      for (int i = 0; i < profile->n; ++i) {
        const double x = profile->x_of(i);
        const float y = profile->y[profile->y.base() + i];
        if (x >= from && x <= to && y > highest) {
          highest = y;
          position = x;
        }
      }
      label = format_number("%.3f", position) + " deg";
    }
  if (!std::isfinite(position)) {
    tell(view, path_of(*pattern.get()) + ": the view's range " + format_number("%.3f", from) + " to " +
                   format_number("%.3f", to) + " deg holds none of its points");
    return;
  }
  // The line and its reference take two of the loaded files' places.
  const int maximum = get_int_named(*app, "mBax_num_files");
  const assoc_class* loaded = find(*app, "xAdd_recs");
  if (const int count = loaded ? loaded->child_count() : 0; count + 2 > maximum) {
    tell(view, command + " makes two files, the line and its reference: " + std::to_string(count) + " of at most " +
                   std::to_string(maximum) + " are loaded");
    return;
  }

  const std::string path = free_path(*app, path_of(*pattern.get()), label);
  const std::string reference_path =
      (std::filesystem::path(path).parent_path() / (std::filesystem::path(path).stem().string() + "_instrument.xdd"))
          .string();
  std::string why;
  node_watch line(line_window_file(*app, *pattern.get(), path, from, to, why));
  node_watch reference(line ? line_window_file(*app, *pattern.get(), reference_path, from, to, why) : nullptr);
  if (!line || !reference || !put_synthesised_reference(*reference.get(), instrument, position, why)) {
    take_out(line);
    take_out(reference);
    tell(view, path_of(*pattern.get()) + ": " + command + ": " + why);
    return;
  }
  assoc_class* tie = find(*line.get(), "ref_prof");
  const int tied = tie ? tie->set_text_with_limits(reference_path.c_str()) : 3;
  if (tied == 2 || tied == 3 || !line || !reference) {
    take_out(line);
    take_out(reference);
    tell(view, path + ": the synthesised reference could not be tied to it");
    return;
  }
  // Both exist only in memory until they are saved, as a capture does.
  for (node_watch* f : {&line, &reference}) {
    find(*f->get(), "fbutonoff");
    f->get()->set_changed(true);
  }
  xy_yobs_4* chain = chain_of(*line.get());
  std::string limit_why;
  const bool automatic = chain && (chain->ensure_origin(), set_automatic_limit(*chain, limit_why));

  if (assoc_class* history = find(view, "history_dlg")) {
    history->set_text((path + ": the range " + format_number("%.3f", from) + " to " + format_number("%.3f", to) +
                       " deg of " + name_of(*pattern.get()) + ", against a reference synthesised at " +
                       format_number("%.3f", position) + " deg from the instrument function " + source)
                          .c_str());
    if (!automatic && !limit_why.empty())
      history->set_text((path + ": " + limit_why + "; the frequency limit stays at the last frequency").c_str());
  }
  if (TDrawView* profiles = app->new_graph_view()) {
    profiles->add_file(line.get());
    profiles->lines_changed();
    if (auto* families = dynamic_cast<for_dr_vw_3*>(profiles))
      families->show_families(show_bits::observed | show_bits::deconvoluted);
    profiles->show_all();
  }
  if (!line) return;
  if (TDrawView* coefficients = app->new_graph_view()) {
    coefficients->add_file(line.get());
    coefficients->lines_changed();
    if (auto* families = dynamic_cast<for_dr_vw_3*>(coefficients))
      families->toggle_display(view_command::show_coefficients);
  }
}

void clear_line_marks_in_view(TDrawView& view) { clear_line_marks(view); }

void subtract_pattern_background_in_view(TDrawView& view) {
  const std::string command = "Subtract Pattern Background";
  auto* app = dynamic_cast<for_app_3*>(view.app_object());
  assoc_class* chosen = app ? chosen_file(view, command) : nullptr;
  if (!chosen) return;
  node_watch file(chosen);
  const int maximum = get_int_named(*app, "mBax_num_files");
  const assoc_class* loaded = find(*app, "xAdd_recs");
  if (const int count = loaded ? loaded->child_count() : 0; count + 1 > maximum) {
    tell(view, command + " makes a new file: " + std::to_string(count) + " of at most " + std::to_string(maximum) +
                   " are loaded");
    return;
  }
  std::string why;
  node_watch made(background_subtracted_file(*app, *chosen, why));
  if (!made) {
    tell(view, path_of(*file.get()) + ": " + command + ": " + why);
    return;
  }
  find(*made.get(), "fbutonoff");
  if (assoc_class* history = find(view, "history_dlg"))
    history->set_text((path_of(*made.get()) + ": the counts of " + name_of(*file.get()) +
                       " less their background, on the same grid; negative where the noise dips below it")
                          .c_str());
  if (TDrawView* shown = app->new_graph_view()) {
    shown->add_file(made.get());
    shown->lines_changed();
    shown->show_all();
  }
}
