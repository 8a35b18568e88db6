#pragma once

#include <vector>

#include "app/platform/platform.h"

// The part of a polyline inside a rectangle, passed on to a surface as
// runs: each piece that stays inside is one polyline, moved by (dx, dy).
// The points are kept between curves: no allocation per curve.
class clipped_run {
 public:
  clipped_run(platform_types::surface& out, double left, double top, double right, double bottom, int dx = 0,
              int dy = 0)
      : out_(out), left_(left), top_(top), right_(right), bottom_(bottom), dx_(dx), dy_(dy) {}

  // Adds the part of the segment inside to the current run, ending the run
  // where the segment leaves; a segment that comes in from outside starts a
  // run of its own.
  void segment(double x1, double y1, double x2, double y2);
  // Draws the current run (when it has a segment) and starts a new one.
  void flush();
  // The whole polyline (x0, y0, x1, y1, ...), clipped.
  void polyline(const std::vector<int>& xy);

 private:
  platform_types::surface& out_;
  double left_, top_, right_, bottom_;
  int dx_, dy_;
  std::vector<int> run_;
};
