#include "app/analysis/size_strain_command.h"

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "app/text/text_file.h"
#include "app/text/txt_docs_3.h"
#include "app/views/TDrawView.h"
#include "app/views/view_line_9.h"
#include "core/error_message.h"
#include "core/paths.h"
#include "core/text_helpers.h"
#include "xrd/chain/xy_yobs_4.h"
#include "xrd/plots/plot_view.h"
#include "xrd/sizes/coefficient_spread.h"
#include "xrd/sizes/line_analysis.h"
#include "xrd/sizes/phase_origin.h"
#include "xrd/sizes/size_strain_report.h"

namespace {

const char* path_of(assoc_class& file) {
  assoc_class* p = find_existing(file, "xDdd_path_name");
  const char* text = p ? p->get_text() : nullptr;
  return text ? text : "";
}

xy_yobs_4* chain_of(assoc_class& file) { return dynamic_cast<xy_yobs_4*>(find_existing(file, "xy_yobs")); }

// The view's files that have a reference profile, in the view's order.
std::vector<assoc_class*> samples_of(TDrawView& view) {
  std::vector<assoc_class*> out;
  for (view_line_9* line : view.lines()) {
    assoc_class* file = line ? line->file() : nullptr;
    xy_yobs_4* chain = file ? chain_of(*file) : nullptr;
    if (chain && chain->reference_profile()) out.push_back(file);
  }
  return out;
}

void tell(TDrawView& view, const std::string& text) {
  global_error_message().append(text.c_str());
  show_error(&view);
}

// The origins of the files whose fBft_origin asks for it, placed where
// B(L) is smallest before anything reads their coefficients; the views
// then draw the transforms about the same origin.
void place_origins(TDrawView& view, const std::vector<assoc_class*>& samples) {
  bool moved = false;
  for (assoc_class* file : samples) {
    xy_yobs_4& chain = *chain_of(*file);
    if (!chain.origin_where_b_smallest()) continue;
    const placed_origin placed = place_origin_where_b_smallest(chain);
    if (!placed.placed) {
      tell(view, std::string(path_of(*file)) + ": the origin is not placed where |B(L)| is smallest: " +
                     placed.why_not);
      continue;
    }
    moved = moved || placed.after != placed.before;
  }
  if (moved) view.redraw();
}

}  // namespace

void show_size_strain(TDrawView& view) {
  const std::vector<assoc_class*> samples = samples_of(view);
  if (samples.empty() || samples.size() > 2) {
    tell(view, samples.empty() ? "Size and strain: no file of this view has a reference profile"
                               : "Size and strain takes one file with its reference, or two orders of one "
                                 "reflection: this view has " +
                                     std::to_string(samples.size()) + " files with a reference");
    return;
  }
  std::vector<line_analysis> lines;
  std::vector<std::string> names;
  place_origins(view, samples);
  std::vector<xy_yobs_3*> chains;
  for (assoc_class* file : samples) {
    xy_yobs_4* chain = chain_of(*file);
    chains.push_back(chain);
    lines.push_back(analyse_line(*chain));
    if (!lines.back().refused.empty()) {
      tell(view, std::string(path_of(*file)) + ": " + lines.back().refused);
      return;
    }
    const char* ref = chain->reference_profile() && chain->reference_profile()->parent()
                          ? path_of(*chain->reference_profile()->parent())
                          : "";
    names.push_back(std::string(path_of(*file)) + " / " + ref);
  }
  warren_averbach_result pair;
  if (lines.size() == 2) {
    pair = warren_averbach(lines[0].coefficients, lines[1].coefficients);
    if (!pair.refused.empty()) {
      tell(view, pair.refused);
      return;
    }
  }
  const warren_averbach_result* two = lines.size() == 2 ? &pair : nullptr;
  const size_strain_spread spread = spread_of(chains, lines, two);
  const std::string text = size_strain_text(names, lines, two, &spread);
  // The summary, up to the first blank line, goes to the history line by line.
  if (assoc_class* history = find(view, "history_dlg")) {
    std::istringstream summary(text);
    for (std::string line; std::getline(summary, line) && !line.empty();) history->set_text(line.c_str());
  }
  if (txt_docs_3* docs = text_documents(view)) docs->open_document("Size and strain", "", text_file_content{text});
}

void draw_size_coefficients(TDrawView& view, plot_surface& s) {
  const std::vector<assoc_class*> samples = samples_of(view);
  if (samples.size() != 2) return;
  fourier_coefficients c[2];
  std::string why;
  for (int i = 0; i < 2; ++i)
    if (!coefficients_of(*chain_of(*samples[static_cast<std::size_t>(i)]), c[i], why)) return;
  const warren_averbach_result pair = warren_averbach(c[0], c[1]);
  if (!pair.refused.empty() || pair.rows.size() < 2) return;
  std::vector<double> x, y;
  for (const warren_averbach_row& row : pair.rows) {
    x.push_back(row.L);
    y.push_back(row.AS);
  }
  curve_look look;
  look.line_width = 2;
  look.line_style = curve_look::style::dash;
  s.curve(x.data(), y.data(), static_cast<int>(x.size()), look);
}

void set_automatic_limits(TDrawView& view) {
  const std::vector<assoc_class*> samples = samples_of(view);
  if (samples.empty()) {
    tell(view, "Automatic frequency limit: no file of this view has a reference profile");
    return;
  }
  place_origins(view, samples);
  assoc_class* history = find(view, "history_dlg");
  for (assoc_class* file : samples) {
    xy_yobs_4& chain = *chain_of(*file);
    // The estimate is what the limit is set from; its transforms are
    // computed once and kept.
    const noise_estimate e = estimate_noise(chain);
    std::string why;
    if (!set_automatic_limit(chain, why)) {
      tell(view, std::string(path_of(*file)) + ": " + why);
      continue;
    }
    if (history) history->set_text(automatic_limit_line(path_of(*file), chain, e.snr_at_limit).c_str());
  }
  view.redraw();
}

std::string automatic_limit_line(const std::string& path, xy_yobs_3& sample, double snr) {
  const double index = sample.limit_index();
  std::string line = path + ": automatic frequency limit " + format_number("%.0f", index) +
                     format_number(" (%.4f cycles/deg", sample.limit_frequency());
  if (sample.wavelength() > 0.0)
    line += format_number(", L = %.1f A", index * sample.fft.frequency_axis.xd * sample.wavelength_factor());
  // Data with no noise at all (computed, not measured) leave A(L) exact.
  if (!std::isfinite(snr)) return line + "), signal-to-noise not determined (no noise in the data)";
  return line + format_number("), signal-to-noise %.1f", snr);
}
