#pragma once

#include <string>

#include "app/platform/platform.h"

// What tells the curves of one file apart: each family of the chain (by the
// class name of the plot that draws it) has a short name for legends and a
// line pattern of its own, the same on the screen and in figures.
struct curve_family {
  const char* plot;    // "yobs"
  const char* name;    // "observed"
  platform_types::pen_style style;

  // The family a plot draws, or null for the markers (origin, background,
  // limit), which are handles for the mouse rather than curves.
  static const curve_family* of(const char* plot_class);
};

// A legend's line: the text, and the colour and pattern its swatch is drawn in.
struct legend_entry {
  std::string name;
  platform_types::colour colour;  // as on a black screen
  platform_types::pen_style style = platform_types::pen_style::solid;
  bool operator==(const legend_entry&) const = default;
};
