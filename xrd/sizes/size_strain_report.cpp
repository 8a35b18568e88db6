#include "xrd/sizes/size_strain_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string_view>

#include "core/text_helpers.h"
#include "xrd/sizes/judged_figures.h"
#include "xrd/sizes/line_warnings.h"
#include "xrd/sizes/summary_line.h"

namespace {

// As wide as the xy report's fields.
constexpr std::size_t field_width = 13;

void put_field(std::string& line, std::string_view text) {
  line.append(text);
  line.append(text.size() < field_width ? field_width - text.size() : 1, ' ');
}

template <class... T>
std::string printed(const char* format, T... values) {
  char text[256];
  std::snprintf(text, sizeof text, format, values...);
  return text;
}

// A width that could not be found reads "none".
std::string width_or_none(const char* format, double v) { return std::isfinite(v) ? printed(format, v) : "none"; }

// A figure of the detail lines or the table; "none" where there is none.
std::string number_or_none(const char* format, double v) {
  return std::isfinite(v) ? format_number(format, v) : "none";
}

// ", slope S ± U /A" of a fit's initial slope of ln A, with its
// uncertainty when known.
template <class Spread>
std::string slope_text(double slope, const Spread* s) {
  if (!std::isfinite(slope)) return {};
  std::string text = ", slope " + format_number("%.3e", slope);
  if (s && std::isfinite(s->slope_u)) text += " \u00b1 " + format_number("%.1e", s->slope_u);
  return text + " /A";
}

// The file of a result's name, "SAMPLE / REFERENCE".
std::string sample_of(const std::string& name) { return name.substr(0, name.find(" / ")); }

std::string widths_line(const char* what, const profile_widths& w) {
  return printed("  %-13s ", what) + "FWHM " + width_or_none("%.4f", w.fwhm) + " deg, integral breadth " +
         width_or_none("%.4f", w.breadth) + " deg, shape factor " + width_or_none("%.3f", w.shape) + "\n";
}

}  // namespace

