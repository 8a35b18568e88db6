#pragma once

#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "../chain_test_tree.h"
#include "xrd/chain/ref_prof_3.h"

// The geometry of the synthetic lines: Cu Kα1 and Bragg's law.
namespace bragg {
inline constexpr double pi = 3.14159265358979323846;
inline constexpr double lambda = 1.5406;  // Å
inline constexpr double degree = pi / 180.0;

// The 2θ (degrees) of a line of d-spacing `d` (Å).
inline double two_theta_of(double d) { return 2.0 * std::asin(lambda / (2.0 * d)) / degree; }
}  // namespace bragg

// The synthetic specimens' instrument: a pseudo-Voigt of this half width
// (degrees 2θ) with this Lorentzian share.
namespace bragg {
inline constexpr double instrument_hwhm = 0.05;
inline constexpr double instrument_eta = 0.4;

// A Lorentzian of half width w convolved with a Gaussian of sigma s (both
// normalised), by quadrature over the Gaussian.
inline double voigt(double u, double w, double s) {
  if (s == 0.0) return w / pi / (w * w + u * u);
  if (w == 0.0) return std::exp(-0.5 * u * u / (s * s)) / (s * std::sqrt(2.0 * pi));
  const int steps = 600;
  const double dt = 14.0 * s / steps;
  double sum = 0.0;
  for (int k = 0; k <= steps; ++k) {
    const double t = -7.0 * s + k * dt;
    sum += w / pi / (w * w + (u - t) * (u - t)) * std::exp(-0.5 * t * t / (s * s));
  }
  return sum * dt / (s * std::sqrt(2.0 * pi));
}

// The line at 2θ0 of a specimen of Lorentzian size D (Å; 0 for none) and
// Gaussian rms strain ε, seen through the instrument: each part of the
// pseudo-Voigt adds its Lorentzian or Gaussian width to the specimen's.
inline double line_at(double x, double two_theta0, double D, double epsilon) {
  const double theta = two_theta0 * degree / 2.0;
  const double w = D > 0.0 ? lambda / (2.0 * pi * D * std::cos(theta)) / degree : 0.0;
  const double strain = 2.0 * epsilon * std::tan(theta) / degree;
  const double gauss = instrument_hwhm / std::sqrt(2.0 * std::log(2.0));
  const double u = x - two_theta0;
  return instrument_eta * voigt(u, w + instrument_hwhm, strain) +
         (1.0 - instrument_eta) * voigt(u, w, std::hypot(strain, gauss));
}
}  // namespace bragg

// A sample scan and its reference scan on the points x1 + i·step, with the
// wavelength, the origin at `centre` (2θ) and flat backgrounds, the sample
// tied to its reference: the analysis then needs only the frequency limit.
inline std::pair<assoc_class*, assoc_class*> add_scan_pair(chain_test::tree& t, const std::string& name, double x1,
                                                           double step, const std::vector<double>& sample_counts,
                                                           const std::vector<double>& reference_counts, double centre,
                                                           double sample_background, double reference_background) {
  using chain_test::tree;
  const int n = static_cast<int>(sample_counts.size());
  const std::string sample_path = "/scans/" + name + ".xdd", ref_path = "/scans/" + name + "_ref.xdd";
  std::size_t k = 0, j = 0;
  assoc_class* sample = t.add_file(sample_path.c_str(), x1, step, n, [&](double) { return sample_counts[k++]; });
  assoc_class* reference = t.add_file(ref_path.c_str(), x1, step, n, [&](double) { return reference_counts[j++]; });
  for (assoc_class* f : {sample, reference}) {
    tree::option(f, "lBamda")->set_double(bragg::lambda);
    tree::option(f, "fft_zero")->set_text(std::to_string(centre).c_str());
    tree::option(f, "aBo_bkg")->set_double(f == sample ? sample_background : reference_background);
    tree::option(f, "aB1_bkg")->set_double(0.0);
  }
  EXPECT_EQ(tree::node<ref_prof_3>(sample, "ref_prof")->set_text_with_limits(ref_path.c_str()), 0);
  return {sample, reference};
}
