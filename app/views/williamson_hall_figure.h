#pragma once

#include <string>
#include <vector>

#include "app/platform/platform.h"

// A Williamson–Hall plot of a whole pattern's lines, drawn as the figures
// for a document are (white paper, a framed plot with numbered axes, a
// legend right of it) on any surface: an SVG drawing for the batch tool, a
// window of the workbench. Only data comes in, so that whoever computed the
// points (β* against d*, β_L* against d*, β_G*² against d*², a modified
// plot's x) draws them alike.

// One set of points in one colour and marker, with its fitted line.
struct williamson_hall_series {
  std::string name;                 // in the legend: "integral breadth β*"
  std::vector<double> x, y, sigma;  // sigma: y's standard uncertainty, drawn ±; NaN (or none): no bar
  std::vector<std::string> labels;  // one per point, written beside it: the line's hkl, "110"
  bool has_line = false;            // the fitted line y = intercept + slope x
  double intercept = 0.0, slope = 0.0;
};

struct williamson_hall_figure_data {
  std::string title;  // over the figure: "fe_pattern.csv: Williamson-Hall"
  std::string x_caption = "d* (1/Å)", y_caption = "β* (1/Å)";
  std::vector<williamson_hall_series> series;
};

// Draws the figure over all of `s`; `scale` sizes texts, pens, markers and
// margins (1 as on a 96 dpi screen). The x axis starts at 0, where the
// intercept is read, and each fitted line runs from there to the plot's
// right edge. A point with a non-finite x or y is left out, and so is a
// series left without points (its line and legend row too); with none at
// all the frame holds a note that there are no lines to plot.
void draw_williamson_hall(platform_types::surface& s, const williamson_hall_figure_data& d, double scale = 1.0);

// The figure as a whole SVG document of width × height pixels.
std::string williamson_hall_svg(const williamson_hall_figure_data& d, int width, int height);
