#pragma once

#include <string>
#include <vector>

#include "app/platform/platform.h"
#include "app/views/curve_family.h"

class TDrawView;

// What a figure's size may be: in pixels each way, and its resolution.
namespace figure_limits {
inline constexpr int min_pixels = 100;
inline constexpr int max_pixels = 10000;
inline constexpr int min_dpi = 30;
inline constexpr int max_dpi = 1200;
// "" when the size is within the limits, else why not.
std::string check(const platform_types::figure_size& size);
}  // namespace figure_limits

// A graph view drawn for a document: on white paper, the view's curves in
// a plot framed by axes with ticks and numbers, the axes captioned by the
// families shown, and a legend of the curves drawn (file and family, in the
// file's colour and the family's pattern). The screen draws the same axes
// and legend entries; the curves are drawn by the view's own drawing,
// mapped into the plot.
class figure_export {
 public:
  explicit figure_export(TDrawView& view) : view_(view) {}

  using legend_entry = ::legend_entry;

  // "2θ (deg)" for the profiles; for the transforms and quotients "f
  // (1/deg)", or "L (Å)" when their files convert frequencies to column
  // lengths with a wavelength; "L (Å)" for A(L) alone.
  std::string x_caption();
  // "Intensity" for the profiles, else the captions of the families shown.
  std::string y_caption();
  // One entry per curve the view draws, as the screen's legend has them.
  std::vector<legend_entry> legend();

  // Draws the figure over all of `s`. `scale` sizes texts, pens and
  // margins: 1 as on a 96 dpi screen.
  void draw(platform_types::surface& s, double scale = 1.0);

 private:
  TDrawView& view_;
};

// File > Export Figure on a view: asks for a PNG or SVG file, then for the
// figure's size (the view's, proposed), and writes it; a refusal is shown.
void export_figure(TDrawView& view);
