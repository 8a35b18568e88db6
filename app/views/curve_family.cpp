#include "app/views/curve_family.h"

#include <cstring>

namespace {

using platform_types::pen_style;

// Profiles and transforms are never shown together, but every family still
// has a pattern of its own, so that a legend's swatch names one family.
// A(L), like the observed profile, is the measured curve of its view and is
// solid; its size part is drawn dashed over it.
constexpr curve_family families[] = {
    {"yobs", "observed", pen_style::solid},
    {"deconv", "deconvoluted", pen_style::dash},
    {"inv", "inverse", pen_style::dot},
    {"re", "FT real", pen_style::dash_dot},
    {"im", "FT imaginary", pen_style::dash_dot_dot},
    {"mod", "FT modulus", pen_style::long_dash},
    {"br_re", "quotient real", pen_style::long_dash_dot},
    {"br_im", "quotient imaginary", pen_style::long_dash_dot_dot},
    {"br_mod", "quotient modulus", pen_style::long_dash_short_dash},
    {"al", "A(L)", pen_style::solid},
};

}  // namespace

const curve_family* curve_family::of(const char* plot_class) {
  if (!plot_class) return nullptr;
  for (const curve_family& f : families)
    if (std::strcmp(f.plot, plot_class) == 0) return &f;
  return nullptr;
}
