#pragma once

#include <iosfwd>

#include "app/batch/batch_analysis.h"

class application_session;

// plot: the view that report would make, drawn as the workbench's File >
// Export Figure draws it, written as an SVG drawing to the request's output
// or, without one, to `out`. A PNG needs the workbench's pictures: asked
// for one, it says so. Answers the exit status: 0 done, 1 refused.
int batch_plot(application_session& session, const analysis_request& request, std::ostream& out, std::ostream& err);

// Reads "WIDTHxHEIGHT" (pixels, within the figures' limits); false when the
// text is not that.
bool read_figure_size(const char* text, int& width, int& height);