std::string size_strain_text(const std::vector<std::string>& names, const std::vector<line_analysis>& lines,
                             const warren_averbach_result* pair, const size_strain_spread* spread) {
  std::string text;
  if (lines.empty()) return text;
  const line_analysis& first = lines.front();
  constexpr double none = std::numeric_limits<double>::quiet_NaN();
  const bool spread_ok = spread && spread->lines.size() == lines.size();
  auto line_spread_of = [&](std::size_t i) -> const line_spread* { return spread_ok ? &spread->lines[i] : nullptr; };
  // With two orders the sizes are the ones A^S(L) gives, strain removed.
  const pair_spread* p = pair && spread_ok ? &spread->pair : nullptr;
  column_lengths lengths;
  if (pair) {
    lengths = judged_pair_lengths(*pair, p);
  } else {
    const line_spread* s = line_spread_of(0);
    lengths = judged_lengths(first.size, s ? s->slope_u : none, s ? s->area_u : none,
                             "A(L) does not fall at its start: no size broadening is seen", first.volume_length,
                             s ? s->volume_u : none, first.volume_reached_zero);
  }
  text += summary_line("Area-weighted mean column length", lengths.area, "A");
  text += summary_line("Volume-weighted mean column length", lengths.volume, "A");
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const line_analysis& a = lines[i];
    // With two orders each line has its own breadth, and so its own size.
    std::string label = "Scherrer size (integral breadth)";
    if (lines.size() > 1)
      label += " of " + (i < names.size() ? sample_of(names[i]) : std::string("line ") + std::to_string(i + 1));
    const char* why = a.coefficients.wavelength > 0.0 ? "the deconvoluted profile has no integral breadth"
                                                      : "no wavelength (lBamda) is set";
    const line_spread* s = line_spread_of(i);
    text += summary_line(label, summary_value::of(a.scherrer, s ? s->scherrer_u : none, "%.1f", why), "A");
  }
  for (const line_analysis& a : lines)
    text += summary_line("Reconvolution R",
                         summary_value::of(100.0 * a.reconvolution_r, "%.2f",
                                           "the observed profile has no area above its background"),
                         "%");
  if (pair) {
    const pair_strain at_half = judged_strain_at_half(*pair, p, lengths.area);
    text += summary_line(at_half.label, at_half.value);
    text += summary_line("RMS strain at L = 50 A",
                         judged_strain(pair->strain_at_50, p ? &p->at_50 : nullptr, no_strain_at(pair->rows, 50.0)));
  }

  text += "\n";
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const line_analysis& a = lines[i];
    text += (i < names.size() ? names[i] : std::string("line ") + std::to_string(i + 1)) + ":\n";
    text += "  2theta0 " + number_or_none("%.4f", a.coefficients.two_theta) + " deg, d " +
            number_or_none("%.5f", a.coefficients.d_spacing()) +
            (a.automatic_limit ? " A, automatic frequency limit " : " A, frequency limit ") +
            number_or_none("%.4f", a.limit_frequency) + " cycles/deg (L = " + number_or_none("%.1f", a.limit_L) +
            " A), signal-to-noise there " +
            (std::isfinite(a.snr_at_limit) ? format_number("%.1f", a.snr_at_limit) : std::string("not determined")) +
            "\n";
    if (a.size.found) {
      text += "  initial slope fitted over L = " + number_or_none("%.1f", a.size.L_from) + " to " +
              number_or_none("%.1f", a.size.L_to) + printed(" A (%d points), intercept ", a.size.points) +
              number_or_none("%.3f", a.size.intercept) + slope_text(a.size.slope, line_spread_of(i)) + "\n";
      // B(L) stays near 0 while the origin sits on the line's centre.
      double b = 0.0;
      const fourier_coefficients& c = a.coefficients;
      for (std::size_t k = 0; k < c.B.size() && k < c.L.size() && c.L[k] <= a.size.L_to; ++k)
        b = std::max(b, std::fabs(c.B[k]));
      if (a.origin_where_b_smallest)
        text += "  origin " + number_or_none("%.4f", c.two_theta) +
                " deg, placed where |B(L)| is smallest: largest |B(L)| " + number_or_none("%.4f", b) + "\n";
      else
        text += "  origin check: largest |B(L)| over that range " + number_or_none("%.4f", b) + "\n";
    }
    if (!a.volume_reached_zero)
      text += "  A(L) does not reach 0 below the limit: the volume-weighted length is cut short" +
              std::string(pair ? "\n" : ", and given as a lower bound\n");
    if (!a.size.found && std::isfinite(a.size.slope))
      text += "  initial slope of ln A(L) over L = " + number_or_none("%.1f", a.size.L_from) + " to " +
              number_or_none("%.1f", a.size.L_to) + " A" + slope_text(a.size.slope, line_spread_of(i)) +
              ": not below 0\n";
    text += widths_line("observed", a.observed);
    text += widths_line("reference", a.reference);
    text += widths_line("deconvoluted", a.deconvoluted);
    text += profile_fit_lines(a);
    for (const std::string& w : a.warnings) text += "  Warning: " + w + "\n";
  }
  if (pair && pair->rows.size() > 0)
    text += "Two orders: A1(L) and A2(L) divided by their fits' intercepts at L = 0, " +
            number_or_none("%.3f", pair->intercept1) + " and " + number_or_none("%.3f", pair->intercept2) +
            ", before the separation\n";
  if (pair && pair->size.found)
    text += "Two orders: initial slope of AS(L) fitted over L = " + number_or_none("%.1f", pair->size.L_from) +
            " to " + number_or_none("%.1f", pair->size.L_to) + printed(" A (%d points), intercept ", pair->size.points) +
            number_or_none("%.3f", pair->size.intercept) +
            slope_text(pair->size.slope, spread_ok ? &spread->pair : nullptr) + "\n";
  if (pair && !pair_volume_reached(*pair))
    text += "Two orders: AS(L) does not reach 0 in the table: the volume-weighted length is cut short, and given as "
            "a lower bound\n";
  // A^S above 1 stays in the table with a mark: how far above 1 it goes tells
  // noise from a pair that is not two orders of one line, and the columns
  // keep their count.
  if (pair && spread_ok && std::isfinite(spread->pair.AS_above_one_at))
    text += printed("Two orders: AS(L) rises above 1 by more than twice its standard uncertainty from L = %.1f A, marked * "
                    "in the table\n",
                    spread->pair.AS_above_one_at);
  else if (pair && !spread_ok && std::isfinite(pair->AS_above_one_at))
    text += printed("Two orders: AS(L) rises above 1 (by more than %.0e) from L = %.1f A, marked * in the table\n",
                    size_coefficient_tolerance, pair->AS_above_one_at);
  if (spread_ok && spread->propagated && spread->realisations > 0)
    text += "Uncertainties (after \u00b1) and bounds: each line's sizes carried to first order from the counting noise "
            "of the samples and references, the two orders' figures the spread over " +
            std::to_string(spread->realisations) +
            " realisations of that noise, through the same window, origin, background and limit\n";
  else if (spread_ok && spread->propagated)
    text += "Uncertainties (after \u00b1) and bounds: each line's sizes carried to first order from the counting noise "
            "of the samples and references, through the same window, origin, background and limit\n";
  else if (spread_ok && spread->realisations > 0)
    text += printed("Uncertainties (after \u00b1) and bounds: the spread over %d realisations of the counting noise of "
                    "the samples and references, through the same window, origin, background and limit\n",
                    spread->realisations);

  text += "\n";
  std::string header;
  put_field(header, "L");
  put_field(header, "A1");
  if (pair) {
    put_field(header, "A2");
    put_field(header, "AS");
    put_field(header, "eps_rms");
  }
  text += header + "\n";
  if (pair) {
    for (std::size_t i = 0; i < pair->rows.size(); ++i) {
      const warren_averbach_row& row = pair->rows[i];
      // Above 1 by more than the noise where the noise is known.
      const std::vector<double>* sigma = spread_ok ? &spread->pair.AS_sigma : nullptr;
      const bool above = spread_ok ? row.L >= past_hook(*pair) &&
                                         above_one_beyond_noise(row.AS, i < sigma->size() ? (*sigma)[i] : none)
                                   : size_coefficient_above_one(row.AS);
      std::string line;
      put_field(line, number_or_none("%-1.4f", row.L));
      put_field(line, number_or_none("%-1.4f", row.A1));
      put_field(line, number_or_none("%-1.4f", row.A2));
      put_field(line, number_or_none("%-1.4f", row.AS) + (above ? "*" : ""));
      // No rms strain where ⟨ε²⟩ is 0 or below (or at L = 0): never a 0.
      put_field(line, number_or_none("%.4e", row.eps_rms));
      text += line + "\n";
    }
  } else {
    const fourier_coefficients& c = first.coefficients;
    for (std::size_t i = 0; i < c.L.size(); ++i) {
      std::string line;
      put_field(line, number_or_none("%-1.4f", c.L[i]));
      put_field(line, number_or_none("%-1.4f", c.A[i]));
      text += line + "\n";
    }
  }
  return text;
}
