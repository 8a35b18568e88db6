#pragma once

#include <random>
#include <vector>

// The noise of one measured profile, point by point: how large it is at each
// point, and how the noise of neighbouring points goes together. Counts from
// a detector are independent Poisson numbers; exported or resampled scans
// (scaled counts, an even step interpolated from an uneven one) are not, and
// their neighbours share noise, which piles its power at low frequencies,
// where A(L) is read.
struct counting_noise {
  std::vector<double> sigma;  // standard deviation at each point, in the profile's unit
  // Independent unit noise run through these weights (Σ w² = 1) has the
  // profile's correlation between neighbours; {1} when points are independent.
  std::vector<double> kernel{1.0};
  bool counts = false;  // integer counts: Poisson, σ² = the expected counts

  // The noise power at a frequency, relative to independent noise of the same
  // variance: |Σ w_k exp(−2πi k φ)|², φ in cycles per point.
  double power_factor(double cycles_per_point) const;
  // The correlation of the noise of points `lag` apart: Σ_k w_k w_(k+lag).
  double correlation(int lag) const;

  // One realisation of the noise: out[i] = σ_i Σ_k w_k z_(i+k), z independent
  // standard normal.
  void draw(std::mt19937_64& rng, std::vector<double>& out) const;
};

// The noise of the profile `y` (one value per point, on an even step), from
// the values themselves: Poisson for integer counts, otherwise measured from
// the scatter of neighbouring points about a smooth curve, in proportion to
// the counts' level (scaled counts) where the profile stays positive, with
// the correlation of points up to two apart measured away from the line's
// core (where its own curvature would pass for shared noise).
counting_noise noise_of(const std::vector<double>& y);
