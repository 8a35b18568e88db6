#pragma once

#include "app/platform/platform.h"

// How every graph view is drawn: with axes round the plot, with a legend of
// its curves, on black (the default) or on white. The choices hold for all
// views at once and are kept between runs in the platform's settings.
struct view_look {
  bool axes = true;
  bool legend = true;
  bool light = false;

  // The keys of the settings.
  static constexpr const char* axes_key = "views/axes";
  static constexpr const char* legend_key = "views/legend";
  static constexpr const char* light_key = "views/light_background";

  // The look of this run.
  static view_look& current();
  // The current look from the platform's settings; a setting never made
  // keeps the default.
  static void load(const platform& p);
  // Keeps the current look in the platform's settings.
  static void save(platform& p);

  platform_types::colour background() const;
  // Frames, ticks, numbers, captions and legend texts.
  platform_types::colour ink() const;
  // A curve's colour on this background: on white the figures' darkened
  // colour, and white (the colour of no file) as black.
  platform_types::colour on_background(platform_types::colour c) const;
};
