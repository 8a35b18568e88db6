#pragma once

#include <cstddef>
#include <vector>

// Cubic interpolating spline with free ends (second derivative 0 at both
// ends) over samples at any strictly increasing abscissae: what an
// instrument's export with a drifting step needs to be read at an even step.
// It keeps copies of the samples.
class natural_spline {
 public:
  // x strictly increasing, the same length as y, at least two samples.
  natural_spline(std::vector<double> x, std::vector<double> y);

  // The value at `x`; outside the samples the end pieces are extrapolated.
  // Rising x from one call to the next costs one step of search each.
  double operator()(double x);

 private:
  std::vector<double> x_;
  std::vector<double> y_;
  std::vector<double> y2_;  // second derivatives at the samples
  std::size_t piece_ = 0;   // the last piece used: x_[piece_] <= x < x_[piece_ + 1]
};
