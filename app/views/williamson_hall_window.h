#pragma once

#include <string>

#include "app/platform/platform.h"
#include "app/views/williamson_hall_figure.h"

// A window of the workbench showing a Williamson–Hall figure, drawn again
// at the window's size whenever it is painted. Each opens a frame of its own
// and lives until the user closes it or the workbench ends; a figure has no
// file behind it, so closing asks nothing. Returns the frame (0 when none
// could be made).
platform::frame_id open_williamson_hall_window(const williamson_hall_figure_data& figure);

// The figure a Williamson–Hall window shows; null for a frame that is no
// such window (or was closed).
const williamson_hall_figure_data* williamson_hall_window_figure(platform::frame_id frame);
