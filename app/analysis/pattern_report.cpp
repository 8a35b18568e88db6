#include "app/analysis/pattern_report.h"

#include <cmath>
#include <string>
#include <vector>

#include "app/views/williamson_hall_figure.h"
#include "core/text_helpers.h"
#include "xrd/sizes/summary_line.h"

namespace {

// A summary line without its line end, to be joined with another.
std::string clause(std::string_view label, const summary_value& v, std::string_view unit = "") {
  std::string s = summary_line(label, v, unit);
  if (!s.empty() && s.back() == '\n') s.pop_back();
  return s;
}

std::string number_or_none(const char* format, double v) {
  return std::isfinite(v) ? format_number(format, v) : std::string("none");
}

std::string with_u(const char* format, double v, double u) {
  std::string s = number_or_none(format, v);
  if (std::isfinite(v) && std::isfinite(u) && u > 0.0) s += " \u00b1 " + format_number(format, u);
  return s;
}

// The Warren–Averbach strain, its uncertainty printed as the summary's form
// has it ("%.2e ± %.1e").
summary_value pair_strain_value(const pattern_pair& p) {
  summary_value v = p.strain.value;
  if (v.form == summary_value::kind::figure && std::isfinite(p.spread.at_half.rms_u) && p.spread.at_half.rms_u > 0.0)
    v.uncertainty = format_number("%.1e", p.spread.at_half.rms_u);
  return v;
}

std::string pair_line(const pattern_pair& p) {
  const bool at_half = std::isfinite(p.strain.L);
  std::string strain_label = at_half ? "rms strain at L = " + format_number("%.0f", p.strain.L) + " A"
                                     : std::string("rms strain at half the area-weighted length");
  return "Warren-Averbach " + p.label + ": " + clause("area-weighted size", p.lengths.area, "A") + ", " +
         clause(strain_label, pair_strain_value(p)) + "\n";
}

// A fit's points: each line's x, y ± σ and residual.
std::string plot_lines(const char* title, const williamson_hall_plot& plot, const std::vector<std::string>& labels,
                       const char* x_name, const char* y_name) {
  std::string t = std::string(title) + ": ";
  if (!plot.refused.empty()) return t + "no fit: " + plot.refused + "\n";
  const weighted_fit& f = plot.fit;
  t += "intercept " + with_u("%.4e", f.coefficients[0], f.u(0)) + ", slope " +
       with_u("%.4e", f.coefficients[1], f.u(1)) + ", chi-square " + number_or_none("%.2f", f.chi_square) + " on " +
       std::to_string(f.degrees_of_freedom) + " degrees of freedom\n";
  for (std::size_t k = 0; k < plot.x.size(); ++k) {
    const std::size_t line = k < plot.lines.size() ? plot.lines[k] : k;
    t += "  " + (line < labels.size() ? labels[line] : std::string("?")) + "  " + x_name + " = " +
         number_or_none("%.5f", plot.x[k]) + "  " + y_name + " = " + with_u("%.4e", plot.y[k], plot.sigma[k]) +
         "  residual " + (k < f.residuals.size() ? number_or_none("%+.3e", f.residuals[k]) : std::string("none")) +
         "\n";
  }
  return t;
}

// What a person reads in the warning column for a figure that is not one.
void note_unresolved(std::vector<std::string>& notes, const char* what, const summary_value& v, const char* unit) {
  switch (v.form) {
    case summary_value::kind::figure:
      return;
    case summary_value::kind::lower_bound:
      notes.push_back(std::string(what) + " at least " + v.bound.substr(v.bound.find_first_not_of("> ")) + " " + unit);
      return;
    case summary_value::kind::not_resolved:
      notes.push_back(std::string(what) + " not resolved (" + v.bound + " " + unit + ")");
      return;
    case summary_value::kind::not_determined:
      notes.push_back(std::string(what) + " not determined (" + v.reason + ")");
      return;
  }
}

void note_unresolved(std::vector<std::string>& notes, const char* what, const uncertain_value& v, const char* unit) {
  note_unresolved(notes, what, summary_of(v, "%.4e", "%.1e"), unit);
}

std::string cells(const summary_value& v) {
  if (v.form != summary_value::kind::figure) return ",";
  return v.number + "," + v.uncertainty;
}

std::string cells(const uncertain_value& v) {
  if (!v.resolved()) return ",";
  return format_number("%.4e", v.value) + "," + (std::isfinite(v.u) ? format_number("%.1e", v.u) : std::string());
}

std::string line_block(const pattern_line& l) {
  std::string t = l.label + " at " + with_u("%.4f", l.two_theta, l.two_theta_u) + " deg, d = " +
                  with_u("%.5f", l.d_A, l.d_u) + " A, window " + number_or_none("%.3f", l.from) + " to " +
                  number_or_none("%.3f", l.to) + " deg\n";
  t += "  FWHM " + with_u("%.4f", l.fwhm, l.fwhm_u) + " deg, synthesised reference's FWHM " +
       number_or_none("%.4f", l.reference_fwhm) + " deg\n";
  if (l.analysed) {
    const line_analysis& a = l.analysis;
    t += "  " + summary_line("Area-weighted mean column length", l.lengths.area, "A");
    t += "  " + summary_line("Volume-weighted mean column length", l.lengths.volume, "A");
    t += "  " + summary_line("Scherrer size (integral breadth)", l.scherrer, "A");
    t += "  " + summary_line("Integral breadth", summary_of(l.integral_breadth, "%.4e", "%.1e"), "1/A");
    t += "  " + summary_line("Lorentzian breadth", summary_of(l.lorentz_breadth, "%.4e", "%.1e"), "1/A");
    t += "  " + summary_line("Gaussian breadth", summary_of(l.gauss_breadth, "%.4e", "%.1e"), "1/A");
    t += "  " + std::string(a.automatic_limit ? "automatic frequency limit " : "frequency limit ") +
         number_or_none("%.4f", a.limit_frequency) + " cycles/deg (L = " + number_or_none("%.1f", a.limit_L) +
         " A), signal-to-noise there " + number_or_none("%.1f", a.snr_at_limit) + "\n";
    if (l.voigt.refused.empty())
      t += "  ln A(L) fitted over L = " + number_or_none("%.1f", l.voigt.L_from_A) + " to " +
           number_or_none("%.1f", l.voigt.L_to_A) + " A (" + std::to_string(l.voigt.points) + " points)\n";
    else
      t += "  no Voigt breadths: " + l.voigt.refused + "\n";
  }
  for (const std::string& w : l.warnings) t += "  Warning: " + w + "\n";
  if (l.analysed) {
    const fourier_coefficients& c = l.analysis.coefficients;
    t += "  L            A            sigma_A\n";
    for (std::size_t i = 0; i < c.L.size() && i < c.A.size(); ++i) {
      const double s = i < l.spread.A_sigma.size() ? l.spread.A_sigma[i] : std::nan("");
      std::string row = "  " + number_or_none("%-1.4f", c.L[i]);
      row.resize(std::max<std::size_t>(row.size() + 1, 15), ' ');
      row += number_or_none("%-1.4f", c.A[i]);
      row.resize(std::max<std::size_t>(row.size() + 1, 28), ' ');
      row += number_or_none("%.2e", s);
      t += row + "\n";
    }
  }
  return t;
}

}  // namespace

