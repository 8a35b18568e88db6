#include "xrd/sizes/size_strain.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include "core/my_vec.h"
#include "numerics/spline_dx_3.h"

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();
// ln A(L) is fitted while A(L) stays above this: further out the noise of
// the logarithm outweighs what the curve adds.
constexpr double slope_floor = 0.1;
// The fit starts this many of the scan window's own frequency steps out:
// nearer L = 0 the tails beyond the window and the background taken inside it
// bend A(L) away from the line's (the "hook").
constexpr double hook_steps = 1.5;

using double_vec = my_vec<double, double>;

// Weighted least squares of y = c0 + c1 x + c2 x² (degree 2) or c0 + c1 x
// (degree 1) over the points; false when the system is singular. The
// abscissa is scaled to [0, 1] first, which keeps the normal equations well
// conditioned.
bool polynomial_fit(const std::vector<double>& x, const std::vector<double>& y, const std::vector<double>& w,
                    int degree, double c[3]) {
  const std::size_t n = x.size();
  const int m = degree + 1;
  double scale = 0.0;
  for (double v : x) scale = std::max(scale, std::fabs(v));
  if (n < static_cast<std::size_t>(m) || !(scale > 0.0)) return false;
  double a[3][4] = {};
  for (std::size_t k = 0; k < n; ++k) {
    const double t = x[k] / scale;
    const double p[3] = {1.0, t, t * t};
    for (int i = 0; i < m; ++i) {
      for (int j = 0; j < m; ++j) a[i][j] += w[k] * p[i] * p[j];
      a[i][m] += w[k] * p[i] * y[k];
    }
  }
  // Gauss-Jordan with partial pivoting on the small system.
  for (int col = 0; col < m; ++col) {
    int pivot = col;
    for (int r = col + 1; r < m; ++r)
      if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
    if (!(std::fabs(a[pivot][col]) > 1e-300)) return false;
    for (int j = 0; j <= m; ++j) std::swap(a[col][j], a[pivot][j]);
    for (int r = 0; r < m; ++r) {
      if (r == col) continue;
      const double f = a[r][col] / a[col][col];
      for (int j = col; j <= m; ++j) a[r][j] -= f * a[col][j];
    }
  }
  c[0] = c[1] = c[2] = 0.0;
  double power = 1.0;
  for (int i = 0; i < m; ++i) {
    c[i] = a[i][m] / a[i][i] / power;
    power *= scale;
  }
  return true;
}

// The samples of `from` read at the abscissae `at` by a natural cubic spline
// over its equally stepped axis.
std::vector<double> read_at(const std::vector<double>& from_L, const std::vector<double>& from_y,
                            const std::vector<double>& at) {
  double_vec samples;
  samples.allocate(static_cast<int>(from_y.size()));
  samples.rebase(0);
  for (std::size_t i = 0; i < from_y.size(); ++i) samples[static_cast<int>(i)] = from_y[i];
  spline_dx_3<double_vec> spline;
  const double step = from_L.size() > 1 ? from_L[1] - from_L[0] : 1.0;
  spline.set_up(from_L.empty() ? 0.0 : from_L[0], step, samples, spline_dx_3<double_vec>::free_end,
                spline_dx_3<double_vec>::free_end);
  std::vector<double> out;
  out.reserve(at.size());
  for (double L : at) out.push_back(spline.evaluate(samples, L));
  return out;
}

}  // namespace

double fourier_coefficients::d_spacing() const {
  const double s = std::sin(two_theta * pi / 360.0);
  return wavelength > 0.0 && s > 0.0 ? wavelength / (2.0 * s) : 0.0;
}

area_length area_weighted_length(const std::vector<double>& L, const std::vector<double>& A, double hook_L) {
  area_length r;
  const double from = hook_steps * std::max(hook_L, 0.0);
  const std::size_t n = std::min(L.size(), A.size());
  std::size_t first = 1;
  while (first < n && L[first] < from) ++first;
  std::size_t last = first;
  while (last < n && A[last] > slope_floor) ++last;
  // A line much narrower than the window has fallen below the floor by
  // then: its first two positive points past the hook still give a slope.
  if (last < first + 2)
    for (last = first; last < n && last < first + 2 && A[last] > 0.0; ++last) {
    }
  std::vector<double> x, y, w;
  for (std::size_t i = first; i < last; ++i) {
    x.push_back(L[i]);
    y.push_back(std::log(A[i]));
    // σ(ln A) = σ(A) / A: weighing by A² fits as if A itself were fitted.
    w.push_back(A[i] * A[i]);
  }
  double c[3];
  // Two or three points take a straight line; fewer give no slope at all.
  const int degree = x.size() >= 4 ? 2 : 1;
  if (!polynomial_fit(x, y, w, degree, c) || !std::isfinite(c[0]) || !std::isfinite(c[1])) return r;
  r.slope = c[1];
  r.L_from = x.front();
  r.L_to = x.back();
  r.points = static_cast<int>(x.size());
  if (!(c[1] < 0.0)) return r;
  r.found = true;
  r.length = -1.0 / c[1];
  r.intercept = std::exp(c[0]);
  return r;
}

double volume_weighted_length(const std::vector<double>& L, const std::vector<double>& A, bool& reached_zero) {
  reached_zero = false;
  double sum = 0.0;
  const std::size_t n = std::min(L.size(), A.size());
  for (std::size_t i = 1; i < n; ++i) {
    if (!(A[i] > 0.0)) {
      // Up to where the straight piece meets zero.
      const double to_zero = A[i - 1] / (A[i - 1] - A[i]) * (L[i] - L[i - 1]);
      sum += 0.5 * A[i - 1] * (std::isfinite(to_zero) ? to_zero : 0.0);
      reached_zero = true;
      break;
    }
    sum += 0.5 * (A[i - 1] + A[i]) * (L[i] - L[i - 1]);
  }
  return 2.0 * sum;
}

