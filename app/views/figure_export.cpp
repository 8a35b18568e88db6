#include "app/views/figure_export.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>

#include "app/platform/figure_file.h"
#include "app/views/TDrawView.h"
#include "app/views/axis_ticks.h"
#include "app/views/colors_3.h"
#include "app/views/figure_layout.h"
#include "app/views/for_dr_vw_3.h"
#include "app/views/paper_surface.h"
#include "app/views/view_line_9.h"
#include "core/error_message.h"
#include "xrd/chain/xy_yobs_4.h"
#include "xrd/plots/plot_3.h"

namespace {

// The size of a figure a view without a window proposes.
constexpr platform_types::figure_size fallback_size{640, 400, 96};

const char* file_name(assoc_class* file) {
  const char* name = file ? file->get_text() : nullptr;
  return name ? name : "";
}

}  // namespace

std::string figure_limits::check(const platform_types::figure_size& size) {
  if (size.width < min_pixels || size.width > max_pixels || size.height < min_pixels || size.height > max_pixels)
    return "A figure is " + std::to_string(min_pixels) + " to " + std::to_string(max_pixels) +
           " pixels wide and high";
  if (size.dpi < min_dpi || size.dpi > max_dpi)
    return "A figure's resolution is " + std::to_string(min_dpi) + " to " + std::to_string(max_dpi) + " dpi";
  return "";
}

std::string figure_export::x_caption() {
  const std::uint32_t bits = view_.show_bits();
  if (!(bits & show_bits::frequency_families)) return "2θ (deg)";
  if ((bits & show_bits::frequency_families) == show_bits::coefficients) return "L (Å)";
  // A file with a wavelength shows its transform against column lengths.
  bool lengths = false, frequencies = false;
  for (view_line_9* line : view_.lines()) {
    auto* chain = dynamic_cast<xy_yobs_4*>(line->file() ? find(*line->file(), "xy_yobs") : nullptr);
    if (!chain) continue;
    (chain->wavelength() > 0.0 ? lengths : frequencies) = true;
  }
  if (lengths && frequencies) return "f (1/deg), L (Å)";
  return lengths ? "L (Å)" : "f (1/deg)";
}

std::string figure_export::y_caption() {
  const std::uint32_t bits = view_.show_bits();
  if (!(bits & show_bits::frequency_families))
    return bits & show_bits::counts_per_second ? "Intensity (counts/s)" : "Intensity";
  // The families' captions in the order the lines' plots come (markers,
  // which are no family, left out).
  std::set<std::string> families;
  for (const display_family& f : display_families())
    if (bits & f.bit) families.insert(f.name);
  std::vector<std::string> captions;
  for (view_line_9* line : view_.lines())
    for (plot_3* p : line->plots()) {
      if (!families.count(p->class_name())) continue;
      const std::string caption = p->caption();
      if (std::find(captions.begin(), captions.end(), caption) == captions.end()) captions.push_back(caption);
    }
  // A(L) is drawn by the view, not by a plot of a line.
  if ((bits & show_bits::coefficients) && std::find(captions.begin(), captions.end(), "A(L)") == captions.end())
    captions.push_back("A(L)");
  std::string out;
  for (const std::string& c : captions) out += (out.empty() ? "" : ", ") + c;
  return out;
}

std::vector<legend_entry> figure_export::legend() {
  // The curves a drawing draws: a file without a curve of the families
  // shown (the reference of an A(L) figure) has no entry.
  blank_surface nowhere;
  view_.update_curves();
  view_.draw_curves(nowhere, nowhere.width(), nowhere.height());
  return view_.drawn_curves();
}

void figure_export::draw(platform_types::surface& s, double scale) {
  // The limits the curves will be drawn in, before they set the margins.
  view_.update_curves();
  figure_layout layout(s, scale, false);
  const axis_ticks y_ticks = layout.y_ticks(view_.y1, view_.y2);
  layout.make_room_left(y_ticks);
  const std::vector<legend_entry> entries = legend();
  std::vector<std::string> names;
  for (const legend_entry& e : entries) names.push_back(e.name);
  layout.make_room_right(names);
  const axis_ticks x_ticks = layout.x_ticks(view_.x1, view_.x2);

  layout.draw_paper(s);
  const int left = layout.left, top = layout.top;
  paper_surface plot(s, left, top, layout.plot_w, layout.plot_h, scale);
  view_.draw_curves(plot, layout.plot_w, layout.plot_h);

  // The ticks where the curves' own mapping puts their values.
  win_lims_9 mapping = view_;
  mapping.set_pixels(layout.plot_w, layout.plot_h);
  mapping.recompute_scale();
  layout.draw_axes(
      s, x_ticks, [&](double x) { return left + mapping.x_pixel(x); }, y_ticks,
      [&](double y) { return top + mapping.y_pixel(y); }, x_caption(), y_caption());

  // The legend right of the plot, as many rows as the plot's height holds.
  layout.draw_legend(s, layout.legend_x(), top, top + layout.plot_h, entries, names, readable_on_white);
}

void export_figure(TDrawView& view) {
  platform* p = current_platform();
  if (!p) return;
  const std::vector<assoc_class*> files = view.files();
  platform_types::file_request request;
  request.save = true;
  request.overwrite_prompt = true;
  request.caption = "Export Figure";
  request.filters = {{"PNG Pictures", "*.png"}, {"SVG Drawings", "*.svg"}};
  request.default_extension = "png";
  if (!files.empty()) request.file = std::filesystem::path(file_name(files.front())).stem().string() + ".png";
  request.parent = view.held_window();
  const platform_types::file_answer answer = p->choose_file(request);
  if (answer.result != platform_types::file_answer::status::chosen || answer.paths.empty()) return;
  const std::string& path = answer.paths.front();
  auto refuse = [&view](const std::string& why) {
    global_error_message().append(why.c_str());
    show_error(&view);
  };
  const figure_format format = figure_format_of(path);
  if (format == figure_format::other) {
    refuse(path + ": Cannot write this file type; a figure is a PNG picture (.png) or an SVG drawing (.svg)");
    return;
  }
  platform_types::figure_size size = fallback_size;
  if (view.frame()) {
    size.width = std::clamp(p->frame_width(view.frame()), figure_limits::min_pixels, figure_limits::max_pixels);
    size.height = std::clamp(p->frame_height(view.frame()), figure_limits::min_pixels, figure_limits::max_pixels);
  }
  if (!p->ask_figure_size(size, format == figure_format::png, view.held_window())) return;
  if (const std::string why = figure_limits::check(size); !why.empty()) {
    refuse(why);
    return;
  }
  figure_export figure(view);
  // An SVG drawing has no resolution: its texts and pens are the screen's.
  const double scale = format == figure_format::png ? size.dpi / 96.0 : 1.0;
  std::string why;
  if (!p->write_figure(path, size, [&](platform_types::surface& s) { figure.draw(s, scale); }, why)) refuse(why);
}
