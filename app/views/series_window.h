#pragma once

#include <string>
#include <vector>

#include "app/platform/platform.h"
#include "app/views/series_plot.h"

// A window of the workbench showing a series table as a graph of the
// "series" family (see series_plot), drawn again at the window's size
// whenever it is painted. A table is not a scan: it is no loaded file, so
// the Fourier chain, the captures and the report editor never see it.
// The window lives until the user closes it or the workbench ends; closing
// asks nothing, as the table is only read. When it becomes the active
// window the status bar says what it shows and which rows were left out.
//
// Its column, and whether it is drawn against the scan index or the
// temperature, are chosen from a popup menu, as a file button's choices
// are: a right press in the window (the status bar says so).

// Opens the window of `plot`. Returns the frame (0 when none could be made).
platform::frame_id open_series_window(series_plot plot);

// The plot a series window shows; null for a frame that is no such window
// (or was closed).
series_plot* series_window_plot(platform::frame_id frame);

// The open series windows' frames, in the order they were opened.
std::vector<platform::frame_id> series_windows();

// Shows the popup menu of the window's columns and of what they are drawn
// against, and draws the choice. False when the frame is no series window
// or nothing was chosen.
bool choose_series_column(platform::frame_id frame);

// Closes every series window, as the workbench ends: none may outlive the
// platform whose frames they are.
void close_series_windows();

// Draws the window's plot anew after its column or its x changed: title,
// status bar and picture.
void series_window_changed(platform::frame_id frame);

// Ids of the popup's lines: the columns from the first, then the two x.
namespace series_choice {
inline constexpr int against_index = 1;
inline constexpr int against_temperature = 2;
inline constexpr int first_column = 10;
}  // namespace series_choice
