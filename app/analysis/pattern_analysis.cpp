#include "app/analysis/pattern_analysis.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "core/assoc_class.h"
#include "core/node_watch.h"
#include "core/numeric_abort.h"
#include "core/paths.h"
#include "core/text_helpers.h"
#include "xrd/chain/xy_yobs_4.h"
#include "xrd/curves/xy_data_3.h"
#include "xrd/files/xdd_data_3.h"
#include "xrd/pattern/doublet_fit.h"
#include "xrd/pattern/synthetic_reference.h"
#include "xrd/sizes/profile_fit.h"

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();
// The share of a line's area its automatic window may leave outside, and
// the widest it may be in FWHMs each side: 99% of a Lorentzian lies within
// 32 FWHM, over which a whole pattern's background is no straight line and
// the points beyond the line's visible tails add only noise to A(L); the
// tails cut are what the hook-proof fit of A(L) is for.
constexpr double area_outside = 0.01;
constexpr double widest_window_fwhms = 8.0;
// Narrower than this each side, a window holds the line's top but not its
// profile, and the deconvolution would read the cut as the line's breadth.
constexpr double narrowest_window_fwhms = 2.0;
constexpr double narrowest_automatic_fwhms = 3.0;
// The window the sample's own doublet is fitted in, in FWHMs each side: its
// shape sets how wide the analysed window must be.
constexpr double fit_window_fwhms = 4.0;

xy_yobs_4* chain_of(assoc_class& file) { return dynamic_cast<xy_yobs_4*>(find_existing(file, "xy_yobs")); }

// The template's Cu doublet, on the file's own K-alpha1 where it gives one;
// K-alpha2 kept at the same relative distance.
kalpha_lines source_for(double lambda_A) {
  kalpha_lines source;
  if (std::isfinite(lambda_A) && lambda_A > 0.0) {
    source.lambda2_A *= lambda_A / source.lambda1_A;
    source.lambda1_A = lambda_A;
  }
  return source;
}

std::string position_label(double two_theta) { return format_number("%.3f", two_theta) + " deg"; }

// The reflections to index with: a cubic lattice, or a file of hkl and d.
bool reflections_for(const std::string& spec, double d_min_A, std::vector<reflection>& out, std::string& why) {
  cubic_lattice cell;
  std::string lattice_why;
  if (parse_lattice(spec, cell, lattice_why)) {
    out = reflections_of(cell, d_min_A);
    return true;
  }
  std::error_code ec;
  if (spec.find(':') == std::string::npos && std::filesystem::is_regular_file(spec, ec))
    return read_reflections(spec, out, why);
  why = lattice_why;
  return false;
}

// The instrument function with its width at one angle raised by its
// standard uncertainty there (through W, the term every angle shares), or
// its η raised by its own: what the reference's own uncertainty does to a
// line is read from the analysis with each.
instrument_function wider(const instrument_function& f, double two_theta) {
  instrument_function g = f;
  const double w = f.fwhm_at(two_theta), u = f.u_fwhm_at(two_theta);
  if (std::isfinite(w) && std::isfinite(u)) g.W += (w + u) * (w + u) - w * w;
  return g;
}

instrument_function more_lorentzian(const instrument_function& f, double two_theta) {
  instrument_function g = f;
  const double u = f.u_eta_at(two_theta);
  if (std::isfinite(u)) g.eta0 += f.eta_at(two_theta) + u <= 1.0 ? u : -u;
  return g;
}

// What one run of the chain gives that the uncertainties follow.
struct line_figures {
  double slope = nan_value, area = nan_value, volume = nan_value, scherrer = nan_value;
  double lorentz = nan_value, gauss_squared = nan_value;
};

line_figures figures_of(const line_analysis& a, const std::vector<double>& sigma_A) {
  line_figures r;
  if (!a.refused.empty()) return r;
  r.slope = a.size.slope;
  r.area = a.size.found ? a.size.length : nan_value;
  r.volume = a.volume_length;
  r.scherrer = a.scherrer;
  if (sigma_A.size() == a.coefficients.A.size()) {
    const voigt_breadths v = voigt_breadths_from(a.coefficients.L, a.coefficients.A, sigma_A, a.size.L_from);
    if (v.refused.empty()) {
      r.lorentz = -v.fit.coefficients[1] / 2.0;
      r.gauss_squared = v.gauss_squared_per_A2;
    }
  }
  return r;
}

