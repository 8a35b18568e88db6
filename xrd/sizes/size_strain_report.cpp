#include "xrd/sizes/size_strain_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string_view>

#include "core/text_helpers.h"
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

// The two mean column lengths, each a figure or not determined. Neither is
// given when the area-weighted one exceeds the volume-weighted one: no
// distribution of column lengths gives that, so at least one of them is
// wrong, and the reader cannot tell which.
struct column_lengths {
  summary_value area, volume;
};

column_lengths judged(const area_length& size, const char* no_size, double volume, bool volume_reached_zero) {
  column_lengths r;
  r.area = size.found ? summary_value::of(size.length, "%.1f", "the initial slope gives no finite length")
                      : summary_value::not_determined(no_size);
  r.volume = summary_value::of(volume, "%.1f", "the integral of A(L) is not finite");
  if (!r.area.number.empty() && !r.volume.number.empty() && size.length > volume) {
    std::string why = "the area-weighted length " + r.area.number + " A exceeds the volume-weighted " +
                      r.volume.number + " A, which no distribution of column lengths gives";
    if (!volume_reached_zero) why += "; A(L) is cut at the limit before it reaches 0";
    r.area = r.volume = summary_value::not_determined(why);
  }
  return r;
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

// The file of a result's name, "SAMPLE / REFERENCE".
std::string sample_of(const std::string& name) { return name.substr(0, name.find(" / ")); }

std::string widths_line(const char* what, const profile_widths& w) {
  return printed("  %-13s ", what) + "FWHM " + width_or_none("%.4f", w.fwhm) + " deg, integral breadth " +
         width_or_none("%.4f", w.breadth) + " deg, shape factor " + width_or_none("%.3f", w.shape) + "\n";
}

}  // namespace

std::string size_strain_text(const std::vector<std::string>& names, const std::vector<line_analysis>& lines,
                             const warren_averbach_result* pair) {
  std::string text;
  if (lines.empty()) return text;
  const line_analysis& first = lines.front();
  // With two orders the sizes are the ones A^S(L) gives, strain removed.
  column_lengths lengths;
  if (pair) {
    std::vector<double> L, AS;
    for (const warren_averbach_row& row : pair->rows) {
      L.push_back(row.L);
      AS.push_back(row.AS);
    }
    bool reached = false;
    const double volume = L.empty() ? std::numeric_limits<double>::quiet_NaN() : volume_weighted_length(L, AS, reached);
    lengths = judged(pair->size, "A^S(L) does not fall at its start: no size broadening is seen", volume, reached);
    if (std::isfinite(pair->AS_above_one_at))
      lengths.area = lengths.volume = summary_value::not_determined(
          printed("A^S(L) rises above 1 at L = %.1f A, which no size broadening gives", pair->AS_above_one_at));
  } else {
    lengths = judged(first.size, "A(L) does not fall at its start: no size broadening is seen", first.volume_length,
                     first.volume_reached_zero);
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
    text += summary_line(label, summary_value::of(a.scherrer, "%.1f", why), "A");
  }
  for (const line_analysis& a : lines)
    text += summary_line("Reconvolution R",
                         summary_value::of(100.0 * a.reconvolution_r, "%.2f",
                                           "the observed profile has no area above its background"),
                         "%");
  if (pair) {
    if (lengths.area.number.empty())
      text += summary_line("RMS strain at half the area-weighted length",
                           summary_value::not_determined("the area-weighted length is not determined"));
    else
      text += summary_line(printed("RMS strain at L = %.0f A", pair->half_L),
                           summary_value::of(pair->strain_at_half, "%.2e", no_strain_at(pair->rows, pair->half_L)));
    text += summary_line("RMS strain at L = 50 A",
                         summary_value::of(pair->strain_at_50, "%.2e", no_strain_at(pair->rows, 50.0)));
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
              number_or_none("%.3f", a.size.intercept) + "\n";
      // B(L) stays near 0 while the origin sits on the line's centre.
      double b = 0.0;
      const fourier_coefficients& c = a.coefficients;
      for (std::size_t k = 0; k < c.B.size() && k < c.L.size() && c.L[k] <= a.size.L_to; ++k)
        b = std::max(b, std::fabs(c.B[k]));
      text += "  origin check: largest |B(L)| over that range " + number_or_none("%.4f", b) + "\n";
    }
    if (!a.volume_reached_zero) text += "  A(L) does not reach 0 below the limit: the volume-weighted length is cut short\n";
    text += widths_line("observed", a.observed);
    text += widths_line("reference", a.reference);
    text += widths_line("deconvoluted", a.deconvoluted);
    for (const std::string& w : a.warnings) text += "  Warning: " + w + "\n";
  }
  if (pair && pair->rows.size() > 0)
    text += "Two orders: A1(L) and A2(L) divided by their fits' intercepts at L = 0, " +
            number_or_none("%.3f", pair->intercept1) + " and " + number_or_none("%.3f", pair->intercept2) +
            ", before the separation\n";
  if (pair && pair->size.found)
    text += "Two orders: initial slope of AS(L) fitted over L = " + number_or_none("%.1f", pair->size.L_from) +
            " to " + number_or_none("%.1f", pair->size.L_to) + printed(" A (%d points), intercept ", pair->size.points) +
            number_or_none("%.3f", pair->size.intercept) + "\n";
  // A^S above 1 stays in the table with a mark: how far above 1 it goes tells
  // noise from a pair that is not two orders of one line, and the columns
  // keep their count.
  if (pair && std::isfinite(pair->AS_above_one_at))
    text += printed("Two orders: AS(L) rises above 1 (by more than %.0e) from L = %.1f A, marked * in the table\n",
                    size_coefficient_tolerance, pair->AS_above_one_at);

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
    for (const warren_averbach_row& row : pair->rows) {
      std::string line;
      put_field(line, number_or_none("%-1.4f", row.L));
      put_field(line, number_or_none("%-1.4f", row.A1));
      put_field(line, number_or_none("%-1.4f", row.A2));
      put_field(line, number_or_none("%-1.4f", row.AS) + (size_coefficient_above_one(row.AS) ? "*" : ""));
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
