#include "app/batch/batch_plot.h"

#include <cstdlib>
#include <ostream>
#include <string>

#include "app/platform/figure_file.h"
#include "app/platform/svg_surface.h"
#include "app/views/TDrawView.h"
#include "app/views/figure_export.h"

namespace {

// The workbench's view of a scan, near enough, when no size is given.
constexpr platform_types::figure_size default_size{800, 500, 96};

}  // namespace

bool read_figure_size(const char* text, int& width, int& height) {
  if (!text) return false;
  char* end = nullptr;
  const long w = std::strtol(text, &end, 10);
  if (end == text || (*end != 'x' && *end != 'X')) return false;
  const char* second = end + 1;
  const long h = std::strtol(second, &end, 10);
  if (end == second || *end != '\0') return false;
  platform_types::figure_size size{static_cast<int>(w), static_cast<int>(h), default_size.dpi};
  // Beyond int, a number is out of the limits all the same.
  if (w != size.width || h != size.height || !figure_limits::check(size).empty()) return false;
  width = size.width;
  height = size.height;
  return true;
}

int batch_plot(application_session& session, const analysis_request& request, std::ostream& out, std::ostream& err) {
  const std::string& output = request.output;
  if (!output.empty()) {
    switch (figure_format_of(output)) {
      case figure_format::svg:
        break;
      case figure_format::png:
        err << output << ": Cannot write this file type here; a PNG figure is drawn by the workbench "
                         "(File > Export Figure), xrdfourier-cli plot writes SVG (.svg)\n";
        return 1;
      case figure_format::other:
        err << output << ": Cannot write this file type; plot writes SVG drawings (.svg)\n";
        return 1;
    }
  }
  TDrawView* view = prepared_view(session, request, err);
  if (!view) return 1;
  platform_types::figure_size size = default_size;
  if (request.figure_width > 0 && request.figure_height > 0) {
    size.width = request.figure_width;
    size.height = request.figure_height;
  }
  svg_surface drawing(size.width, size.height);
  figure_export(*view).draw(drawing);
  return write_result(output, drawing.document(), 0, out, err);
}