double difference(double a, double b) { return std::isfinite(a) && std::isfinite(b) ? a - b : 0.0; }

// The standard uncertainties of the figures that the instrument function's
// own uncertainty gives, one change of the reference at a time.
line_figures instrument_share(xy_yobs_4& chain, assoc_class& reference, const instrument_function& f,
                              double two_theta, const line_figures& nominal, const std::vector<double>& sigma_A) {
  line_figures u{0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
  for (const instrument_function& g : {wider(f, two_theta), more_lorentzian(f, two_theta)}) {
    std::string why;
    if (!put_synthesised_reference(reference, g, two_theta, why)) continue;
    chain.invalidate_chain();
    line_figures changed;
    try {
      changed = figures_of(analyse_line(chain), sigma_A);
    } catch (const numeric_abort&) {
      continue;
    }
    auto add = [](double& to, double d) { to = std::hypot(to, d); };
    add(u.slope, difference(changed.slope, nominal.slope));
    add(u.area, difference(changed.area, nominal.area));
    add(u.volume, difference(changed.volume, nominal.volume));
    add(u.scherrer, difference(changed.scherrer, nominal.scherrer));
    add(u.lorentz, difference(changed.lorentz, nominal.lorentz));
    add(u.gauss_squared, difference(changed.gauss_squared, nominal.gauss_squared));
  }
  std::string why;
  put_synthesised_reference(reference, f, two_theta, why);
  chain.invalidate_chain();
  return u;
}

// The standard deviation of the Voigt breadths over the noise's
// realisations of A(L), each fitted as the nominal one is: the fit's own
// uncertainties take every A(L) as independent of its neighbours, and so
// come out about half what the noise does to the breadths. NaN where fewer
// than half the realisations gave a fit.
std::pair<double, double> breadth_spread(const line_analysis& a, const line_spread& s,
                                         const std::vector<double>& sigma_A, int realisations) {
  std::vector<double> lorentz, gauss_squared;
  for (const std::vector<double>& A : s.A_draws) {
    if (A.size() != a.coefficients.L.size()) continue;
    const voigt_breadths v = voigt_breadths_from(a.coefficients.L, A, sigma_A, a.size.L_from);
    if (!v.refused.empty() || !v.fit.solved) continue;
    lorentz.push_back(v.lorentz_value_per_A);
    gauss_squared.push_back(v.gauss_squared_per_A2);
  }
  auto sd = [realisations](const std::vector<double>& v) {
    if (v.size() < 2 || 2 * static_cast<int>(v.size()) < realisations) return nan_value;
    const double mean = std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
    double sum = 0.0;
    for (double x : v) sum += (x - mean) * (x - mean);
    return std::sqrt(sum / static_cast<double>(v.size() - 1));
  };
  return {sd(lorentz), sd(gauss_squared)};
}

double combined(double a, double b) {
  if (!std::isfinite(a)) return a;
  return std::isfinite(b) ? std::hypot(a, b) : a;
}

// The name of a line's window file: beside the sample, named after it and
// the line, as a capture would propose it.
std::string line_path(const std::string& sample, const std::string& label, const char* suffix) {
  std::filesystem::path p(sample);
  std::string tag = label;
  for (char& c : tag)
    if (c == '/' || c == ' ') c = '_';
  p.replace_filename(p.stem().string() + "_" + tag + suffix + ".xdd");
  return p.string();
}

// The window of line i: `half` each side of its doublet, clipped halfway to
// the neighbouring doublets, to the scan and to the range asked for.
std::pair<double, double> window_of(const std::vector<found_line>& lines, std::size_t i, double half,
                                    const kalpha_lines& source, double lo, double hi) {
  const found_line& l = lines[i];
  const double end = doublet_end_deg(l, source);
  double from = l.position_x - half, to = end + half;
  if (i > 0) from = std::max(from, 0.5 * (doublet_end_deg(lines[i - 1], source) + l.position_x));
  if (i + 1 < lines.size()) to = std::min(to, 0.5 * (end + lines[i + 1].position_x));
  return {std::max(from, lo), std::min(to, hi)};
}

}  // namespace