bool size_coefficient_above_one(double AS) { return AS > 1.0 + size_coefficient_tolerance; }

double size_coefficients_above_one_from(const std::vector<warren_averbach_row>& rows) {
  for (const warren_averbach_row& row : rows)
    if (row.L > 0.0 && size_coefficient_above_one(row.AS)) return row.L;
  return nan_value;
}

double strain_at(const std::vector<warren_averbach_row>& rows, double L) {
  for (std::size_t i = 1; i < rows.size(); ++i) {
    if (rows[i].L < L) continue;
    const warren_averbach_row& a = rows[i - 1];
    const warren_averbach_row& b = rows[i];
    // Below the first tabulated strain (L = 0 has none) the nearest value.
    if (i == 1 && a.L == 0.0) return L >= a.L ? b.eps_rms : nan_value;
    // Interpolating towards a row without a strain would make one up.
    if (std::isnan(a.eps_rms) || std::isnan(b.eps_rms)) return nan_value;
    const double t = (L - a.L) / (b.L - a.L);
    return a.eps_rms + t * (b.eps_rms - a.eps_rms);
  }
  return nan_value;
}

warren_averbach_result warren_averbach(const fourier_coefficients& first, const fourier_coefficients& second) {
  warren_averbach_result r;
  const double d1 = first.d_spacing();
  const double d2 = second.d_spacing();
  if (!(d1 > 0.0) || !(d2 > 0.0)) {
    r.refused = "Both lines need a wavelength (lBamda) and a peak position to give their d-spacings";
    return r;
  }
  // Two orders of one reflection: d1 / d2 = n2 / n1 with whole n1 < n2 (up
  // to the fourth order), within 1% for the peak positions' errors.
  const double ratio = std::max(d1, d2) / std::min(d1, d2);
  bool orders = false;
  for (int n1 = 1; n1 <= 4 && !orders; ++n1) {
    const double n2 = ratio * n1;
    orders = std::round(n2) > n1 && std::fabs(n2 - std::round(n2)) <= 0.01 * n2;
  }
  if (!orders) {
    r.refused = "The d-spacings " + std::to_string(d1) + " and " + std::to_string(d2) +
                " A are not two orders of one reflection";
    return r;
  }
  if (first.L.size() < 2 || second.L.size() < 2) {
    r.refused = "A line has too few Fourier coefficients";
    return r;
  }
  // The coarser axis carries the table; the other is read at its lengths.
  const bool first_coarser = first.L[1] - first.L[0] >= second.L[1] - second.L[0];
  const fourier_coefficients& coarse = first_coarser ? first : second;
  const fourier_coefficients& fine = first_coarser ? second : first;
  std::vector<double> L;
  for (double v : coarse.L)
    if (v <= fine.L.back()) L.push_back(v);
  const std::vector<double> fine_A = read_at(fine.L, fine.A, L);
  const double s1 = 1.0 / d1, s2 = 1.0 / d2;
  const double ss1 = s1 * s1, ss2 = s2 * s2;
  // Each order's hook lifts or lowers its whole A(L) by its own factor; left
  // in, the two factors' ratio reads as a strain that grows as 1/L².
  const area_length own1 = area_weighted_length(first.L, first.A, first.hook_L);
  const area_length own2 = area_weighted_length(second.L, second.A, second.hook_L);
  r.intercept1 = own1.found ? own1.intercept : 1.0;
  r.intercept2 = own2.found ? own2.intercept : 1.0;
  for (std::size_t i = 0; i < L.size(); ++i) {
    const double a1 = (first_coarser ? coarse.A[i] : fine_A[i]) / r.intercept1;
    const double a2 = (first_coarser ? fine_A[i] : coarse.A[i]) / r.intercept2;
    if (!(a1 > 0.0) || !(a2 > 0.0)) break;  // the logarithms end here
    const double l1 = std::log(a1), l2 = std::log(a2);
    const double as = std::exp((ss2 * l1 - ss1 * l2) / (ss2 - ss1));
    double eps = nan_value, e2 = nan_value;
    if (L[i] > 0.0) {
      e2 = (l1 - l2) / (2.0 * pi * pi * L[i] * L[i] * (ss2 - ss1));
      if (e2 > 0.0) eps = std::sqrt(e2);
    }
    r.rows.push_back({L[i], a1, a2, as, eps, e2});
  }
  std::vector<double> rl, ras;
  for (const warren_averbach_row& row : r.rows) {
    // A^S carries each order's relative error several times over: where
    // either order's A(L) is down in its noise, A^S is no longer read.
    if (!(row.A1 > slope_floor) || !(row.A2 > slope_floor)) break;
    rl.push_back(row.L);
    ras.push_back(row.AS);
  }
  r.size = area_weighted_length(rl, ras, std::max(first.hook_L, second.hook_L));
  r.half_L = r.size.found ? r.size.length / 2.0 : nan_value;
  r.strain_at_half = r.size.found ? strain_at(r.rows, r.half_L) : nan_value;
  r.strain_at_50 = strain_at(r.rows, 50.0);
  r.AS_above_one_at = size_coefficients_above_one_from(r.rows);
  return r;
}

double reconvolution_r(const std::vector<double>& observed, const std::vector<double>& reconvolved) {
  double diff = 0.0, total = 0.0;
  const std::size_t n = std::min(observed.size(), reconvolved.size());
  for (std::size_t i = 0; i < n; ++i) {
    diff += std::fabs(observed[i] - reconvolved[i]);
    total += std::fabs(observed[i]);
  }
  return total > 0.0 ? diff / total : nan_value;
}
