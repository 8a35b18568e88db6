#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// What a graph view shows at one step of its zoom history: the limits, and
// the y fixes that were on then, so that going back to a view whose y
// followed the data lets it follow again.
struct view_limits {
  double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
  std::uint32_t y_fixes = 0;
  bool operator==(const view_limits&) const = default;
};

// The zoom history of a view: Back returns to the limits before the last
// zoom, Forward to those Back left. A zoom after Back drops what Forward
// had. The steps of one run (the turns of the wheel, the steps of a held
// control-bar button) with no other gesture between them make one step.
class zoom_history {
 public:
  // The oldest steps go beyond this: a long session keeps a bounded list.
  static constexpr std::size_t most_steps = 100;

  // A zoom of run `run` (0: a zoom of its own) took the limits from `before`
  // to `now`. A zoom that changed nothing is no step.
  void record(const view_limits& before, const view_limits& now, int run = 0);
  // Another gesture came between: the next zoom of a run is a step of its own.
  void end_run() { run_ = 0; }
  bool can_go_back() const { return !back_.empty(); }
  bool can_go_forward() const { return !forward_.empty(); }
  // The limits to show instead of `now`, which the opposite direction then
  // returns to. Only asked when there is a step that way.
  view_limits back(const view_limits& now);
  view_limits forward(const view_limits& now);

 private:
  std::vector<view_limits> back_;
  std::vector<view_limits> forward_;
  int run_ = 0;
};
