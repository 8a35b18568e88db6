#include "xrd/pattern/peak_search.h"

#include <Eigen/Dense>
#include <algorithm>
#include <cmath>
#include <cstddef>

#include "xrd/sizes/counting_noise.h"

namespace {

constexpr double not_found = std::numeric_limits<double>::quiet_NaN();

// Savitzky & Golay, Anal. Chem. 36 (1964) 1627, quadratic over 7 points:
// smooth enough that noise does not make tops of its own, and keeps a line
// of a few steps' width.
std::vector<double> smoothed(const std::vector<double>& v) {
  static constexpr double w[7] = {-2.0, 3.0, 6.0, 7.0, 6.0, 3.0, -2.0};
  const std::size_t n = v.size();
  std::vector<double> out(v);
  for (std::size_t i = 3; i + 3 < n; ++i) {
    double s = 0.0;
    for (std::size_t k = 0; k < 7; ++k) s += w[k] * v[i + k - 3];
    out[i] = s / 21.0;
  }
  return out;
}

struct candidate {
  std::size_t top = 0;
  double height = 0.0;  // smoothed
  bool ka2 = false;     // the K-alpha2 of another candidate
  double ka2_x = not_found;
};

// The x where the segment (xa, ya)-(xb, yb) takes the value level.
double crossing(double xa, double ya, double xb, double yb, double level) {
  return xa + (level - ya) / (yb - ya) * (xb - xa);
}

struct side {
  double x = not_found, u = not_found;
};

// Half height walking out from `top` by `dir` (±1), not past `limit`.
side half_crossing(const std::vector<double>& x, const std::vector<double>& m, const std::vector<double>& sigma,
                   std::size_t top, std::size_t limit, int dir, double half, double half_u) {
  side s;
  std::size_t i = top;
  while (i != limit) {
    const std::size_t j = dir > 0 ? i + 1 : i - 1;
    if (m[j] <= half) {
      s.x = crossing(x[i], m[i], x[j], m[j], half);
      const double slope = std::fabs((m[j] - m[i]) / (x[j] - x[i]));
      const double u_level = std::hypot((sigma[i] + sigma[j]) / 2.0, half_u);
      s.u = slope > 0.0 ? u_level / slope : not_found;
      return s;
    }
    i = j;
  }
  return s;
}

struct top_parabola {
  bool ok = false;
  double position_x = 0.0, position_u = 0.0, height = 0.0, height_u = 0.0;
};

// The vertex of y = c0 + c1 t + c2 t², t = x − x[top], fitted by weighted
// least squares to the points about `top` down to `level` (at least the
// top three), and its uncertainties from the fit's covariance.
top_parabola fit_top(const std::vector<double>& x, const std::vector<double>& m, const std::vector<double>& sigma,
                     std::size_t top, std::size_t lo, std::size_t hi, double level) {
  std::size_t a = top - 1, b = top + 1;
  while (a > lo && m[a - 1] >= level) --a;
  while (b < hi && m[b + 1] >= level) ++b;
  Eigen::Matrix3d normal = Eigen::Matrix3d::Zero();
  Eigen::Vector3d right = Eigen::Vector3d::Zero();
  for (std::size_t i = a; i <= b; ++i) {
    const double t = x[i] - x[top], w = 1.0 / (sigma[i] * sigma[i]);
    const Eigen::Vector3d row(1.0, t, t * t);
    normal += w * row * row.transpose();
    right += w * m[i] * row;
  }
  const Eigen::Matrix3d covariance = normal.inverse();
  const Eigen::Vector3d k = covariance * right;
  top_parabola p;
  const double t_top = -k[1] / (2.0 * k[2]);
  if (!(k[2] < 0.0 && std::fabs(t_top) <= (x[b] - x[a]) / 2.0) || !covariance.allFinite()) return p;
  p.ok = true;
  p.position_x = x[top] + t_top;
  p.height = k[0] - k[1] * k[1] / (4.0 * k[2]);
  const Eigen::Vector3d d_position(0.0, -1.0 / (2.0 * k[2]), k[1] / (2.0 * k[2] * k[2]));
  const Eigen::Vector3d d_height(1.0, -k[1] / (2.0 * k[2]), k[1] * k[1] / (4.0 * k[2] * k[2]));
  p.position_u = std::sqrt(d_position.dot(covariance * d_position));
  p.height_u = std::sqrt(d_height.dot(covariance * d_height));
  return p;
}

}  // namespace

