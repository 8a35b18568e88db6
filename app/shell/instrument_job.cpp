#include "app/shell/instrument_job.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <ostream>
#include <string>
#include <vector>

#include "core/text_helpers.h"
#include "xrd/pattern/cubic_lattice.h"
#include "xrd/pattern/doublet_fit.h"
#include "xrd/pattern/instrument_file.h"
#include "xrd/pattern/instrument_function.h"
#include "xrd/pattern/kalpha_doublet.h"
#include "xrd/pattern/pattern_background.h"
#include "xrd/pattern/peak_search.h"
#include "xrd/sizes/summary_line.h"

namespace {

// Each side of a line: enough that a pseudo-Voigt's tails hold little of its
// area, while a narrow standard's neighbours stay out.
constexpr double window_fwhms = 4.0;
constexpr std::size_t fewest_lines = 3;

struct candidate {
  std::size_t line = 0;
  std::string label;
};

// A window of a few FWHM each side of the doublet, clipped halfway to the
// neighbouring lines so that none of their profile is fitted as this one's.
line_window window_of(const std::vector<found_line>& lines, std::size_t i, const std::string& label,
                      const kalpha_lines& source) {
  const found_line& l = lines[i];
  const double end = doublet_end_deg(l, source);
  line_window w{label, l.position_x, l.position_x - window_fwhms * l.fwhm_x, end + window_fwhms * l.fwhm_x};
  if (i > 0) w.from = std::max(w.from, 0.5 * (doublet_end_deg(lines[i - 1], source) + l.position_x));
  if (i + 1 < lines.size()) w.to = std::min(w.to, 0.5 * (end + lines[i + 1].position_x));
  return w;
}

std::string position_label(double two_theta) { return format_number("%.3f", two_theta) + " deg"; }

std::string report_of(const instrument_function& f, const std::vector<not_fitted>& skipped) {
  std::string t;
  t += summary_line("U", summary_value::of(f.U, f.u_U, "%.3e", "not fitted"), "deg^2");
  t += summary_line("V", summary_value::of(f.V, f.u_V, "%.3e", "not fitted"), "deg^2");
  t += summary_line("W", summary_value::of(f.W, f.u_W, "%.3e", "not fitted"), "deg^2");
  t += summary_line("eta0", summary_value::of(f.eta0, f.u_eta0, "%.3f", "not fitted"));
  t += summary_line("eta1", summary_value::of(f.eta1, f.u_eta1, "%.2e", "not fitted"), "1/deg");
  t += "Lines used (" + std::to_string(f.lines.size()) +
       "): line, 2theta (deg), FWHM (deg), eta, FWHM - fitted FWHM (deg), eta - fitted eta\n";
  for (const instrument_line& l : f.lines)
    t += "  " + l.label + "  2theta = " + format_number("%.4f", l.two_theta) +
         "  FWHM = " + format_number("%.4f", l.fwhm) + " ± " + format_number("%.4f", l.u_fwhm) +
         "  eta = " + format_number("%.3f", l.eta) + " ± " + format_number("%.3f", l.u_eta) +
         "  FWHM residual = " + format_number("%+.4f", l.fwhm_residual) +
         "  eta residual = " + format_number("%+.3f", l.eta_residual) + "\n";
  if (!skipped.empty()) {
    t += "Lines not fitted (" + std::to_string(skipped.size()) + "):\n";
    for (const not_fitted& s : skipped) t += "  " + s.label + ": " + s.why + "\n";
  }
  return t;
}

}  // namespace

