#include "cli/null_platform.h"

#include <ostream>

namespace {

// The size of a view that nobody sees. A report reads the view's x range
// and a figure is drawn at a size of its own, so no result depends on it.
constexpr int view_width = 1000;
constexpr int view_height = 600;

}  // namespace

void null_platform::message(platform_types::box_kind, const std::string&, const std::string& text) {
  err_ << text << '\n';
}

bool null_platform::ask_yes_no(const std::string&, const std::string& text) {
  err_ << text << " (answered no)\n";
  return false;
}

bool null_platform::write_figure(const std::string& path, const platform_types::figure_size&,
                                 const std::function<void(platform_types::surface&)>&, std::string& why) {
  why = path + ": Cannot write file: the batch tool writes its figures itself";
  return false;
}

int null_platform::frame_width(frame_id) const { return view_width; }
int null_platform::frame_height(frame_id) const { return view_height; }
