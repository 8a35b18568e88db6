#include "xrd/sizes/coefficient_spread.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <optional>
#include <random>
#include <string>

#include "core/numeric_abort.h"
#include "xrd/chain/xy_yobs_3.h"
#include "xrd/chain/xy_yobs_4.h"
#include "xrd/curves/xy_data_3.h"
#include "xrd/measures/line_widths.h"
#include "xrd/sizes/coefficient_noise.h"
#include "xrd/sizes/counting_noise.h"
#include "xrd/sizes/propagated_spread.h"

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double nan_value = line_spread::nan();

// Mean and standard deviation of the values drawn for one figure.
struct tally {
  int n = 0;
  double sum = 0.0, squares = 0.0;
  void add(double v) {
    if (!std::isfinite(v)) return;
    ++n;
    sum += v;
    squares += v * v;
  }
  // NaN when fewer than half of the realisations gave a value: the spread of
  // the few that did would flatter the figure.
  double sd(int realisations) const {
    if (n < 2 || 2 * n < realisations) return nan_value;
    const double mean = sum / n;
    return std::sqrt(std::max(squares - n * mean * mean, 0.0) / (n - 1));
  }
};

std::vector<double> sds(const std::vector<tally>& t, int realisations) {
  std::vector<double> out;
  out.reserve(t.size());
  for (const tally& v : t) out.push_back(v.sd(realisations));
  return out;
}

void add_all(std::vector<tally>& t, const std::vector<double>& values) {
  for (std::size_t i = 0; i < values.size() && i < t.size(); ++i) t[i].add(values[i]);
}

// One observed profile drawn again: its values as measured and its noise.
struct drawn_profile {
  xy_yobs_3* chain = nullptr;
  xy_data_for_3* data = nullptr;
  std::vector<float> measured;
  counting_noise noise;
  // The chain takes off the line through the ends' means, which each draw
  // moves as it moves the ends.
  bool background_from_ends = false;
};

// Puts every profile back as measured, however the realisations end.
struct restore_on_exit {
  std::vector<drawn_profile>& profiles;
  const std::vector<xy_yobs_3*>& samples;
  ~restore_on_exit() {
    for (drawn_profile& p : profiles) {
      for (std::size_t i = 0; i < p.measured.size(); ++i) p.data->y[p.data->y.base() + static_cast<int>(i)] = p.measured[i];
      p.chain->invalidate_chain();
    }
    // The chains hold the measured profiles' results again, as a display
    // that reads them expects; the stages are deterministic, so bit for bit.
    try {
      for (xy_yobs_3* s : samples) s->run_deconvolution();
    } catch (const numeric_abort&) {
      // The same profiles ran before the realisations; nothing new can fail.
    }
  }
};

// The Scherrer size of the deconvoluted profile, as analyse_line finds it.
// `x` and `d` are room for the profile, kept from one realisation to the
// next.
double scherrer_of(xy_yobs_3& sample, const fourier_coefficients& c, std::vector<double>& x, std::vector<double>& d) {
  if (!(c.wavelength > 0.0) || !sample.run_deconvolution()) return nan_value;
  const double step = sample.observed_data().xd;
  const int nd = sample.fft.profile.count();
  x.resize(static_cast<std::size_t>(nd));
  d.resize(static_cast<std::size_t>(nd));
  for (int i = 0; i < nd; ++i) {
    x[static_cast<std::size_t>(i)] = (i - nd / 2) * step;
    d[static_cast<std::size_t>(i)] = sample.fft.profile[sample.fft.profile.base() + i];
  }
  const double breadth = measure_line(x, d).integral_breadth_x;
  return c.wavelength / (breadth * pi / 180.0 * std::cos(c.two_theta * pi / 360.0));
}

// The volume-weighted length of A^S(L), as the report takes it.
double volume_of(const std::vector<warren_averbach_row>& rows) {
  std::vector<double> L, AS;
  for (const warren_averbach_row& row : rows) {
    L.push_back(row.L);
    AS.push_back(row.AS);
  }
  bool reached = false;
  return L.empty() ? nan_value : volume_weighted_length(L, AS, reached);
}

strain_spread strain_of(const std::vector<warren_averbach_row>& rows, double L, const tally& t, int realisations) {
  strain_spread s;
  s.L = L;
  s.mean_square = mean_square_strain_at(rows, L);
  s.mean_square_u = t.sd(realisations);
  if (s.mean_square > 0.0) s.rms_u = s.mean_square_u / (2.0 * std::sqrt(s.mean_square));
  return s;
}