std::string pattern_summary_lines(const pattern_analysis& a) {
  return williamson_hall_summary(a.voigt.volume_length_A, a.voigt.rms_strain);
}

std::string pattern_text(const pattern_analysis& a) {
  std::string t;
  std::size_t analysed = 0;
  for (const pattern_line& l : a.lines) analysed += l.analysed ? 1 : 0;
  t += "Lines analysed = " + std::to_string(analysed) + " of " + std::to_string(a.lines.size()) + " found\n";
  t += pattern_summary_lines(a);
  t += summary_line("Williamson-Hall (integral breadths) volume-weighted size",
                    summary_of(a.classical.volume_length_A, "%.1f", "%.1f"), "A");
  t += summary_line("Williamson-Hall (integral breadths) apparent strain",
                    summary_of(a.classical.apparent_strain, "%.2e", "%.1e"));
  if (a.has_modified) {
    t += summary_line(a.modified.q_fitted ? "Modified Williamson-Hall q (fitted)" : "Modified Williamson-Hall q (given)",
                      summary_of(a.modified.q, "%.3f", "%.3f"));
    t += summary_line("Modified Williamson-Hall volume-weighted size",
                      summary_of(a.modified.volume_length_A, "%.1f", "%.1f"), "A");
    t += summary_line("Modified Williamson-Hall apparent strain along h00",
                      summary_of(a.modified.strain_h00, "%.2e", "%.1e"));
    t += summary_line(a.modified_gauss.q_fitted ? "Modified Williamson-Hall (Gaussian breadths) q (fitted)"
                                                : "Modified Williamson-Hall (Gaussian breadths) q (given)",
                      a.modified_gauss.q_fitted &&
                              a.modified_gauss.strain_h00.form == uncertain_value::kind::not_determined
                          ? summary_value::not_determined("the fit it comes from gives no strain along h00")
                          : summary_of(a.modified_gauss.q, "%.3f", "%.3f"));
    t += summary_line("Modified Williamson-Hall rms strain along h00",
                      summary_of(a.modified_gauss.strain_h00, "%.2e", "%.1e"));
  }
  for (const pattern_pair& p : a.pairs) t += pair_line(p);

  t += "\n";
  const std::vector<std::string>& labels = a.fitted;
  t += plot_lines("Williamson-Hall, integral breadth against d*", a.classical.plot, labels, "d*", "beta*");
  t += plot_lines("Williamson-Hall, Lorentzian breadth against d*", a.voigt.size_plot, labels, "d*", "beta_L*");
  t += plot_lines("Williamson-Hall, squared Gaussian breadth against d*^2", a.voigt.strain_plot, labels, "d*^2",
                  "beta_G*^2");
  if (a.has_modified) {
    t += plot_lines("Modified Williamson-Hall, integral breadth against d* sqrt(C/Ch00)", a.modified.plot, labels,
                    "x", "beta*");
    t += plot_lines("Modified Williamson-Hall, squared Gaussian breadth against d*^2 C/Ch00", a.modified_gauss.plot,
                    labels, "x", "beta_G*^2");
  }
  if (!a.unindexed.empty()) {
    t += "Unindexed lines (" + std::to_string(a.unindexed.size()) + "):";
    for (const std::string& u : a.unindexed) t += " " + u;
    t += "\n";
  }
  if (a.realisations > 0)
    t += "Uncertainties (after \u00b1) and bounds: each line's sizes carried to first order from the counting "
         "noise, the fits over many L the spread over " + std::to_string(a.realisations) +
         " realisations of that noise, through each line's window, origin, background and limit, with "
         "the instrument function's own uncertainty at each line\n";
  for (const pattern_line& l : a.lines) {
    t += '\n';
    t += line_block(l);
  }
  return t;
}

