#include "xrd/pattern/pattern_background.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>

#include "xrd/measures/line_widths.h"

namespace {

// The clipping window, in FWHMs of the tallest line: a doublet at high angle
// spreads over three to four of them.
constexpr double windows_per_fwhm = 4.0;
constexpr int least_window_steps = 5;

// The LLS operator of SNIP: it flattens counts of every size to a scale on
// which clipping treats small and large lines alike.
double lls(double counts) { return std::log(std::log(std::sqrt(std::max(counts, 0.0) + 1.0) + 1.0) + 1.0); }
double lls_inverse(double v) {
  const double r = std::exp(std::exp(v) - 1.0) - 1.0;
  return r * r - 1.0;
}

double step_of(const std::vector<double>& x) {
  return x.size() < 2 ? 0.0 : (x.back() - x.front()) / static_cast<double>(x.size() - 1);
}

}  // namespace

double clipping_window_x(const std::vector<double>& x, const std::vector<double>& y) {
  const double step = step_of(x);
  const std::size_t n = std::min(x.size(), y.size());
  if (n < 3 || !(step > 0.0)) return 0.0;
  // The tallest line above the lowest counts, its FWHM read between points.
  const double floor = *std::min_element(y.begin(), y.begin() + static_cast<std::ptrdiff_t>(n));
  std::vector<double> above(n);
  for (std::size_t i = 0; i < n; ++i) above[i] = y[i] - floor;
  const std::size_t top = static_cast<std::size_t>(std::max_element(above.begin(), above.end()) - above.begin());
  // Only the tallest line: cut where it first falls to a tenth on each side.
  std::size_t lo = top, hi = top;
  while (lo > 0 && above[lo] > above[top] / 10.0) --lo;
  while (hi + 1 < n && above[hi] > above[top] / 10.0) ++hi;
  const std::span<const double> xs(x.data() + lo, hi - lo + 1), ys(above.data() + lo, hi - lo + 1);
  const line_widths w = measure_line(xs, ys);
  const double fwhm = w.ok() ? w.fwhm_x : 0.0;
  return std::max(windows_per_fwhm * fwhm, least_window_steps * step);
}

// SNIP: Ryan et al., Nucl. Instrum. Methods B 34 (1988) 396-402, clipping
// windows growing from 1 point (Morháč et al., NIM A 401 (1997) 113, eq. 3).
pattern_background background_of(const std::vector<double>& x, const std::vector<double>& y, double window_x) {
  pattern_background b;
  const std::size_t n = std::min(x.size(), y.size());
  const double step = step_of(x);
  if (!(window_x > 0.0)) window_x = clipping_window_x(x, y);
  b.window_x = window_x;
  b.y.assign(y.begin(), y.begin() + static_cast<std::ptrdiff_t>(n));
  if (n < 3 || !(step > 0.0)) return b;
  const auto m = static_cast<std::size_t>(std::clamp(std::lround(window_x / step), 1L, static_cast<long>(n / 2)));
  // Counting noise would let clipping follow the lower edge of the scatter:
  // the counts are averaged over an eighth of the window each side first,
  // which a background, smooth over the window, passes unchanged.
  const std::size_t k = std::max<std::size_t>(1, m / 8);
  std::vector<double> v(n), next(n);
  for (std::size_t i = 0; i < n; ++i) {
    const std::size_t a = i >= k ? i - k : 0, z = std::min(n - 1, i + k);
    double sum = 0.0;
    for (std::size_t j = a; j <= z; ++j) sum += y[j];
    v[i] = lls(sum / static_cast<double>(z - a + 1));
  }
  for (std::size_t p = 1; p <= m; ++p) {
    next = v;
    for (std::size_t i = p; i + p < n; ++i) next[i] = std::min(v[i], (v[i - p] + v[i + p]) / 2.0);
    v.swap(next);
  }
  for (std::size_t i = 0; i < n; ++i) b.y[i] = lls_inverse(v[i]);
  return b;
}
