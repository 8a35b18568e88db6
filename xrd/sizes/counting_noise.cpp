#include "xrd/sizes/counting_noise.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstddef>
#include <cstring>

#include "numerics/fit_9.h"

namespace {

constexpr double pi = 3.14159265358979323846;

bool integer_counts(const std::vector<double>& y) {
  for (double v : y)
    if (!std::isfinite(v) || v < 0.0 || std::fabs(v - std::nearbyint(v)) > 1e-6) return false;
  return !y.empty();
}

// The q-quantile of v (v reordered).
double quantile(std::vector<double>& v, double q) {
  if (v.empty()) return 0.0;
  const std::size_t k = std::min(v.size() - 1, static_cast<std::size_t>(q * static_cast<double>(v.size())));
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(k), v.end());
  return v[k];
}

// Noise that shares between points this many neighbours on each side is
// measured; an interpolation or a smoothing of a few points stays within it.
constexpr int lags = 2;
// Half the length of the kernel that reproduces a measured colour.
constexpr int kernel_half = 8;

// Points each side of the local quadratic that the scatter is measured
// about: wide enough that the residual keeps most of the noise's spectrum
// (a narrower filter, a second difference, keeps mainly its top and leaves
// the correlations ill determined), narrow enough to follow a broad line.
constexpr int half_width = 8;

// The weights g of the residual r_i = Σ_j g_j y_(i+j) about the local
// least-squares quadratic over 2h + 1 points (Savitzky-Golay's smoothing
// weights taken from 1 at the middle).
std::vector<double> residual_weights() {
  const int h = half_width;
  const double norm = (2.0 * h - 1.0) * (2.0 * h + 1.0) * (2.0 * h + 3.0);
  std::vector<double> g(2 * h + 1);
  for (int j = -h; j <= h; ++j)
    g[static_cast<std::size_t>(j + h)] = (j == 0 ? 1.0 : 0.0) - (3.0 * (3.0 * h * h + 3.0 * h - 1.0) - 15.0 * j * j) / norm;
  return g;
}

// The covariances γ(0 .. lags) of noise whose residuals (weights g) have the
// covariances `rr`: each residual covariance is a fixed sum of the noise's.
std::vector<double> noise_covariances(const std::vector<double>& rr, const std::vector<double>& g) {
  const int rows = static_cast<int>(rr.size());
  const int w = static_cast<int>(g.size());
  double_vec target(rows);
  design_list design(lags + 1);
  for (int k = 0; k <= lags; ++k) {
    design[k].allocate(rows);
    for (int m = 0; m < rows; ++m) design[k][m] = 0.0;
  }
  for (int m = 0; m < rows; ++m) {
    target[m] = rr[static_cast<std::size_t>(m)];
    for (int a = 0; a < w; ++a)
      for (int b = 0; b < w; ++b) {
        const int lag = std::abs(m + b - a);
        if (lag <= lags) design[lag][m] += g[static_cast<std::size_t>(a)] * g[static_cast<std::size_t>(b)];
      }
  }
  fit_9 fit;
  fit.fit(target, design);
  std::vector<double> gamma(lags + 1);
  for (int k = 0; k <= lags; ++k) gamma[static_cast<std::size_t>(k)] = fit.x[k];
  return gamma;
}

// Weights, symmetric about their middle, whose running sum over independent
// unit noise has the correlations rho(1 .. lags): the inverse transform of the
// square root of their spectrum, which is then the spectrum of the weights.
std::vector<double> kernel_of(const std::vector<double>& rho) {
  constexpr int grid = 512;
  // cos(2π m / grid): every angle below is a whole multiple of the grid's.
  static const std::vector<double> cosines = [] {
    std::vector<double> c(grid);
    for (int m = 0; m < grid; ++m) c[static_cast<std::size_t>(m)] = std::cos(2.0 * pi * m / grid);
    return c;
  }();
  auto cosine = [&](long m) { return cosines[static_cast<std::size_t>(((m % grid) + grid) % grid)]; };
  std::vector<double> root(grid);
  for (int j = 0; j < grid; ++j) {
    double p = 1.0;
    for (std::size_t k = 1; k < rho.size(); ++k) p += 2.0 * rho[k] * cosine(static_cast<long>(k) * j);
    root[static_cast<std::size_t>(j)] = std::sqrt(std::max(p, 0.0));
  }
  std::vector<double> w(2 * kernel_half + 1);
  double norm = 0.0;
  for (int k = -kernel_half; k <= kernel_half; ++k) {
    double s = 0.0;
    for (int j = 0; j < grid; ++j) s += root[static_cast<std::size_t>(j)] * cosine(static_cast<long>(j) * k);
    w[static_cast<std::size_t>(k + kernel_half)] = s / grid;
    norm += (s / grid) * (s / grid);
  }
  if (!(norm > 0.0)) return {1.0};
  for (double& v : w) v /= std::sqrt(norm);
  return w;
}

}  // namespace

