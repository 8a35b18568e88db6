#pragma once

#include <string>

// How a project keeps the series tables shown in windows of their own: one
// text record under "xdds" ("sBeries_shown"), each window's table path (in
// full), its column and whether it is drawn against temperature. The record
// is one word, as a project's values are: the parts are written with every
// character but letters, digits and "._/-" as %XX.

// The record of the series windows open now; "" when none is.
std::string series_windows_record();

// Opens again the windows of a record, each table looked for as the
// project's data files are (where it was, then below and beside the
// project), with its column and x. A table that cannot be read is refused
// as Load Data refuses it; a column it no longer has leaves the first.
void open_recorded_series_windows(const std::string& record, const std::string& project_path);
