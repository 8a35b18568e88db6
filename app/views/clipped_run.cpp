#include "app/views/clipped_run.h"

#include <cmath>

#include "app/views/figure_layout.h"

void clipped_run::flush() {
  if (run_.size() >= 4) out_.polyline(run_);
  run_.clear();
}

void clipped_run::segment(double x1, double y1, double x2, double y2) {
  double t0 = 0.0, t1 = 1.0;
  if (!clip_segment_to(x1, y1, x2, y2, left_, top_, right_, bottom_, t0, t1)) {
    flush();
    return;
  }
  const double dx = x2 - x1, dy = y2 - y1;
  auto at = [](double a, double d, double t) { return static_cast<int>(std::lround(a + t * d)); };
  if (t0 > 0.0) flush();
  if (run_.empty()) {
    run_.push_back(at(x1, dx, t0) + dx_);
    run_.push_back(at(y1, dy, t0) + dy_);
  }
  run_.push_back(at(x1, dx, t1) + dx_);
  run_.push_back(at(y1, dy, t1) + dy_);
  if (t1 < 1.0) flush();
}

void clipped_run::polyline(const std::vector<int>& xy) {
  run_.clear();
  for (std::size_t i = 0; i + 3 < xy.size(); i += 2) segment(xy[i], xy[i + 1], xy[i + 2], xy[i + 3]);
  flush();
}
