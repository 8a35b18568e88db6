#include "xrd/sizes/size_strain_report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string_view>

#include "core/text_helpers.h"

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

std::string length_line(const char* what, bool found, double value) {
  return std::string(what) + " = " + (found && std::isfinite(value) ? printed("%.1f", value) : "none") + " A\n";
}

// A width that could not be found reads "none".
std::string width_or_none(const char* format, double v) { return std::isfinite(v) ? printed(format, v) : "none"; }

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
  // With two orders the size is the one A^S(L) gives, strain removed.
  if (pair) {
    std::vector<double> L, AS;
    for (const warren_averbach_row& row : pair->rows) {
      L.push_back(row.L);
      AS.push_back(row.AS);
    }
    bool reached = false;
    const double volume = volume_weighted_length(L, AS, reached);
    text += length_line("Area-weighted mean column length", pair->size.found, pair->size.length);
    text += length_line("Volume-weighted mean column length", !L.empty(), volume);
  } else {
    text += length_line("Area-weighted mean column length", first.size.found, first.size.length);
    text += length_line("Volume-weighted mean column length", true, first.volume_length);
  }
  text += length_line("Scherrer size (integral breadth)", std::isfinite(first.scherrer), first.scherrer);
  for (const line_analysis& a : lines)
    text += std::isfinite(a.reconvolution_r) ? printed("Reconvolution R = %.2f %%\n", 100.0 * a.reconvolution_r)
                                             : std::string("Reconvolution R = none\n");
  if (pair) {
    text += std::isfinite(pair->half_L) ? printed("RMS strain at L = %.0f A = %.2e\n", pair->half_L, pair->strain_at_half)
                                        : std::string("RMS strain at L = none\n");
    text += printed("RMS strain at L = 50 A = %.2e\n", pair->strain_at_50);
  }

  text += "\n";
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const line_analysis& a = lines[i];
    text += (i < names.size() ? names[i] : std::string("line ") + std::to_string(i + 1)) + ":\n";
    text += printed("  2theta0 %.4f deg, d %.5f A, frequency limit %.4f cycles/deg (L = %.1f A), "
                    "signal-to-noise there %.1f\n",
                    a.coefficients.two_theta, a.coefficients.d_spacing(), a.limit_frequency, a.limit_L,
                    a.snr_at_limit);
    if (a.size.found) {
      text += printed("  initial slope fitted over L = %.1f to %.1f A (%d points)\n", a.size.L_from, a.size.L_to,
                      a.size.points);
      // B(L) stays near 0 while the origin sits on the line's centre.
      double b = 0.0;
      const fourier_coefficients& c = a.coefficients;
      for (std::size_t k = 0; k < c.B.size() && k < c.L.size() && c.L[k] <= a.size.L_to; ++k)
        b = std::max(b, std::fabs(c.B[k]));
      text += printed("  origin check: largest |B(L)| over that range %.4f\n", b);
    }
    if (!a.volume_reached_zero) text += "  A(L) does not reach 0 below the limit: the volume-weighted length is cut short\n";
    text += widths_line("observed", a.observed);
    text += widths_line("reference", a.reference);
    text += widths_line("deconvoluted", a.deconvoluted);
    for (const std::string& w : a.warnings) text += "  Warning: " + w + "\n";
  }
  if (pair && pair->size.found)
    text += printed("Two orders: initial slope of AS(L) fitted over L = %.1f to %.1f A (%d points)\n",
                    pair->size.L_from, pair->size.L_to, pair->size.points);

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
      put_field(line, format_number("%-1.4f", row.L));
      put_field(line, format_number("%-1.4f", row.A1));
      put_field(line, format_number("%-1.4f", row.A2));
      put_field(line, format_number("%-1.4f", row.AS));
      put_field(line, std::isnan(row.eps_rms) ? std::string("") : printed("%.4e", row.eps_rms));
      text += line + "\n";
    }
  } else {
    const fourier_coefficients& c = first.coefficients;
    for (std::size_t i = 0; i < c.L.size(); ++i) {
      std::string line;
      put_field(line, format_number("%-1.4f", c.L[i]));
      put_field(line, format_number("%-1.4f", c.A[i]));
      text += line + "\n";
    }
  }
  return text;
}