assoc_class* line_window_file(assoc_class& app, assoc_class& sample, const std::string& path, double from, double to,
                         std::string& why) {
  auto* source = dynamic_cast<xy_data_3*>(find_existing(sample, "xy_yobs"));
  assoc_class* file = source ? create_at_place(app, "xdd") : nullptr;
  if (!file) {
    why = "no data file can be made for it";
    return nullptr;
  }
  node_watch alive(file);
  const char* not_copied = query_value("win_misc c not_to_copy_on_capture");
  sample.copy_into_excluding(*file, not_copied ? not_copied : "");
  auto* profile = alive ? dynamic_cast<xy_data_3*>(find(*file, "xy_yobs")) : nullptr;
  if (!profile) {
    why = "no data file can be made for it";
    if (alive && file->parent()) file->parent()->delete_child(file);
    return nullptr;
  }
  if (assoc_class* name = find(*file, "xDdd_path_name")) name->set_text(path.c_str());
  profile->copy_from(*source);
  if (auto* data = dynamic_cast<xdd_data_3*>(find(*file, "xdd_data"))) data->mark_never_written();
  const int min_points = get_int_named(app, "mBin_pts_xdd");
  if (!profile->crop_x(from, to, min_points)) {
    why = "its window " + format_number("%.3f", from) + " to " + format_number("%.3f", to) + " deg holds " +
          std::to_string(profile->index_of(to) - profile->index_of(from) + 1) + " points; at least " +
          std::to_string(min_points + 1) + " are needed";
    file->parent()->delete_child(file);
    return nullptr;
  }
  if (auto* chain = dynamic_cast<xy_yobs_4*>(profile)) chain->invalidate_chain();
  return file;
}

bool put_synthesised_reference(assoc_class& reference, const instrument_function& f, double two_theta,
                               std::string& why) {
  xy_yobs_4* chain = chain_of(reference);
  if (!chain || chain->n < 2) {
    why = "the reference has no grid";
    return false;
  }
  std::vector<double> counts;
  if (!synthesise_reference(f, two_theta, {chain->x_of(0), chain->xd, chain->n}, counts, why)) return false;
  for (int i = 0; i < chain->n; ++i)
    chain->y[chain->y.base() + i] = static_cast<float>(counts[static_cast<std::size_t>(i)]);
  chain->invalidate_chain();
  return true;
}

double window_half_width_fwhms(double eta, double outside) {
  profile_fit shape;
  shape.centre = 0.0;
  shape.fwhm = 1.0;
  shape.eta = std::clamp(eta, 0.0, 1.0);
  double from = 0.0, to = 0.0;
  shape.window_holding(outside, 0.0, 0.0, from, to);
  return to;
}

