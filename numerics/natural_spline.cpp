#include "numerics/natural_spline.h"

#include <utility>

natural_spline::natural_spline(std::vector<double> x, std::vector<double> y)
    : x_(std::move(x)), y_(std::move(y)), y2_(x_.size(), 0.0) {
  const std::size_t n = x_.size();
  if (n < 3) return;
  // The tridiagonal system of the second derivatives, solved forward and
  // back; u holds the eliminated right-hand sides.
  std::vector<double> u(n, 0.0);
  for (std::size_t i = 1; i + 1 < n; ++i) {
    const double sig = (x_[i] - x_[i - 1]) / (x_[i + 1] - x_[i - 1]);
    const double p = sig * y2_[i - 1] + 2.0;
    y2_[i] = (sig - 1.0) / p;
    const double slopes = (y_[i + 1] - y_[i]) / (x_[i + 1] - x_[i]) - (y_[i] - y_[i - 1]) / (x_[i] - x_[i - 1]);
    u[i] = (6.0 * slopes / (x_[i + 1] - x_[i - 1]) - sig * u[i - 1]) / p;
  }
  y2_[n - 1] = 0.0;
  for (std::size_t k = n - 1; k-- > 0;) y2_[k] = y2_[k] * y2_[k + 1] + u[k];
}

double natural_spline::operator()(double x) {
  const std::size_t n = x_.size();
  if (n == 0) return 0.0;
  if (n == 1) return y_[0];
  if (piece_ + 1 >= n || x < x_[piece_]) piece_ = 0;
  while (piece_ + 2 < n && x >= x_[piece_ + 1]) ++piece_;
  const std::size_t lo = piece_, hi = piece_ + 1;
  const double h = x_[hi] - x_[lo];
  const double a = (x_[hi] - x) / h;
  const double b = (x - x_[lo]) / h;
  return a * y_[lo] + b * y_[hi] + ((a * a * a - a) * y2_[lo] + (b * b * b - b) * y2_[hi]) * (h * h) / 6.0;
}
