#include "xrd/sizes/judged_figures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

#include "core/text_helpers.h"

namespace {

template <class... T>
std::string printed(const char* format, T... values) {
  char text[256];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

// The area-weighted length: a figure with its uncertainty, or a bound where
// the data do not resolve it. Without an uncertainty of the slope (no
// realisations) only a fit that stops far short of its length is a bound.
summary_value area_value(const area_length& size, double slope_u, double area_u, const char* no_size) {
  const double most = resolvable_length(size, slope_u);
  const char* why = "the initial slope gives no finite bound";
  if (!size.found)
    return std::isfinite(slope_u) && std::isfinite(size.slope) ? summary_value::not_resolved('>', most, "%.1f", why)
                                                               : summary_value::not_determined(no_size);
  if (size.length > most) return summary_value::not_resolved('>', most, "%.1f", why);
  return summary_value::of(size.length, area_u, "%.1f", "the initial slope gives no finite length");
}

}  // namespace

// The two mean column lengths, each a figure, a bound or not determined.
// Neither is given when the area-weighted one exceeds the volume-weighted
// one: no distribution of column lengths gives that, so at least one of
// them is wrong, and the reader cannot tell which. A volume-weighted length
// cut at the limit is a lower bound, which no area-weighted one contradicts.
column_lengths judged_lengths(const area_length& size, double slope_u, double area_u, const char* no_size,
                              double volume, double volume_u, bool volume_reached_zero) {
  column_lengths r;
  r.area = area_value(size, slope_u, area_u, no_size);
  const char* no_volume = "the integral of A(L) is not finite";
  r.volume = volume_reached_zero ? summary_value::of(volume, volume_u, "%.1f", no_volume)
                                 : summary_value::at_least(volume, "%.1f", no_volume);
  if (r.area.form == summary_value::kind::figure && r.volume.form == summary_value::kind::figure &&
      size.length > volume) {
    const std::string why = "the area-weighted length " + r.area.number + " A exceeds the volume-weighted " +
                            r.volume.number + " A, which no distribution of column lengths gives";
    r.area = r.volume = summary_value::not_determined(why);
  }
  return r;
}

// An rms strain with its uncertainty; not resolved where ⟨ε²⟩ lies within
// two standard uncertainties of 0, the bound then the largest rms strain
// within them.
summary_value judged_strain(double eps, const strain_spread* s, const std::string& why_not) {
  if (s && std::isfinite(s->mean_square) && std::isfinite(s->mean_square_u) && s->mean_square_u > 0.0) {
    const double m = s->mean_square, u = s->mean_square_u;
    if (std::fabs(m) < 2.0 * u)
      return summary_value::not_resolved('<', std::sqrt(std::max(m, 0.0) + 2.0 * u), "%.1e", why_not);
  }
  return summary_value::of(eps, s ? s->rms_u : std::numeric_limits<double>::quiet_NaN(), "%.2e", why_not);
}

// Why there is no rms strain at L in the table.
std::string no_strain_at(const std::vector<warren_averbach_row>& rows, double L) {
  if (rows.size() < 2) return "the two orders give no table of strains";
  if (L > rows.back().L)
    return printed("L lies beyond the table, which ends at L = %.1f A where A(L) or the limit ends", rows.back().L);
  // The rows strain_at interpolates between; the one without a strain says why.
  for (std::size_t i = 1; i < rows.size(); ++i) {
    if (rows[i].L < L) continue;
    for (const warren_averbach_row* row : {&rows[i - 1], &rows[i]})
      if (row->L > 0.0 && std::isnan(row->eps_rms))
        return row->mean_square_strain <= 0.0
                   ? printed("the mean squared strain is %.2e at L = %.1f A, not above 0", row->mean_square_strain,
                             row->L)
                   : printed("the mean squared strain is not finite at L = %.1f A", row->L);
    break;
  }
  return "the table gives no finite strain there";
}

column_lengths judged_pair_lengths(const warren_averbach_result& pair, const pair_spread* p) {
  constexpr double none = std::numeric_limits<double>::quiet_NaN();
  std::vector<double> L, AS;
  for (const warren_averbach_row& row : pair.rows) {
    L.push_back(row.L);
    AS.push_back(row.AS);
  }
  bool reached = true;
  const double volume = L.empty() ? none : volume_weighted_length(L, AS, reached);
  column_lengths lengths =
      judged_lengths(pair.size, p ? p->slope_u : none, p ? p->area_u : none,
                     "A^S(L) does not fall at its start: no size broadening is seen", volume, p ? p->volume_u : none,
                     reached);
  // Where the size is not resolved A^S(L) is flat, and noise puts it on
  // either side of 1: the bound says all there is.
  const double above_one_at = p ? p->AS_above_one_at : pair.AS_above_one_at;
  if (std::isfinite(above_one_at) && lengths.area.form != summary_value::kind::not_resolved)
    lengths.area = lengths.volume = summary_value::not_determined(
        printed("A^S(L) rises above 1 at L = %.1f A, which no size broadening gives", above_one_at));
  return lengths;
}

bool pair_volume_reached(const warren_averbach_result& pair) {
  std::vector<double> L, AS;
  for (const warren_averbach_row& row : pair.rows) {
    L.push_back(row.L);
    AS.push_back(row.AS);
  }
  bool reached = true;
  if (!L.empty()) volume_weighted_length(L, AS, reached);
  return reached;
}

pair_strain judged_strain_at_half(const warren_averbach_result& pair, const pair_spread* p,
                                  const summary_value& area_length) {
  if (area_length.form != summary_value::kind::figure)
    return {"RMS strain at half the area-weighted length", std::numeric_limits<double>::quiet_NaN(),
            summary_value::not_determined(area_length.form == summary_value::kind::not_resolved
                                              ? "the area-weighted length is not resolved"
                                              : "the area-weighted length is not determined")};
  return {printed("RMS strain at L = %.0f A", pair.half_L), pair.half_L,
          judged_strain(pair.strain_at_half, p ? &p->at_half : nullptr, no_strain_at(pair.rows, pair.half_L))};
}
