#include "app/views/figure_export.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <set>

#include "app/platform/figure_file.h"
#include "app/views/TDrawView.h"
#include "app/views/axis_ticks.h"
#include "app/views/colors_3.h"
#include "app/views/for_dr_vw_3.h"
#include "app/views/paper_surface.h"
#include "app/views/view_line_9.h"
#include "core/error_message.h"
#include "xrd/chain/xy_yobs_4.h"
#include "xrd/plots/plot_3.h"

namespace {

using platform_types::colour;
using platform_types::text_anchor;

constexpr colour paper{255, 255, 255};
constexpr colour ink{0, 0, 0};
// The size of a figure a view without a window proposes.
constexpr platform_types::figure_size fallback_size{640, 400, 96};

const char* file_name(assoc_class* file) {
  const char* name = file ? file->get_text() : nullptr;
  return name ? name : "";
}

// Drops characters from the end until the text with "..." fits `room`.
std::string shortened(const platform_types::surface& s, std::string text, int size, int room) {
  if (s.text_width(text, size) <= room) return text;
  while (!text.empty() && s.text_width(text + "...", size) > room) {
    // A whole UTF-8 character at a time.
    while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) text.pop_back();
    if (!text.empty()) text.pop_back();
  }
  return text + "...";
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

std::vector<figure_export::legend_entry> figure_export::legend() {
  std::vector<legend_entry> out;
  colors_3* slots = colour_slots(view_);
  for (assoc_class* file : view_.files())
    out.push_back({file_name(file), slots ? slots->colour_of(file) : colors_3::no_slot});
  return out;
}

void figure_export::draw(platform_types::surface& s, double scale) {
  // The limits the curves will be drawn in, before they set the margins.
  view_.update_curves();
  const int w = s.width(), h = s.height();
  auto scaled = [scale](double v) { return std::max(1, static_cast<int>(std::lround(v * scale))); };
  const int font = scaled(12), gap = scaled(6), tick = scaled(5), pen = scaled(1), swatch = scaled(24);
  // A text's baseline sits this far below its cap height's middle.
  const int half_cap = font * 7 / 20;
  const int descent = font / 5;

  const std::string x_text = x_caption(), y_text = y_caption();
  std::vector<legend_entry> entries = legend();

  // The margins: the y caption above the plot, the x numbers and caption
  // below it, the y numbers left of it and the legend right of it.
  const int top = gap + font + gap;
  const int bottom = tick + gap + font + gap + font + gap;
  const int plot_h = std::max(h - top - bottom, 1);
  const axis_ticks y_ticks = axis_ticks::choose(view_.y1, view_.y2, std::min(10, plot_h / (3 * font)));
  int widest = 0;
  for (const std::string& l : y_ticks.labels) widest = std::max(widest, s.text_width(l, font));
  const int left = gap + widest + gap + tick + pen;
  int legend_w = 0;
  if (!entries.empty()) {
    // Long names give way to the plot beyond two fifths of the width.
    const int room = std::max(w * 2 / 5 - 4 * gap - swatch, font);
    for (legend_entry& e : entries) {
      e.name = shortened(s, e.name, font, room);
      legend_w = std::max(legend_w, s.text_width(e.name, font));
    }
    legend_w += 4 * gap + swatch;
  }
  const int right = std::max(legend_w, gap + font);
  const int plot_w = std::max(w - left - right, 1);
  // As many x numbers as fit side by side with room between them.
  axis_ticks x_ticks;
  for (int most = std::min(10, plot_w / (2 * font)); most >= 2; --most) {
    x_ticks = axis_ticks::choose(view_.x1, view_.x2, most);
    int longest = 0;
    for (const std::string& l : x_ticks.labels) longest = std::max(longest, s.text_width(l, font));
    if (static_cast<int>(x_ticks.values.size()) * (longest + font) <= plot_w) break;
  }

  s.set_fill(paper);
  s.fill_rect(0, 0, w, h);
  paper_surface plot(s, left, top, plot_w, plot_h, scale);
  view_.draw_curves(plot, plot_w, plot_h);

  // The frame just outside the plot's pixels, so that it hides no curve.
  s.set_pen(ink, pen, platform_types::pen_style::solid);
  s.rectangle(left - 1, top - 1, left + plot_w, top + plot_h);
  s.set_text_colour(ink);
  // The ticks where the curves' own mapping puts their values.
  win_lims_9 mapping = view_;
  mapping.set_pixels(plot_w, plot_h);
  mapping.recompute_scale();
  for (std::size_t i = 0; i < x_ticks.values.size(); ++i) {
    const int x = left + mapping.x_pixel(x_ticks.values[i]);
    s.line(x, top + plot_h, x, top + plot_h + tick);
    s.placed_text(x, top + plot_h + tick + gap + font - descent, x_ticks.labels[i], text_anchor::middle, font);
  }
  for (std::size_t i = 0; i < y_ticks.values.size(); ++i) {
    const int y = top + mapping.y_pixel(y_ticks.values[i]);
    s.line(left - 1 - tick, y, left - 1, y);
    s.placed_text(left - 1 - tick - gap, y + half_cap, y_ticks.labels[i], text_anchor::end, font);
  }
  s.placed_text(left + plot_w / 2, h - gap - descent, x_text, text_anchor::middle, font);
  s.placed_text(left - 1, top - gap - descent, y_text, text_anchor::start, font);

  // The legend: a stroke of each file's colour and its name, one a line,
  // as many as the plot's height holds.
  const int row = font * 3 / 2;
  const int lx = left + plot_w + 2 * gap;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const int baseline = top + font + static_cast<int>(i) * row;
    if (baseline > top + plot_h) break;
    s.set_pen(readable_on_white(entries[i].colour), scaled(2), platform_types::pen_style::solid);
    s.line(lx, baseline - half_cap, lx + swatch, baseline - half_cap);
    s.placed_text(lx + swatch + gap, baseline, entries[i].name, text_anchor::start, font);
  }
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
