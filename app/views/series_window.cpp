#include "app/views/series_window.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "app/views/view_look.h"

namespace {

class series_window : public platform_types::frame_events {
 public:
  explicit series_window(series_plot plot) : plot_(std::move(plot)) {}

  void on_paint(platform_types::surface& s) override { plot_.draw(s, view_look::current()); }
  void on_size(int, int) override {
    if (platform* p = current_platform(); p && frame_ != 0) p->invalidate_frame(frame_);
  }
  void on_mouse(const platform_types::mouse_event& e) override {
    if (e.action == platform_types::mouse_action::press && e.button == platform_types::mouse_button::right)
      choose_series_column(frame_);
  }
  void on_activate(bool active) override {
    if (active) show_hint();
  }
  bool on_close() override {
    closed_ = true;
    return true;
  }

  std::string title() const { return plot_.table_name() + ": " + plot_.column(); }
  void show_hint() const {
    if (platform* p = current_platform()) p->set_status_text(0, plot_.hint() + "; right-click for another column");
  }

  platform* on_ = nullptr;
  platform::frame_id frame_ = 0;
  bool closed_ = false;
  series_plot plot_;
};

// The windows open, each kept alive while its frame may still call it: a
// closed one goes when the next one opens.
std::vector<std::unique_ptr<series_window>>& windows() {
  static std::vector<std::unique_ptr<series_window>> open;
  return open;
}

series_window* window_of(platform::frame_id frame) {
  for (const auto& w : windows())
    if (!w->closed_ && w->on_ == current_platform() && w->frame_ == frame) return w.get();
  return nullptr;
}

std::string marked(std::string text, bool current) { return current ? text + "  (shown)" : text; }

}  // namespace

platform::frame_id open_series_window(series_plot plot) {
  platform* p = current_platform();
  if (!p) return 0;
  std::erase_if(windows(), [](const auto& w) { return w->closed_; });
  auto window = std::make_unique<series_window>(std::move(plot));
  window->on_ = p;
  window->frame_ = p->create_frame(window->title(), window.get());
  if (window->frame_ == 0) return 0;
  const platform::frame_id frame = window->frame_;
  windows().push_back(std::move(window));
  p->activate_frame(frame);
  // Said once more: activating may come before the window is listed.
  if (series_window* w = window_of(frame)) w->show_hint();
  return frame;
}

series_plot* series_window_plot(platform::frame_id frame) {
  series_window* w = window_of(frame);
  return w ? &w->plot_ : nullptr;
}

std::vector<platform::frame_id> series_windows() {
  std::vector<platform::frame_id> out;
  for (const auto& w : windows())
    if (!w->closed_ && w->on_ == current_platform()) out.push_back(w->frame_);
  return out;
}

bool choose_series_column(platform::frame_id frame) {
  series_window* w = window_of(frame);
  platform* p = current_platform();
  if (!w || !p) return false;
  series_plot& plot = w->plot_;
  const std::vector<std::string>& columns = plot.table().columns;
  std::vector<platform_types::menu_item> items;
  for (std::size_t c = 0; c < columns.size(); ++c)
    if (plot.table().numeric[c]) {
      const int id = series_choice::first_column + static_cast<int>(c);
      items.push_back({id, marked(columns[c], columns[c] == plot.column()), "", {}});
    }
  items.push_back({});
  items.push_back({series_choice::against_index, marked("Against scan index", !plot.against_temperature()), "", {}});
  if (plot.table().has_temperatures())
    items.push_back(
        {series_choice::against_temperature, marked("Against temperature", plot.against_temperature()), "", {}});
  // At the mouse, which is where the press was.
  const int chosen = p->popup_menu(platform_types::window_ref::frame(frame), -1, -1, items);
  // The popup ran an event loop: the window may have gone meanwhile.
  w = window_of(frame);
  if (!w || chosen == 0) return false;
  bool changed = false;
  if (chosen == series_choice::against_index || chosen == series_choice::against_temperature)
    changed = w->plot_.choose_temperature(chosen == series_choice::against_temperature);
  else if (chosen >= series_choice::first_column &&
           chosen < series_choice::first_column + static_cast<int>(columns.size()))
    changed = w->plot_.choose_column(columns[static_cast<std::size_t>(chosen - series_choice::first_column)]);
  if (changed) series_window_changed(frame);
  return changed;
}

void series_window_changed(platform::frame_id frame) {
  series_window* w = window_of(frame);
  platform* p = current_platform();
  if (!w || !p) return;
  p->set_frame_title(frame, w->title());
  w->show_hint();
  p->invalidate_frame(frame);
}

void close_series_windows() {
  platform* p = current_platform();
  for (const auto& w : windows())
    if (!w->closed_ && p && w->on_ == p) {
      w->closed_ = true;
      p->destroy_frame(w->frame_);
    }
  windows().clear();
}
