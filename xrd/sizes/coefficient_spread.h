#pragma once

#include <cstdint>
#include <limits>
#include <vector>

#include "xrd/sizes/line_analysis.h"
#include "xrd/sizes/size_strain.h"

class xy_yobs_3;

// How far the sizes and strains of a size-strain analysis move with the
// counting noise of the scans they come from. Each realisation adds to the
// sample's and the reference's observed profiles one draw of their own noise
// (counting_noise: Poisson for counts, the measured scatter with its
// correlation for exports) and runs the same chain on them: the same window,
// origin, background and frequency limit, which the files' options hold. The
// spread of what comes out is the standard uncertainty of each figure; the
// profiles are put back exactly as they were.
//
// Each u is a standard deviation over the realisations, NaN when fewer than
// half of them gave the figure.

struct line_spread {
  double slope = nan();         // the nominal fit's initial slope of ln A (per Å)
  double slope_u = nan();
  double area_u = nan();        // of ⟨L⟩area, from the slope's: u(−1/s) = u_s / s²
  double volume_u = nan();      // of ⟨L⟩vol
  double scherrer_u = nan();    // of the Scherrer size
  std::vector<double> A_sigma;  // σ of A(L) at each L of the coefficients
  // Each realisation's A(L), where it gave one: a figure read from A(L) by
  // a fit over many L takes its uncertainty from these, since the noise
  // moves neighbouring A(L) together, which A_sigma alone loses.
  std::vector<std::vector<double>> A_draws;
  static constexpr double nan() { return std::numeric_limits<double>::quiet_NaN(); }
};

// ⟨ε²(L)⟩ at one L, with its standard uncertainty.
struct strain_spread {
  double L = 0.0;
  double mean_square = line_spread::nan();    // nominal ⟨ε²⟩, read linearly in the table
  double mean_square_u = line_spread::nan();
  double rms_u = line_spread::nan();          // of ε_rms, u(⟨ε²⟩) / (2 ε_rms)
};

struct pair_spread {
  double slope = line_spread::nan();  // of ln A^S
  double slope_u = line_spread::nan();
  double area_u = line_spread::nan();
  double volume_u = line_spread::nan();
  std::vector<double> AS_sigma;       // σ of A^S(L) at each row of the table
  strain_spread at_half, at_50;       // at ⟨L⟩area / 2 (nominal) and at 50 Å
  // The first L where A^S(L) lies above 1 by more than twice its σ (and the
  // rounding's tolerance); NaN when it never does.
  double AS_above_one_at = line_spread::nan();
};

struct size_strain_spread {
  int realisations = 0;  // how many were drawn, 0 when every figure was carried to first order
  bool propagated = false;  // some line's figures were carried to first order
  std::vector<line_spread> lines;
  pair_spread pair;
};

// Whether each line's A(L) of every realisation is wanted (A_sigma and
// A_draws, for fits over many L made again on each).
enum class coefficient_draws { not_needed, kept };

// The uncertainties of `lines` and `pair`, the nominal analyses of `samples`
// (pair null for a single line). Each line's own figures are carried to
// first order (propagated_spread), which needs no draws. K realisations (a
// fixed seed: the same files give the same figures) of each sample with its
// reference give the pair's figures, the draws when they are kept, and a
// line's figures where first order does not hold; none are drawn when
// nothing needs them (`realisations` then says 0). The profiles' values,
// and the chains' results once run again, are as they were before.
size_strain_spread spread_of(const std::vector<xy_yobs_3*>& samples, const std::vector<line_analysis>& lines,
                             const warren_averbach_result* pair,
                             coefficient_draws draws = coefficient_draws::not_needed, int realisations = 50,
                             std::uint64_t seed = 20261207);

// ⟨ε²⟩ at L read linearly in the table; NaN outside it or at L = 0.
double mean_square_strain_at(const std::vector<warren_averbach_row>& rows, double L);

// The largest area-weighted length the fit `size` can tell from no size
// broadening, given the standard uncertainty of its slope (NaN: not known,
// then only the fitted range limits it); infinite when nothing does. A
// larger length is not resolved.
double resolvable_length(const area_length& size, double slope_u);

// Whether A^S at one row lies above 1 by more than twice its σ (NaN: not
// known, then by more than the rounding's tolerance alone); and the first
// L > 0 of the table, from `from` on, where it does, NaN when none. The
// hook near L = 0 bends each order's A(L) by a different amount, which the
// noise does not cover: A^S is judged where the fit reads it, past the hook.
bool above_one_beyond_noise(double AS, double sigma);
// Where the two orders' fit of A^S(L) starts, 0 without a fit.
double past_hook(const warren_averbach_result& pair);
double size_coefficients_above_one_from(const std::vector<warren_averbach_row>& rows,
                                        const std::vector<double>& sigma, double from = 0.0);
