// The colour of a scan's noise, measured from the scan alone: exported and
// resampled scans share noise between neighbouring points, and that shared
// noise carries its power to the low frequencies where A(L) is read. The
// scans are made here from Poisson counts run through a known smoothing, so
// the truth is the smoothing's own correlation.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "xrd/sizes/counting_noise.h"

namespace {

constexpr double pi = 3.14159265358979323846;

// Expected counts: a flat background with three narrow lines (Lorentzian and
// Gaussian, FWHM `fwhm` points) whose curvature is far above the noise.
std::vector<double> expected_counts(int n, double fwhm) {
  std::vector<double> mu(static_cast<std::size_t>(n));
  const double h = fwhm / 2.0, s = fwhm / 2.3548;
  for (int i = 0; i < n; ++i) {
    double v = 300.0;
    for (double c : {0.2 * n, 0.5 * n, 0.8 * n}) {
      const double u = i - c;
      v += 6000.0 * (0.5 * h * h / (h * h + u * u) + 0.5 * std::exp(-0.5 * u * u / (s * s)));
    }
    mu[static_cast<std::size_t>(i)] = v;
  }
  return mu;
}

// Poisson counts of `mu` run through the weights `w` (point i takes
// Σ w_k c_(i+k)), then scaled so that they are no longer integers.
std::vector<double> smoothed_counts(const std::vector<double>& mu, const std::vector<double>& w, unsigned seed) {
  std::mt19937_64 rng(seed);
  std::vector<double> c(mu.size() + w.size());
  for (std::size_t i = 0; i < c.size(); ++i)
    c[i] = static_cast<double>(std::poisson_distribution<long>(mu[std::min(i, mu.size() - 1)])(rng));
  std::vector<double> y(mu.size());
  for (std::size_t i = 0; i < y.size(); ++i) {
    double s = 0.0;
    for (std::size_t k = 0; k < w.size(); ++k) s += w[k] * c[i + k];
    y[i] = 0.731 * s;
  }
  return y;
}

double correlation_of(const std::vector<double>& w, std::size_t lag) {
  double s = 0.0, s0 = 0.0;
  for (std::size_t k = 0; k < w.size(); ++k) {
    s0 += w[k] * w[k];
    if (k + lag < w.size()) s += w[k] * w[k + lag];
  }
  return s / s0;
}

struct smoothing {
  const char* what;
  std::vector<double> weights;
  double fwhm;  // of the lines, in points
};

const smoothing smoothings[] = {
    {"scaled counts of independent points", {1.0}, 5.0},
    {"scaled counts with lines only four points wide", {1.0}, 4.0},
    {"an export smoothed by [0.25, 0.5, 0.25]", {0.25, 0.5, 0.25}, 6.0},
    {"an even step interpolated linearly at 0.3 of the old one", {0.7, 0.3}, 5.0},
    {"an even step interpolated halfway between the old points", {0.5, 0.5}, 4.0},
};

TEST(NoiseColour, ASmoothedScanGivesBackItsSmoothingsCorrelation) {
  for (const smoothing& row : smoothings) {
    for (unsigned seed : {11u, 12u, 13u}) {
      const std::vector<double> mu = expected_counts(4000, row.fwhm);
      const counting_noise noise = noise_of(smoothed_counts(mu, row.weights, seed));
      ASSERT_FALSE(noise.counts) << row.what;
      for (int lag : {1, 2})
        EXPECT_NEAR(noise.correlation(lag), correlation_of(row.weights, static_cast<std::size_t>(lag)), 0.05)
            << row.what << ", lag " << lag << ", seed " << seed;
      // The size of the noise too, on the background between the lines.
      double w2 = 0.0;
      for (double w : row.weights) w2 += w * w;
      const double truth = 0.731 * std::sqrt(mu[100] * w2);
      EXPECT_NEAR(noise.sigma[100] / truth, 1.0, 0.1) << row.what << ", seed " << seed;
    }
  }
}

TEST(NoiseColour, DrawnNoiseHasTheMeasuredCorrelationAndSpectrum) {
  const std::vector<double> mu = expected_counts(4000, 5.0);
  const counting_noise noise = noise_of(smoothed_counts(mu, {0.25, 0.5, 0.25}, 5));
  std::mt19937_64 rng(7);
  std::vector<double> out;
  double c0 = 0.0, c1 = 0.0, c2 = 0.0;
  for (int draw = 0; draw < 40; ++draw) {
    noise.draw(rng, out);
    for (std::size_t i = 0; i + 2 < out.size(); ++i) {
      const double a = out[i] / noise.sigma[i], b = out[i + 1] / noise.sigma[i + 1], c = out[i + 2] / noise.sigma[i + 2];
      c0 += a * a;
      c1 += a * b;
      c2 += a * c;
    }
  }
  EXPECT_NEAR(c1 / c0, noise.correlation(1), 0.02);
  EXPECT_NEAR(c2 / c0, noise.correlation(2), 0.02);
  // Its spectrum: [0.25, 0.5, 0.25] passes cos⁴(πφ) of the power, against
  // 0.375 of it for white noise of the same variance.
  for (double phi : {0.0, 0.05, 0.1, 0.25})
    EXPECT_NEAR(noise.power_factor(phi), std::pow(std::cos(pi * phi), 4) / 0.375, 0.15) << phi << " cycles per point";
}

TEST(NoiseColour, IntegerCountsAreIndependentPoissonPoints) {
  const std::vector<double> mu = expected_counts(300, 5.0);
  std::mt19937_64 rng(3);
  std::vector<double> y;
  for (double m : mu) y.push_back(static_cast<double>(std::poisson_distribution<long>(m)(rng)));
  const counting_noise noise = noise_of(y);
  EXPECT_TRUE(noise.counts);
  EXPECT_EQ(noise.kernel, std::vector<double>{1.0});
  EXPECT_DOUBLE_EQ(noise.sigma[10], std::sqrt(y[10]));
}

}  // namespace