double counting_noise::power_factor(double cycles_per_point) const {
  if (kernel.size() == 1) return kernel[0] * kernel[0];
  // Each weight's phase factor is the last one turned by the same angle.
  const std::complex<double> turn = std::polar(1.0, -2.0 * pi * cycles_per_point);
  std::complex<double> s = 0.0, e = 1.0;
  for (std::size_t k = 0; k < kernel.size(); ++k, e *= turn) s += kernel[k] * e;
  return std::norm(s);
}

double counting_noise::correlation(int lag) const {
  const std::size_t l = static_cast<std::size_t>(std::abs(lag));
  double s = 0.0;
  for (std::size_t k = 0; k + l < kernel.size(); ++k) s += kernel[k] * kernel[k + l];
  return s;
}

void counting_noise::draw(std::mt19937_64& rng, std::vector<double>& out) const {
  std::normal_distribution<double> unit;
  const std::size_t n = sigma.size(), m = kernel.size();
  out.resize(n);
  if (m == 1) {
    // Independent points (counts): each value as it is drawn, with no
    // buffer of the draws, which a realisation of every profile would
    // allocate anew.
    for (std::size_t i = 0; i < n; ++i) {
      double s = 0.0;
      s += kernel[0] * unit(rng);
      out[i] = sigma[i] * s;
    }
    return;
  }
  std::vector<double> z(n + m - 1);
  for (double& v : z) v = unit(rng);
  // Four points' running sums side by side, each over its weights in the
  // same order as alone: the same values, without waiting on one sum.
  constexpr std::size_t lanes = 4;
  std::size_t i = 0;
  for (; i + lanes <= n; i += lanes) {
    double s[lanes] = {0.0, 0.0, 0.0, 0.0};
    for (std::size_t k = 0; k < m; ++k)
      for (std::size_t l = 0; l < lanes; ++l) s[l] += kernel[k] * z[i + l + k];
    for (std::size_t l = 0; l < lanes; ++l) out[i + l] = sigma[i + l] * s[l];
  }
  for (; i < n; ++i) {
    double s = 0.0;
    for (std::size_t k = 0; k < m; ++k) s += kernel[k] * z[i + k];
    out[i] = sigma[i] * s;
  }
}

namespace {

counting_noise measured_noise(const std::vector<double>& y);

// The profiles whose noise was measured last, with what was found. One
// profile's noise is asked for again and again: by the automatic limit, the
// signal-to-noise at the limit and the uncertainties of each scan, and a
// reference's by every scan of a series it serves.
struct remembered_noise {
  std::vector<double> y;
  counting_noise noise;
};
constexpr std::size_t remembered_count = 4;

bool same_values(const std::vector<double>& a, const std::vector<double>& b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0);
}

}  // namespace

counting_noise noise_of(const std::vector<double>& y) {
  thread_local std::array<remembered_noise, remembered_count> recent;
  thread_local std::size_t next = 0;
  for (const remembered_noise& r : recent)
    if (!r.y.empty() && same_values(r.y, y)) return r.noise;
  counting_noise noise = measured_noise(y);
  recent[next] = {y, noise};
  next = (next + 1) % remembered_count;
  return noise;
}