peak_search find_lines(const std::vector<double>& x, const std::vector<double>& y,
                       const std::vector<double>& background, const peak_search_options& options) {
  peak_search out;
  const std::size_t n = x.size();
  if (y.size() != n || background.size() != n) {
    out.why = "the pattern's angles, counts and background differ in length";
    return out;
  }
  if (n < 8) {
    out.why = "the pattern has too few points to search for lines (" + std::to_string(n) + ")";
    return out;
  }
  for (std::size_t i = 0; i < n; ++i)
    if (!std::isfinite(x[i]) || !std::isfinite(y[i]) || !std::isfinite(background[i])) {
      out.why = "the pattern holds a value that is not a finite number at point " + std::to_string(i + 1);
      return out;
    }
  const double step = (x[n - 1] - x[0]) / static_cast<double>(n - 1);
  if (!(step > 0.0)) {
    out.why = "the pattern's angles do not rise";
    return out;
  }
  const std::vector<double> sigma = noise_of(y).sigma;
  std::vector<double> net(n);
  for (std::size_t i = 0; i < n; ++i) net[i] = y[i] - background[i];
  const std::vector<double> s = smoothed(net);

  // Tops that stand out: above the background at the top, and above the
  // higher of the lowest points on each side before a higher top
  // (prominence), both by least_sigmas.
  std::vector<candidate> found;
  for (std::size_t i = 1; i + 1 < n; ++i) {
    if (!(s[i] > s[i - 1] && s[i] >= s[i + 1])) continue;
    const double least = options.least_sigmas * sigma[i];
    if (s[i] < least) continue;
    double left_low = s[i], right_low = s[i];
    std::size_t j = i;
    for (; j > 0 && s[j - 1] <= s[i]; --j) left_low = std::min(left_low, s[j - 1]);
    const bool left_end = j == 0;
    for (j = i; j + 1 < n && s[j + 1] < s[i]; ++j) right_low = std::min(right_low, s[j + 1]);
    const bool right_end = j + 1 == n;
    // A side that reaches an end of the pattern before a higher top may be
    // cut there: the other side's low counts, unless both reach an end.
    double base = std::max(left_low, right_low);
    if (left_end != right_end) base = left_end ? right_low : left_low;
    if (left_end && right_end) base = std::min(left_low, right_low);
    if (s[i] - base < least) continue;
    found.push_back({i, s[i]});
  }

  // A K-alpha2 top where the doublet puts it, lower than its K-alpha1, is
  // part of that line: the tallest lines claim theirs first.
  if (options.doublet.ratio > 0.0) {
    std::vector<std::size_t> by_height(found.size());
    for (std::size_t i = 0; i < found.size(); ++i) by_height[i] = i;
    std::stable_sort(by_height.begin(), by_height.end(),
                     [&](std::size_t a, std::size_t b) { return found[a].height > found[b].height; });
    for (std::size_t a : by_height) {
      if (found[a].ka2) continue;
      const double x1 = x[found[a].top], x2 = ka2_position_deg(x1, options.doublet);
      if (!std::isfinite(x2)) continue;
      const double tolerance = std::max(3.0 * step, 0.25 * (x2 - x1));
      for (std::size_t b = a + 1; b < found.size(); ++b) {
        const double xb = x[found[b].top];
        if (xb > x2 + tolerance) break;
        if (found[b].ka2 || std::fabs(xb - x2) > tolerance ||
            found[b].height > (options.doublet.ratio + 0.3) * found[a].height)
          continue;
        found[b].ka2 = true;
        found[a].ka2_x = xb;
        break;
      }
    }
    std::erase_if(found, [](const candidate& c) { return c.ka2; });
  }

  const std::vector<double> m = options.strip_ka2 && options.doublet.ratio > 0.0 ? strip_ka2(x, net, options.doublet) : net;
  const std::vector<double> ms = smoothed(m);
  for (std::size_t c = 0; c < found.size(); ++c) {
    // Between the lowest points towards each neighbouring line.
    auto valley = [&](std::size_t a, std::size_t b) {
      return static_cast<std::size_t>(std::min_element(s.begin() + static_cast<std::ptrdiff_t>(a),
                                                       s.begin() + static_cast<std::ptrdiff_t>(b) + 1) -
                                      s.begin());
    };
    const std::size_t lo = c == 0 ? 0 : valley(found[c - 1].top, found[c].top);
    const std::size_t hi = c + 1 == found.size() ? n - 1 : valley(found[c].top, found[c + 1].top);
    std::size_t top = found[c].top;
    for (std::size_t i = lo; i <= hi; ++i)
      if (ms[i] > ms[top]) top = i;
    if (top <= lo || top >= hi) continue;

    // The top's position from the points above half its height, where most
    // of the line's counts are; its height from those above 3/4, where a
    // parabola bends as the line does.
    found_line line;
    const top_parabola wide = fit_top(x, m, sigma, top, lo, hi, 0.5 * ms[top]);
    const top_parabola narrow = fit_top(x, m, sigma, top, lo, hi, 0.75 * ms[top]);
    if (wide.ok && narrow.ok) {
      line.position_x = wide.position_x;
      line.position_u = wide.position_u;
      line.height = narrow.height;
      line.height_u = narrow.height_u;
    } else {
      // Too flat or too skewed for a parabola: the top point itself.
      line.position_x = x[top];
      line.position_u = step / std::sqrt(12.0);
      line.height = m[top];
      line.height_u = sigma[top];
    }
    line.sigmas = line.height / sigma[top];
    if (line.sigmas < options.least_sigmas) continue;
    const double half = line.height / 2.0, half_u = line.height_u / 2.0;
    const side l = half_crossing(x, m, sigma, top, lo, -1, half, half_u);
    const side r = half_crossing(x, m, sigma, top, hi, +1, half, half_u);
    line.half_left_x = l.x;
    line.half_right_x = r.x;
    if (std::isfinite(l.x) && std::isfinite(r.x)) {
      line.fwhm_x = r.x - l.x;
      line.fwhm_u = std::hypot(l.u, r.u);
    } else if (std::isfinite(l.x) || std::isfinite(r.x)) {
      const side& one = std::isfinite(l.x) ? l : r;
      line.fwhm_x = 2.0 * std::fabs(one.x - line.position_x);
      line.fwhm_u = 2.0 * std::hypot(one.u, line.position_u);
      line.overlapping = true;
    } else {
      line.fwhm_x = line.fwhm_u = not_found;
      line.overlapping = true;
    }
    if (std::isfinite(line.fwhm_x) && line.fwhm_x < options.least_fwhm_steps * step) continue;
    line.ka2_x = found[c].ka2_x;
    out.lines.push_back(line);
  }
  for (std::size_t i = 0; i + 1 < out.lines.size(); ++i) {
    found_line &a = out.lines[i], &b = out.lines[i + 1];
    const bool halves_meet = !std::isfinite(a.half_right_x) || !std::isfinite(b.half_left_x) ||
                             a.half_right_x >= b.half_left_x;
    const bool close = std::isfinite(a.fwhm_x) && std::isfinite(b.fwhm_x) &&
                       b.position_x - a.position_x < a.fwhm_x + b.fwhm_x;
    if (halves_meet || close) a.overlapping = b.overlapping = true;
  }
  return out;
}

double doublet_end_deg(const found_line& line, const kalpha_lines& source) {
  if (std::isfinite(line.ka2_x)) return line.ka2_x;
  const double second = kalpha::second_two_theta_deg(line.position_x, source);
  return std::isfinite(second) ? second : line.position_x;
}
