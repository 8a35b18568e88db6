#include "app/views/williamson_hall_window.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace {

class williamson_hall_window : public platform_types::frame_events {
 public:
  explicit williamson_hall_window(williamson_hall_figure_data figure) : figure_(std::move(figure)) {}

  void on_paint(platform_types::surface& s) override { draw_williamson_hall(s, figure_); }
  void on_size(int, int) override {
    if (platform* p = current_platform(); p && frame_ != 0) p->invalidate_frame(frame_);
  }
  bool on_close() override {
    closed_ = true;
    return true;
  }

  platform* on_ = nullptr;
  platform::frame_id frame_ = 0;
  bool closed_ = false;
  williamson_hall_figure_data figure_;
};

// The windows open, each kept alive while its frame may still call it: a
// closed one goes when the next one opens.
std::vector<std::unique_ptr<williamson_hall_window>>& windows() {
  static std::vector<std::unique_ptr<williamson_hall_window>> open;
  return open;
}

}  // namespace

platform::frame_id open_williamson_hall_window(const williamson_hall_figure_data& figure) {
  platform* p = current_platform();
  if (!p) return 0;
  std::erase_if(windows(), [](const auto& w) { return w->closed_; });
  auto window = std::make_unique<williamson_hall_window>(figure);
  window->on_ = p;
  window->frame_ = p->create_frame(figure.title, window.get());
  if (window->frame_ == 0) return 0;
  const platform::frame_id frame = window->frame_;
  windows().push_back(std::move(window));
  p->activate_frame(frame);
  return frame;
}

const williamson_hall_figure_data* williamson_hall_window_figure(platform::frame_id frame) {
  for (const auto& w : windows())
    if (!w->closed_ && w->on_ == current_platform() && w->frame_ == frame) return &w->figure_;
  return nullptr;
}
