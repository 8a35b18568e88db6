#include "app/views/zoom_history.h"

#include <algorithm>
#include <cmath>

namespace {

// The same view to the eye: turns in and out again round off in the last
// digits.
bool same_view(const view_limits& a, const view_limits& b) {
  const double x = 1e-9 * std::max(std::fabs(a.x2 - a.x1), std::fabs(b.x2 - b.x1));
  const double y = 1e-9 * std::max(std::fabs(a.y2 - a.y1), std::fabs(b.y2 - b.y1));
  return a.y_fixes == b.y_fixes && std::fabs(a.x1 - b.x1) <= x && std::fabs(a.x2 - b.x2) <= x &&
         std::fabs(a.y1 - b.y1) <= y && std::fabs(a.y2 - b.y2) <= y;
}

}  // namespace


void zoom_history::record(const view_limits& before, const view_limits& now, int run) {
  if (before == now) return;
  forward_.clear();
  if (run != 0 && run == run_ && !back_.empty()) {
    // The run's step keeps the limits from before its first turn; a run
    // that came back to them leaves nothing to go back to.
    if (same_view(back_.back(), now)) {
      back_.pop_back();
      run_ = 0;
    }
    return;
  }
  run_ = run;
  back_.push_back(before);
  if (back_.size() > most_steps) back_.erase(back_.begin());
}

view_limits zoom_history::back(const view_limits& now) {
  run_ = 0;
  if (back_.empty()) return now;
  const view_limits to = back_.back();
  back_.pop_back();
  forward_.push_back(now);
  return to;
}

view_limits zoom_history::forward(const view_limits& now) {
  run_ = 0;
  if (forward_.empty()) return now;
  const view_limits to = forward_.back();
  forward_.pop_back();
  back_.push_back(now);
  return to;
}
