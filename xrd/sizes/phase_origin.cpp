#include "xrd/sizes/phase_origin.h"

#include <algorithm>
#include <cmath>

#include "xrd/chain/xy_yobs_3.h"
#include "xrd/curves/xy_data_3.h"
#include "xrd/sizes/line_analysis.h"
#include "xrd/sizes/size_strain.h"

namespace {

constexpr double two_pi = 6.283185307179586;
// How far, in the scan's steps, one search reaches from where the origin
// is: an automatic centroid or a typed origin is off by a fraction of the
// line's width, and each further pass starts again from the last one.
constexpr double reach_steps = 4.0;
// Grid points each side of the origin in one search.
constexpr int grid_half = 200;
// A move below this share of a step is the rounding of the search.
constexpr double settled_steps = 1e-3;
// The range is found again after each move; it settles in one or two.
constexpr int most_passes = 4;
// Without an initial slope, B(L) is judged where A(L) is above this.
constexpr double a_floor = 0.1;

// The chain transforms y(x) e^{2πi f (x − x0)}: a move of x0 by δ turns
// the phase at f by −2π f δ.
double turn_of(double f, double delta) { return -two_pi * f * delta; }

struct index_range {
  std::size_t first = 0, last = 0;  // [first, last)
};

// The points the initial slope is fitted to; without a slope, those from
// the first past L = 0 while A(L) stays above the floor (at least two).
index_range fitted_range(const fourier_coefficients& c) {
  index_range r;
  const std::size_t n = std::min(c.L.size(), c.A.size());
  const area_length size = area_weighted_length(c.L, c.A, c.hook_L);
  if (size.found) {
    // The fit's bounds are values of this axis: compared with a margin of
    // a thousandth of a step.
    const double margin = n > 1 ? 1e-3 * (c.L[1] - c.L[0]) : 0.0;
    for (r.first = 0; r.first < n && c.L[r.first] < size.L_from - margin;) ++r.first;
    for (r.last = r.first; r.last < n && c.L[r.last] <= size.L_to + margin;) ++r.last;
    return r;
  }
  r.first = std::min<std::size_t>(1, n);
  for (r.last = r.first; r.last < n && c.A[r.last] > a_floor;) ++r.last;
  r.last = std::min(std::max(r.last, r.first + 2), n);
  return r;
}

double largest_b_over(const std::vector<double>& B, index_range r) {
  double b = 0.0;
  for (std::size_t i = r.first; i < r.last && i < B.size(); ++i) b = std::max(b, std::fabs(B[i]));
  return b;
}

}  // namespace

void turn_phase(const std::vector<double>& f, std::vector<double>& A, std::vector<double>& B, double delta) {
  const std::size_t n = std::min({f.size(), A.size(), B.size()});
  for (std::size_t i = 0; i < n; ++i) {
    const double phi = turn_of(f[i], delta);
    const double c = std::cos(phi), s = std::sin(phi);
    const double a = A[i], b = B[i];
    A[i] = a * c - b * s;
    B[i] = a * s + b * c;
  }
}

double b_squares_after_move(const std::vector<double>& f, const std::vector<double>& A, const std::vector<double>& B,
                            std::size_t first, std::size_t last, double delta) {
  double sum = 0.0;
  last = std::min({last, f.size(), A.size(), B.size()});
  for (std::size_t i = first; i < last; ++i) {
    const double phi = turn_of(f[i], delta);
    const double b = A[i] * std::sin(phi) + B[i] * std::cos(phi);
    sum += b * b;
  }
  return sum;
}

double origin_move_minimising_b(const std::vector<double>& f, const std::vector<double>& A,
                                const std::vector<double>& B, std::size_t first, std::size_t last, double reach) {
  if (!(reach > 0.0) || !std::isfinite(reach)) return 0.0;
  // A grid rather than a descent: at the fitted range's highest frequencies
  // a move of a few steps turns the phase by more than π, and Σ B² can have
  // a second, false minimum that a descent from the wrong side would find.
  const double h = reach / grid_half;
  std::vector<double> v(2 * grid_half + 1);
  for (int k = -grid_half; k <= grid_half; ++k)
    v[static_cast<std::size_t>(k + grid_half)] = b_squares_after_move(f, A, B, first, last, k * h);
  // Ties go to the smallest move: the origin is not moved for nothing.
  int best = 0;
  for (int k = -grid_half; k <= grid_half; ++k) {
    const double here = v[static_cast<std::size_t>(k + grid_half)];
    const double kept = v[static_cast<std::size_t>(best + grid_half)];
    if (here < kept || (here == kept && std::abs(k) < std::abs(best))) best = k;
  }
  if (best == -grid_half || best == grid_half) return best * h;
  const double y0 = v[static_cast<std::size_t>(best + grid_half - 1)];
  const double y1 = v[static_cast<std::size_t>(best + grid_half)];
  const double y2 = v[static_cast<std::size_t>(best + grid_half + 1)];
  const double curvature = y0 - 2.0 * y1 + y2;
  const double offset = curvature > 0.0 ? 0.5 * (y0 - y2) / curvature : 0.0;
  return (best + std::clamp(offset, -0.5, 0.5)) * h;
}

placed_origin place_origin_where_b_smallest(xy_yobs_3& sample) {
  placed_origin r;
  xy_data_for_3& obs = sample.observed_data();
  const double step = obs.xd;
  if (!(step > 0.0) || obs.y.count() < 2) {
    r.why_not = "the profile has no step to move the origin by";
    return r;
  }
  r.before = r.after = sample.origin_x();
  for (int pass = 0;; ++pass) {
    fourier_coefficients c;
    std::string why;
    if (!coefficients_of(sample, c, why)) {
      r.why_not = why;
      return r;
    }
    const index_range range = fitted_range(c);
    if (range.last <= range.first) {
      r.why_not = "A(L) has no points past L = 0 to judge B(L) on";
      return r;
    }
    r.largest_b = largest_b_over(c.B, range);
    r.L_from = c.L[range.first];
    r.L_to = c.L[range.last - 1];
    if (pass == most_passes) break;
    // The coefficients' own frequencies: point i of the quotient.
    std::vector<double> f(c.A.size());
    for (std::size_t i = 0; i < f.size(); ++i) f[i] = static_cast<double>(i) * sample.fft.frequency_axis.xd;
    const double delta = origin_move_minimising_b(f, c.A, c.B, range.first, range.last, reach_steps * step);
    if (!(std::fabs(delta) > settled_steps * step)) break;
    const double last_x = obs.x1 + (obs.y.count() - 1) * step;
    const double x = std::clamp(sample.origin_x() + delta, obs.x1, last_x);
    if (x == sample.origin_x()) break;  // held at the scan's end
    sample.set_origin_index((x - obs.x1) / step);
  }
  r.placed = true;
  r.after = sample.origin_x();
  return r;
}