instrument_from_pattern fit_standard_pattern(const std::string& standard, const std::vector<double>& x,
                                             const std::vector<double>& y, double lambda_A, const std::string& lattice,
                                             std::ostream& err) {
  instrument_from_pattern out;
  // The template's Cu doublet, on the file's own K-alpha1 where it gives one;
  // K-alpha2 kept at the same relative distance.
  kalpha_lines source;
  if (std::isfinite(lambda_A) && lambda_A > 0.0) {
    source.lambda2_A *= lambda_A / source.lambda1_A;
    source.lambda1_A = lambda_A;
  }
  if (x.size() < 3) {
    err << standard << ": too few points to find lines in\n";
    return out;
  }

  peak_search_options options;
  options.doublet = {source.lambda1_A, source.lambda2_A, source.ratio};
  const pattern_background background = background_of(x, y);
  const peak_search search = find_lines(x, y, background.y, options);
  if (!search.ok()) {
    err << standard << ": " << search.why << '\n';
    return out;
  }
  const std::vector<found_line>& lines = search.lines;

  std::vector<candidate> candidates;
  std::vector<not_fitted>& skipped = out.skipped;
  if (!lattice.empty()) {
    cubic_lattice cell;
    std::string why;
    if (!parse_lattice(lattice, cell, why)) {
      err << "--lattice: " << why << '\n';
      return out;
    }
    const double d_min = bragg_d_A(std::min(x.back(), 179.0), source.lambda1_A);
    const line_indexing indexing = index_lines(lines, reflections_of(cell, 0.99 * d_min), source.lambda1_A);
    if (indexing.indexed.empty()) {
      err << standard << ": the lattice " << lattice << " indexes none of its " << lines.size() << " lines\n";
      return out;
    }
    for (const indexed_line& il : indexing.indexed) candidates.push_back({il.line, il.hkl.label});
    std::sort(candidates.begin(), candidates.end(), [](const candidate& a, const candidate& b) { return a.line < b.line; });
    for (std::size_t u : indexing.unindexed)
      skipped.push_back({position_label(lines[u].position_x), "indexed by no reflection of " + lattice});
  } else {
    for (std::size_t i = 0; i < lines.size(); ++i) candidates.push_back({i, position_label(lines[i].position_x)});
  }

  std::vector<doublet_fit> fits;
  std::size_t isolated = 0;
  for (const candidate& c : candidates) {
    const found_line& l = lines[c.line];
    if (l.overlapping) {
      skipped.push_back({c.label, "overlaps a neighbouring line"});
      continue;
    }
    if (!std::isfinite(l.fwhm_x) || !(l.fwhm_x > 0.0)) {
      skipped.push_back({c.label, "no width at half height"});
      continue;
    }
    ++isolated;
    doublet_fit fit = fit_doublet(x, y, window_of(lines, c.line, c.label, source), source);
    if (!fit.converged)
      skipped.push_back({c.label, fit.why});
    else if (!(fit.u_fwhm > 0.0) || !(fit.u_eta > 0.0))
      skipped.push_back({c.label, "its fit gives no uncertainty"});
    else
      fits.push_back(std::move(fit));
  }
  if (isolated < fewest_lines) {
    err << standard << ": " << isolated << (isolated == 1 ? " isolated line" : " isolated lines")
        << " of " << lines.size() << " found; the instrument function needs at least three\n";
    return out;
  }

  const std::string name = std::filesystem::path(standard).stem().string();
  out.function = fit_instrument(fits, name);
  if (!out.function.fitted) {
    err << standard << ": the instrument fit did not converge: " << out.function.why << '\n';
    return out;
  }
  out.fitted = true;
  return out;
}

std::string instrument_report(const instrument_from_pattern& fit) { return report_of(fit.function, fit.skipped); }

job_output instrument_from_standard(const std::string& standard, const std::vector<double>& x,
                                    const std::vector<double>& y, double lambda_A, const std::string& lattice,
                                    const std::string& output, std::ostream& err) {
  const instrument_from_pattern fit = fit_standard_pattern(standard, x, y, lambda_A, lattice, err);
  if (!fit.fitted) return job_output::refused();
  if (std::string why; !write_instrument_file(output, fit.function, why)) {
    err << why << '\n';
    return job_output::refused();
  }
  return job_output::of(instrument_report(fit));
}