std::string pattern_csv(const pattern_analysis& a) {
  std::string t =
      "hkl,two_theta,two_theta_u,d,d_u,fwhm,fwhm_u,integral_breadth,integral_breadth_u,lorentz_breadth,"
      "lorentz_breadth_u,gauss_breadth,gauss_breadth_u,area_weighted_length,area_weighted_length_u,"
      "volume_weighted_length,volume_weighted_length_u,scherrer_size,scherrer_size_u,warning\n";
  auto plain = [](const char* format, double v) { return std::isfinite(v) ? format_number(format, v) : std::string(); };
  for (const pattern_line& l : a.lines) {
    std::vector<std::string> notes = l.warnings;
    std::string row = csv_cell(l.label) + ',' + plain("%.4f", l.two_theta) + ',' + plain("%.4f", l.two_theta_u) + ',' +
                      plain("%.5f", l.d_A) + ',' + plain("%.5f", l.d_u) + ',' + plain("%.4f", l.fwhm) + ',' +
                      plain("%.4f", l.fwhm_u) + ',';
    if (l.analysed) {
      row += cells(l.integral_breadth) + ',' + cells(l.lorentz_breadth) + ',' + cells(l.gauss_breadth) + ',' +
             cells(l.lengths.area) + ',' + cells(l.lengths.volume) + ',' + cells(l.scherrer) + ',';
      note_unresolved(notes, "integral breadth", l.integral_breadth, "1/A");
      note_unresolved(notes, "Lorentzian breadth", l.lorentz_breadth, "1/A");
      note_unresolved(notes, "Gaussian breadth", l.gauss_breadth, "1/A");
      note_unresolved(notes, "area-weighted length", l.lengths.area, "A");
      note_unresolved(notes, "volume-weighted length", l.lengths.volume, "A");
      note_unresolved(notes, "Scherrer size", l.scherrer, "A");
    } else {
      row += ",,,,,,,,,,,,";
    }
    std::string warning;
    for (const std::string& n : notes) warning += (warning.empty() ? "" : "; ") + n;
    t += row + csv_cell(warning) + '\n';
  }
  return t;
}

namespace {

williamson_hall_series series_of(const char* name, const williamson_hall_plot& plot,
                                 const std::vector<std::string>& labels) {
  williamson_hall_series s;
  s.name = name;
  if (!plot.refused.empty()) return s;
  s.x = plot.x;
  s.y = plot.y;
  s.sigma = plot.sigma;
  for (std::size_t k = 0; k < plot.x.size(); ++k) {
    const std::size_t line = k < plot.lines.size() ? plot.lines[k] : k;
    s.labels.push_back(line < labels.size() ? labels[line] : std::string());
  }
  if (plot.fit.solved) {
    s.has_line = true;
    s.intercept = plot.fit.coefficients[0];
    s.slope = plot.fit.coefficients[1];
  }
  return s;
}

}  // namespace

williamson_hall_figure_data pattern_figure(const pattern_analysis& a, const std::string& name) {
  williamson_hall_figure_data d;
  d.title = name + ": Williamson-Hall";
  d.series.push_back(series_of("integral breadth \u03b2*", a.classical.plot, a.fitted));
  d.series.push_back(series_of("Lorentzian breadth \u03b2_L*", a.voigt.size_plot, a.fitted));
  return d;
}