// A fit whose range ends below a third of the size it gives sees ln A fall
// by less than a third over it: a size's slope and a strain's curvature can
// no longer be told apart there.
constexpr double range_factor = 3.0;

}  // namespace

// The largest area-weighted length this fit can tell from no size
// broadening at all; infinite when nothing limits it. A size D gives the
// initial slope −1/D. The slope's uncertainty u is what the reference's
// breadth, the limit and the noise make of the counting statistics together:
// the quotient divides the sample's transform, noise and all, by the
// reference's, which is the smaller the broader the reference, and the limit
// sets how many of those amplified points the fit takes and how far out they
// reach. A size above 1/(2u) gives a slope within 2u of 0, which noise alone
// gives too; and the fitted range caps it (range_factor).
double resolvable_length(const area_length& size, double slope_u) {
  double most = std::numeric_limits<double>::infinity();
  if (std::isfinite(slope_u) && slope_u > 0.0) most = 1.0 / (2.0 * slope_u);
  if (size.points > 0 && size.L_to > 0.0) most = std::min(most, range_factor * size.L_to);
  return most;
}

double past_hook(const warren_averbach_result& pair) { return pair.size.points > 0 ? pair.size.L_from : 0.0; }

bool above_one_beyond_noise(double AS, double sigma) {
  return size_coefficient_above_one(AS) && !(AS <= 1.0 + 2.0 * sigma);
}

double size_coefficients_above_one_from(const std::vector<warren_averbach_row>& rows,
                                        const std::vector<double>& sigma, double from) {
  for (std::size_t i = 0; i < rows.size(); ++i)
    if (rows[i].L > 0.0 && rows[i].L >= from && above_one_beyond_noise(rows[i].AS, i < sigma.size() ? sigma[i] : nan_value))
      return rows[i].L;
  return nan_value;
}

double mean_square_strain_at(const std::vector<warren_averbach_row>& rows, double L) {
  if (!(L > 0.0)) return nan_value;
  for (std::size_t i = 1; i < rows.size(); ++i) {
    if (rows[i].L < L) continue;
    const warren_averbach_row& a = rows[i - 1];
    const warren_averbach_row& b = rows[i];
    // L = 0 has no ⟨ε²⟩: below the first row that has one, that row's.
    if (!(a.L > 0.0)) return b.mean_square_strain;
    const double t = (L - a.L) / (b.L - a.L);
    return a.mean_square_strain + t * (b.mean_square_strain - a.mean_square_strain);
  }
  return nan_value;
}