namespace {

counting_noise measured_noise(const std::vector<double>& y) {
  counting_noise noise;
  const std::size_t n = y.size();
  noise.sigma.assign(n, 0.0);
  if (integer_counts(y)) {
    noise.counts = true;
    // A point of 0 counts still had an expectation above 0.
    for (std::size_t i = 0; i < n; ++i) noise.sigma[i] = std::sqrt(std::max(y[i], 1.0));
    return noise;
  }
  if (n < 5) return noise;
  // Scaled counts vary as the level does; a profile that goes to 0 or below
  // (a background taken off) has noise of one size.
  const bool positive = std::all_of(y.begin(), y.end(), [](double v) { return v > 0.0; });
  auto level = [&](std::size_t i) { return positive ? (y[i - 1] + y[i] + y[i + 1]) / 3.0 : 1.0; };
  // Second differences take a smooth curve away; over a line's core they
  // keep its curvature, which a low quantile of their squares passes over
  // (the 25% quantile of χ²(1) is 0.1015): the level's gain when neighbours
  // do not share noise, and where the scan is too short to tell.
  std::vector<double> ratio;
  for (std::size_t i = 1; i + 1 < n; ++i) {
    const double d = y[i - 1] - 2.0 * y[i] + y[i + 1];
    ratio.push_back(d * d / 6.0 / level(i));
  }
  double gain = quantile(ratio, 0.25) / 0.1015;

  // Where neighbours share noise, the covariances of the scatter about a
  // local quadratic tell how, away from the line's core. Five second
  // differences in a row sum to a difference of two slopes, which keeps the
  // curvature five times over and the noise not more than once: where that
  // sum stands out, every point whose quadratic reaches there is left out.
  const int h = half_width;
  std::vector<bool> used(n, false);
  if (n >= static_cast<std::size_t>(4 * h + 8)) {
    for (std::size_t i = static_cast<std::size_t>(h) + 1; i + static_cast<std::size_t>(h) + 1 < n; ++i) used[i] = true;
    std::vector<double> sums(n, 0.0), squares;
    for (std::size_t i = 3; i + 3 < n; ++i) {
      const double s = (y[i + 3] - y[i + 2]) - (y[i - 2] - y[i - 3]);
      sums[i] = s * s / level(i);
      squares.push_back(sums[i]);
    }
    const double typical = quantile(squares, 0.25) / 0.1015;
    const std::size_t reach = static_cast<std::size_t>(h) + 3;
    for (std::size_t i = 3; i + 3 < n; ++i)
      if (sums[i] > 16.0 * typical)
        for (std::size_t j = i >= reach ? i - reach : 0; j <= std::min(n - 1, i + reach); ++j) used[j] = false;
  }
  const std::vector<double> g = residual_weights();
  std::vector<double> r(n, 0.0);
  for (std::size_t i = 0; i < n; ++i) {
    if (!used[i]) continue;
    double s = 0.0;
    for (int j = -h; j <= h; ++j) s += g[static_cast<std::size_t>(j + h)] * y[static_cast<std::size_t>(static_cast<int>(i) + j)];
    r[i] = s / std::sqrt(level(i));
  }
  std::vector<double> rr(lags + 4, 0.0);
  std::size_t pairs = n;
  for (std::size_t m = 0; m < rr.size(); ++m) {
    std::size_t count = 0;
    for (std::size_t i = 0; i + m < n; ++i)
      if (used[i] && used[i + m]) {
        rr[m] += r[i] * r[i + m];
        ++count;
      }
    if (count > 0) rr[m] /= static_cast<double>(count);
    pairs = std::min(pairs, count);
  }
  // Too few points away from the line to tell a colour: taken as white.
  if (pairs >= 32) {
    const std::vector<double> gamma = noise_covariances(rr, g);
    if (gamma[0] > 0.0 && std::isfinite(gamma[0])) {
      gain = gamma[0];
      std::vector<double> rho(gamma.size());
      for (std::size_t k = 0; k < gamma.size(); ++k) rho[k] = std::clamp(gamma[k] / gamma[0], -1.0, 1.0);
      noise.kernel = kernel_of(rho);
    }
  }
  for (std::size_t i = 0; i < n; ++i) {
    const double l = positive ? y[i] : 1.0;
    noise.sigma[i] = std::sqrt(std::max(gain * l, 0.0));
  }
  return noise;
}

}  // namespace
