#include "xrd/sizes/line_warnings.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "xrd/chain/xy_yobs_3.h"
#include "xrd/curves/xy_data_3.h"
#include "xrd/sizes/line_analysis.h"

namespace {

constexpr double pi = 3.14159265358979323846;
// A line with more than this share of its area outside the scan, or a
// background that moves its area by more, is worth a warning.
constexpr double share_warning = 0.01;
// A background difference smaller than this many of its standard
// uncertainties may be the fit's own noise.
constexpr double background_significance = 3.0;
// R must pass counting noise's R by this factor and by this much to blame
// the deconvolution.
constexpr double r_noise_factor = 1.5;
constexpr double r_noise_margin = 0.02;
// Without a fit, above this R a deconvolution is suspect.
constexpr double r_without_fit = 0.05;

template <class... T>
std::string printed(const char* format, T... values) {
  const int size = std::snprintf(nullptr, 0, format, values...);
  if (size <= 0) return {};
  std::string text(static_cast<std::size_t>(size) + 1, '\0');
  std::snprintf(text.data(), text.size(), format, values...);
  text.pop_back();
  return text;
}

std::string percent(double share) { return printed("%.1f%%", 100.0 * share); }

// A window to a tenth of a degree (a hundredth for a narrow one); a window
// to scan is rounded outwards, so that it holds at least what it says.
std::string window_text(double from, double to, bool outwards) {
  const double unit = to - from >= 1.0 ? 0.1 : 0.01;
  const int digits = unit < 0.1 ? 2 : 1;
  if (outwards) {
    from = std::floor(from / unit + 1e-9) * unit;
    to = std::ceil(to / unit - 1e-9) * unit;
  }
  return printed("%.*f to %.*f deg", digits, from, digits, to);
}

// The warning for a scan that ends within the line's tails.
std::string tail_warning(const fit_judgement& j) {
  double from = 0.0, to = 0.0;
  j.fit.window_holding(share_warning, j.scan_from, j.scan_to, from, to);
  return "The scan ends within the line's tails: about " + percent(j.share_outside) +
         " of the line's area lies outside the scan (" + window_text(j.scan_from, j.scan_to, false) +
         "), by a pseudo-Voigt fitted to it; a scan of " + window_text(from, to, true) +
         " would hold 99% of it. The missing tails come out as a hook in A(L) and the sizes as too large";
}

std::string background_warning(const fit_judgement& j, double chain_level) {
  const bool adds = j.background_share > 0.0;
  return printed("The background the chain subtracts (%.4g at the scan's middle) lies %s the one a pseudo-Voigt fit "
                 "finds beyond the line's tails (%.4g ± %.2g): it %s about %.1f%% of the line's area, and the sizes "
                 "come out too %s. The fitted background is aBo_bkg = %.4g, aB1_bkg = %.4g",
                 chain_level, adds ? "below" : "above", j.fit.background, j.fit.u_background,
                 adds ? "adds" : "takes away", 100.0 * std::fabs(j.background_share), adds ? "small" : "large",
                 j.fit.background, j.fit.slope);
}

}  // namespace

void judge_by_profile_fit(xy_yobs_3& sample, line_analysis& a) {
  fit_judgement& j = a.judged_by_fit;
  j = fit_judgement{};
  xy_data_for_3& obs = sample.observed_data();
  const int n = obs.y.count();
  std::vector<double> x(static_cast<std::size_t>(std::max(n, 0))), y(x.size());
  for (int i = 0; i < n; ++i) {
    x[static_cast<std::size_t>(i)] = obs.x1 + i * obs.xd;
    y[static_cast<std::size_t>(i)] = obs.y[obs.y.base() + i];
  }
  j.fit = fit_profile(x, y);
  if (!j.fit.converged) return;
  j.scan_from = x.front();
  j.scan_to = x.back();
  const profile_fit& f = j.fit;

  j.share_outside = f.share_outside(j.scan_from, j.scan_to);
  if (j.share_outside > share_warning) a.warnings.push_back(tail_warning(j));

  // Both backgrounds are straight about the scan's middle, so over the scan
  // they differ by the width times their difference there.
  const double width = j.scan_to - j.scan_from;
  const double middle = 0.5 * (j.scan_from + j.scan_to);
  const double chain_level = sample.background_at(middle);
  const double inside = f.area * (1.0 - j.share_outside);
  if (inside > 0.0 && std::isfinite(chain_level)) {
    j.background_share = (f.background_at(middle) - chain_level) * width / inside;
    const bool significant =
        std::fabs(f.background_at(middle) - chain_level) > background_significance * f.u_background;
    if (std::fabs(j.background_share) > share_warning && significant)
      a.warnings.push_back(background_warning(j, chain_level));
  }

  // Only the sample's own noise is left in R: reconvolving with the reference
  // gives back the observed transform below the limit, reference noise and all.
  // Values that are not counts carry the noise their residuals' scatter shows;
  // their reduced chi-square would count a pseudo-Voigt's misfit to the line
  // (on a measured iron line, a Kα doublet: 6.7% where the scatter gives 3.0%)
  // as noise.
  const double noise_scale = f.counts ? 1.0 : f.residual_scatter;
  double noise = 0.0, total = 0.0;
  for (std::size_t i = 0; i < x.size(); ++i) {
    const double model = f.model_at(x[i]);
    noise += std::sqrt(2.0 / pi) * noise_scale * std::sqrt(f.counts ? std::max(model, 0.0) : std::max(model, 1.0));
    total += std::fabs(y[i] - sample.background_at(x[i]));
  }
  if (total > 0.0 && std::isfinite(noise / total)) j.noise_r = noise / total;
}

bool reconvolution_r_suspect(const line_analysis& a) {
  const double r = a.reconvolution_r, rn = a.judged_by_fit.noise_r;
  if (!std::isfinite(r)) return false;
  if (!std::isfinite(rn)) return r > r_without_fit;
  return r > r_noise_factor * rn && r > rn + r_noise_margin;
}

std::string reconvolution_r_judged(const line_analysis& a) {
  const double rn = a.judged_by_fit.noise_r;
  if (!std::isfinite(rn)) return "Reconvolution R = " + percent(a.reconvolution_r) + " is above 5%";
  return "Reconvolution R = " + percent(a.reconvolution_r) + " is well above the " + percent(rn) +
         " that counting noise alone gives";
}

std::string profile_fit_lines(const line_analysis& a) {
  const fit_judgement& j = a.judged_by_fit;
  const profile_fit& f = j.fit;
  if (!f.converged)
    return "  profile fit: none (" + (f.why.empty() ? std::string("no observed profile") : f.why) +
           "); the tails, the background and R are not judged by it\n";
  std::string text = printed(
      "  profile fit: pseudo-Voigt at %.4f ± %.4f deg, FWHM %.4f ± %.4f deg, Lorentzian share %.3f ± %.3f, "
      "background %.4g ± %.2g at %.2f deg",
      f.centre, f.u_centre, f.fwhm, f.u_fwhm, f.eta, f.u_eta, f.background, f.u_background, f.middle);
  if (std::isfinite(j.share_outside)) text += "; " + percent(j.share_outside) + " of its area outside the scan";
  text += "\n";
  if (std::isfinite(a.reconvolution_r) && std::isfinite(j.noise_r))
    text += "  reconvolution R " + percent(a.reconvolution_r) + ", counting noise alone gives " + percent(j.noise_r) +
            "\n";
  return text;
}