size_strain_spread spread_of(const std::vector<xy_yobs_3*>& samples, const std::vector<line_analysis>& lines,
                             const warren_averbach_result* pair, coefficient_draws draws_wanted, int realisations,
                             std::uint64_t seed) {
  size_strain_spread out;
  if (samples.empty() || samples.size() != lines.size() || realisations < 2) return out;
  for (const line_analysis& a : lines)
    if (!a.refused.empty()) return out;
  std::vector<std::optional<line_spread>> propagated;
  bool all_propagated = true;
  for (std::size_t i = 0; i < samples.size(); ++i) {
    propagated.push_back(propagated_spread(*samples[i], lines[i]));
    all_propagated = all_propagated && propagated.back().has_value();
  }
  out.propagated = std::any_of(propagated.begin(), propagated.end(), [](const auto& p) { return p.has_value(); });
  if (!pair && draws_wanted == coefficient_draws::not_needed && all_propagated) {
    for (std::optional<line_spread>& p : propagated) out.lines.push_back(std::move(*p));
    return out;
  }

  // A reference that serves both orders is one profile with one noise.
  std::vector<drawn_profile> profiles;
  auto take = [&](xy_yobs_3* chain) {
    if (!chain) return;
    for (const drawn_profile& p : profiles)
      if (p.chain == chain) return;
    drawn_profile p;
    p.chain = chain;
    p.data = &chain->observed_data();
    const int n = p.data->y.count();
    std::vector<double> values(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
      p.measured.push_back(p.data->y[p.data->y.base() + i]);
      values[static_cast<std::size_t>(i)] = p.measured.back();
    }
    p.noise = noise_of(values);
    p.background_from_ends = coefficient_noise::automatic_background(*chain, values);
    profiles.push_back(std::move(p));
  };
  for (xy_yobs_3* s : samples) {
    take(s);
    take(s->reference_profile());
  }

  const std::size_t count = samples.size();
  std::vector<tally> slope(count), volume(count), scherrer(count);
  std::vector<std::vector<tally>> A(count);
  for (std::size_t i = 0; i < count; ++i) A[i].resize(lines[i].coefficients.A.size());
  std::vector<std::vector<std::vector<double>>> draws(count);
  tally pair_slope, pair_volume, strain_half, strain_50;
  std::vector<tally> AS(pair ? pair->rows.size() : 0);
  const double half_L = pair ? pair->half_L : nan_value;

  std::mt19937_64 rng(seed);
  {
    restore_on_exit restore{profiles, samples};
    std::vector<double> e, deconvoluted_x, deconvoluted;
    std::vector<fourier_coefficients> c(count);
    for (int k = 0; k < realisations; ++k) {
      for (drawn_profile& p : profiles) {
        p.noise.draw(rng, e);
        // The background is linear in the profile: the one the noisy ends give
        // is the measured one plus the line through the noise's ends.
        if (p.background_from_ends) {
          const xy_yobs_3::end_line line = xy_yobs_3::line_through_ends(e);
          for (std::size_t i = 0; i < e.size(); ++i) e[i] -= line.intercept + line.slope * static_cast<double>(i);
        }
        for (std::size_t i = 0; i < p.measured.size() && i < e.size(); ++i)
          p.data->y[p.data->y.base() + static_cast<int>(i)] = static_cast<float>(p.measured[i] + e[i]);
        p.chain->invalidate_chain();
      }
      try {
        bool all = true;
        for (std::size_t i = 0; i < count; ++i) {
          std::string why;
          if (!coefficients_of(*samples[i], c[i], why)) {
            all = false;
            continue;
          }
          if (!propagated[i]) {
            const area_length size = area_weighted_length(c[i].L, c[i].A, c[i].hook_L);
            slope[i].add(size.slope);
            bool reached = false;
            volume[i].add(volume_weighted_length(c[i].L, c[i].A, reached));
            scherrer[i].add(scherrer_of(*samples[i], c[i], deconvoluted_x, deconvoluted));
          }
          add_all(A[i], c[i].A);
          if (draws_wanted == coefficient_draws::kept) draws[i].push_back(c[i].A);
        }
        if (pair && count == 2 && all) {
          const warren_averbach_result r = warren_averbach(c[0], c[1]);
          if (r.refused.empty()) {
            pair_slope.add(r.size.slope);
            pair_volume.add(volume_of(r.rows));
            std::vector<double> as;
            for (const warren_averbach_row& row : r.rows) as.push_back(row.AS);
            add_all(AS, as);
            strain_half.add(mean_square_strain_at(r.rows, half_L));
            strain_50.add(mean_square_strain_at(r.rows, 50.0));
          }
        }
      } catch (const numeric_abort&) {
        // A tail fit that does not converge on one draw: that draw gives nothing.
      }
    }
  }

  out.realisations = realisations;
  for (std::size_t i = 0; i < count; ++i) {
    line_spread s;
    s.slope = lines[i].size.slope;
    s.slope_u = slope[i].sd(realisations);
    if (lines[i].size.found) s.area_u = s.slope_u / (s.slope * s.slope);
    s.volume_u = volume[i].sd(realisations);
    s.scherrer_u = scherrer[i].sd(realisations);
    s.A_sigma = sds(A[i], realisations);
    s.A_draws = std::move(draws[i]);
    // The line's own figures to first order where it holds: exact but for
    // the noise's estimate, where fifty draws tell a deviation to 10%.
    if (propagated[i]) {
      s.slope_u = propagated[i]->slope_u;
      s.area_u = propagated[i]->area_u;
      s.volume_u = propagated[i]->volume_u;
      s.scherrer_u = propagated[i]->scherrer_u;
    }
    out.lines.push_back(std::move(s));
  }
  if (pair) {
    pair_spread& p = out.pair;
    p.slope = pair->size.slope;
    p.slope_u = pair_slope.sd(realisations);
    if (pair->size.found) p.area_u = p.slope_u / (p.slope * p.slope);
    p.volume_u = pair_volume.sd(realisations);
    p.AS_sigma = sds(AS, realisations);
    if (std::isfinite(half_L)) p.at_half = strain_of(pair->rows, half_L, strain_half, realisations);
    p.at_50 = strain_of(pair->rows, 50.0, strain_50, realisations);
    p.AS_above_one_at = size_coefficients_above_one_from(pair->rows, p.AS_sigma, past_hook(*pair));
  }
  return out;
}