pattern_analysis analyse_pattern(assoc_class& app, assoc_class& sample, const instrument_function& instrument,
                                 const pattern_options& options, bool keep_files) {
  pattern_analysis r;
  auto* profile = dynamic_cast<xy_data_3*>(find_existing(sample, "xy_yobs"));
  xy_yobs_4* sample_chain = chain_of(sample);
  assoc_class* path_node = find_existing(sample, "xDdd_path_name");
  const std::string sample_path = path_node && path_node->get_text() ? path_node->get_text() : "";
  r.sample = sample_path;
  if (!profile || !sample_chain || profile->n < 3) {
    r.refused = "the file holds too few points to find lines in";
    return r;
  }
  for (int i = 0; i < profile->n; ++i) {
    const double x = profile->x_of(i);
    if (options.has_range && (x < std::min(options.from, options.to) || x > std::max(options.from, options.to)))
      continue;
    r.x.push_back(x);
    r.y.push_back(static_cast<double>(profile->y[profile->y.base() + i]));
  }
  if (r.x.size() < 3) {
    r.refused = "the range holds too few points to find lines in";
    return r;
  }
  const double lambda = sample_chain->wavelength();
  r.source = source_for(lambda > 0.0 ? lambda : nan_value);
  if (!instrument.fitted) {
    r.refused = "the instrument function was not fitted";
    return r;
  }
  if (std::fabs(instrument.source.lambda1_A - r.source.lambda1_A) > 1e-4) {
    r.refused = "the instrument function was made for K-alpha1 = " +
                format_number("%.5f", instrument.source.lambda1_A) + " A, the file is measured with " +
                format_number("%.5f", r.source.lambda1_A) + " A";
    return r;
  }

  peak_search_options search_options;
  search_options.doublet = {r.source.lambda1_A, r.source.lambda2_A, r.source.ratio};
  search_options.strip_ka2 = options.strip_ka2;
  r.background = background_of(r.x, r.y);
  const peak_search search = find_lines(r.x, r.y, r.background.y, search_options);
  if (!search.ok()) {
    r.refused = search.why;
    return r;
  }
  const std::vector<found_line>& found = search.lines;
  if (found.empty()) {
    r.refused = "no line stands out of the counting noise";
    return r;
  }

  // Which lines are analysed, and under what name.
  std::vector<std::string> labels(found.size());
  std::vector<std::array<int, 3>> hkls(found.size(), {0, 0, 0});
  std::vector<bool> indexed(found.size(), options.lattice.empty());
  for (std::size_t i = 0; i < found.size(); ++i) labels[i] = position_label(found[i].position_x);
  if (!options.lattice.empty()) {
    std::vector<reflection> reflections;
    std::string why;
    const double d_min = bragg_d_A(std::min(r.x.back(), 179.0), r.source.lambda1_A);
    if (!reflections_for(options.lattice, 0.99 * d_min, reflections, why)) {
      r.refused = "--lattice: " + why;
      return r;
    }
    const line_indexing indexing = index_lines(found, reflections, r.source.lambda1_A, 0.1, 0.5);
    if (indexing.indexed.empty()) {
      r.refused = "the lattice " + options.lattice + " indexes none of its " + std::to_string(found.size()) + " lines";
      return r;
    }
    for (const indexed_line& il : indexing.indexed) {
      labels[il.line] = il.hkl.label;
      hkls[il.line] = {il.hkl.h, il.hkl.k, il.hkl.l};
      indexed[il.line] = true;
    }
    for (std::size_t u : indexing.unindexed) r.unindexed.push_back(position_label(found[u].position_x));
  }

  const double lo = r.x.front(), hi = r.x.back();
  for (std::size_t i = 0; i < found.size(); ++i) {
    const found_line& f = found[i];
    pattern_line line;
    line.label = labels[i];
    line.indexed = !options.lattice.empty() && indexed[i];
    line.hkl = hkls[i];
    line.found = f;
    line.two_theta = f.position_x;
    line.two_theta_u = f.position_u;
    line.fwhm = f.fwhm_x;
    line.fwhm_u = f.fwhm_u;
    line.d_A = bragg_d_A(f.position_x, r.source.lambda1_A);
    // d = λ / (2 sin θ): |∂d/∂(2θ)| = d cot θ / 2 per radian.
    line.d_u = line.d_A / std::tan(f.position_x * pi / 360.0) / 2.0 * f.position_u * pi / 180.0;
    line.reference_fwhm = instrument.fwhm_at(f.position_x);
    if (f.overlapping) line.warnings.push_back("overlaps a neighbouring line: its window is cut halfway to it");

    if (!std::isfinite(f.fwhm_x) || !(f.fwhm_x > 0.0)) {
      line.warnings.push_back("no width at half height: not analysed");
      r.lines.push_back(std::move(line));
      continue;
    }
    // The line's shape sets its window: a Lorentzian's tails hold far more
    // of its area than a Gaussian's.
    double eta = 1.0, fwhm = f.fwhm_x;
    {
      const auto [from, to] = window_of(found, i, fit_window_fwhms * f.fwhm_x, r.source, lo, hi);
      const doublet_fit fit = fit_doublet(r.x, r.y, {line.label, f.position_x, from, to}, r.source);
      if (fit.converged && fit.fwhm > 0.0) {
        eta = fit.eta;
        fwhm = fit.fwhm;
      }
    }
    const double half_fwhms =
        options.window_fwhms > 0.0
            ? options.window_fwhms
            : std::clamp(window_half_width_fwhms(eta, area_outside), narrowest_automatic_fwhms, widest_window_fwhms);
    std::tie(line.from, line.to) = window_of(found, i, half_fwhms * fwhm, r.source, lo, hi);
    if (half_fwhms < narrowest_window_fwhms) {
      line.warnings.push_back("not analysed: a window of " + format_number("%g", half_fwhms) +
                              " FWHM each side holds the line's top but not its profile; at least " +
                              format_number("%g", narrowest_window_fwhms) + " are needed");
      r.lines.push_back(std::move(line));
      continue;
    }

    std::string why;
    assoc_class* file = line_window_file(app, sample, line_path(sample_path, line.label, ""), line.from, line.to, why);
    assoc_class* reference =
        file ? line_window_file(app, sample, line_path(sample_path, line.label, "_instrument"), line.from, line.to, why)
             : nullptr;
    node_watch file_alive(file), reference_alive(reference);
    auto take_out = [&] {
      if (file_alive && file->parent()) file->parent()->delete_child(file);
      if (reference_alive && reference->parent()) reference->parent()->delete_child(reference);
    };
    xy_yobs_4* chain = file ? chain_of(*file) : nullptr;
    if (!chain || !reference || !put_synthesised_reference(*reference, instrument, f.position_x, why)) {
      line.warnings.push_back("not analysed: " + (why.empty() ? std::string("its files could not be made") : why));
      take_out();
      r.lines.push_back(std::move(line));
      continue;
    }
    assoc_class* tie = find(*file, "ref_prof");
    const std::string reference_path = line_path(sample_path, line.label, "_instrument");
    const int tied = tie ? tie->set_text_with_limits(reference_path.c_str()) : 3;
    if (tied == 2 || tied == 3) {
      line.warnings.push_back("not analysed: its synthesised reference could not be tied to it");
      take_out();
      r.lines.push_back(std::move(line));
      continue;
    }

    try {
      chain->ensure_origin();
      bool automatic = true;
      if (std::string limit_why; !set_automatic_limit(*chain, limit_why)) {
        automatic = false;
        line.warnings.push_back(limit_why + "; the frequency limit stays at the last frequency");
      }
      line.analysis = analyse_line(*chain);
      line.analysis.automatic_limit = automatic;
      if (!line.analysis.refused.empty()) {
        line.warnings.push_back("not analysed: " + line.analysis.refused);
      } else {
        const size_strain_spread spread = spread_of({chain}, {line.analysis}, nullptr, coefficient_draws::kept);
        r.realisations = spread.realisations;
        if (!spread.lines.empty()) line.spread = spread.lines.front();
        const line_analysis& a = line.analysis;
        std::vector<double> sigma = line.spread.A_sigma;
        if (sigma.size() != a.coefficients.A.size()) sigma.assign(a.coefficients.A.size(), nan_value);
        line.voigt = voigt_breadths_from(a.coefficients.L, a.coefficients.A, sigma, a.size.L_from);
        const line_figures nominal = figures_of(a, sigma);
        const line_figures from_instrument =
            instrument_share(*chain, *reference, instrument, f.position_x, nominal, sigma);
        // The chain holds the nominal results again.
        line.analysis = analyse_line(*chain);
        line.analysis.automatic_limit = automatic;

        const auto [lorentz_spread, gauss_squared_spread] = breadth_spread(a, line.spread, sigma, r.realisations);
        widen_breadth_uncertainties(line.voigt, combined(from_instrument.lorentz, lorentz_spread),
                                    combined(from_instrument.gauss_squared, gauss_squared_spread));
        line.lorentz_breadth = line.voigt.refused.empty() ? line.voigt.lorentz_per_A
                                                          : uncertain_value::none(line.voigt.refused);
        line.gauss_breadth =
            line.voigt.refused.empty() ? line.voigt.gauss_per_A : uncertain_value::none(line.voigt.refused);
        const line_spread& s = line.spread;
        const double scherrer_u = combined(s.scherrer_u, from_instrument.scherrer);
        line.lengths = judged_lengths(a.size, combined(s.slope_u, from_instrument.slope),
                                      combined(s.area_u, from_instrument.area),
                                      "A(L) does not fall at its start: no size broadening is seen", a.volume_length,
                                      combined(s.volume_u, from_instrument.volume), a.volume_reached_zero);
        const char* no_scherrer = a.coefficients.wavelength > 0.0
                                      ? "the deconvoluted profile has no integral breadth"
                                      : "no wavelength (lBamda) is set";
        line.scherrer = summary_value::of(a.scherrer, scherrer_u, "%.1f", no_scherrer);
        // A figure whose noise could not be told is not one to stand by.
        for (summary_value* v : {&line.lengths.area, &line.lengths.volume, &line.scherrer})
          if (v->form == summary_value::kind::figure && v->uncertainty.empty())
            *v = summary_value::not_determined("its uncertainty is not known: fewer than half of the noise "
                                               "realisations gave it");
        // The pure line's integral breadth in reciprocal units, β* = 1 / D_Scherrer.
        line.integral_breadth = std::isfinite(a.scherrer) && a.scherrer > 0.0
                                    ? uncertain_value::figure(1.0 / a.scherrer, scherrer_u / (a.scherrer * a.scherrer))
                                    : uncertain_value::none(no_scherrer);
        for (const std::string& w : a.warnings) line.warnings.push_back(w);
        line.analysed = true;
      }
    } catch (const numeric_abort& abort) {
      line.warnings.push_back(std::string("not analysed: ") + abort.what());
      line.analysed = false;
    }
    // Kept until the pairs of orders have been analysed, which run both
    // lines' chains again.
    if (line.analysed && file_alive && reference_alive) {
      line.line_file = file;
      line.reference_file = reference;
    } else {
      take_out();
    }
    r.lines.push_back(std::move(line));
  }

  // Williamson–Hall over the analysed lines (with a lattice, over the
  // indexed ones: an unindexed line may be another phase's).
  std::vector<line_breadths> breadths;
  for (const pattern_line& l : r.lines) {
    if (!l.analysed || (!options.lattice.empty() && !l.indexed)) continue;
    line_breadths b;
    b.hkl = l.hkl;
    b.d_A = l.d_A;
    if (l.integral_breadth.resolved()) {
      b.integral_per_A = l.integral_breadth.value;
      b.integral_u = l.integral_breadth.u;
    }
    if (l.voigt.refused.empty()) {
      b.lorentz_per_A = l.voigt.lorentz_value_per_A;
      b.lorentz_u = l.voigt.lorentz_u;
      b.gauss_squared_per_A2 = l.voigt.gauss_squared_per_A2;
      b.gauss_squared_u = l.voigt.gauss_squared_u;
    }
    breadths.push_back(b);
    r.fitted.push_back(l.label);
  }
  r.classical = classical_williamson_hall_of(breadths);
  r.voigt = voigt_williamson_hall_of(breadths);
  if (!options.lattice.empty()) {
    r.has_modified = true;
    r.modified = modified_williamson_hall_of(breadths, options.contrast_q);
    r.modified_gauss = modified_gauss_williamson_hall_of(breadths, options.contrast_q);
  }

  // Warren–Averbach on every pair of orders among the analysed lines.
  std::vector<std::size_t> analysed;
  std::vector<std::array<int, 3>> hkl;
  for (std::size_t i = 0; i < r.lines.size(); ++i)
    if (r.lines[i].analysed && r.lines[i].indexed) {
      analysed.push_back(i);
      hkl.push_back(r.lines[i].hkl);
    }
  for (const order_pair& op : order_pairs(hkl)) {
    pattern_line& first = r.lines[analysed[op.first]];
    pattern_line& second = r.lines[analysed[op.second]];
    pattern_pair p;
    p.orders = op;
    p.label = first.label + "/" + second.label;
    p.result = warren_averbach(first.analysis.coefficients, second.analysis.coefficients);
    xy_yobs_4* a = first.line_file ? chain_of(*first.line_file) : nullptr;
    xy_yobs_4* b = second.line_file ? chain_of(*second.line_file) : nullptr;
    const pair_spread* spread = nullptr;
    if (p.result.refused.empty() && a && b) {
      try {
        p.spread = spread_of({a, b}, {first.analysis, second.analysis}, &p.result).pair;
        spread = &p.spread;
      } catch (const numeric_abort&) {
        spread = nullptr;
      }
    }
    if (p.result.refused.empty())
      p.lengths = judged_pair_lengths(p.result, spread);
    else
      p.lengths.area = p.lengths.volume = summary_value::not_determined(p.result.refused);
    p.strain = judged_strain_at_half(p.result, spread, p.lengths.area);
    r.pairs.push_back(std::move(p));
  }

  if (!keep_files)
    for (pattern_line& l : r.lines) {
      for (assoc_class* f : {l.line_file, l.reference_file})
        if (f && f->parent()) f->parent()->delete_child(f);
      l.line_file = l.reference_file = nullptr;
    }
  return r;
}
