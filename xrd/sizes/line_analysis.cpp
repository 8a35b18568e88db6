#include "xrd/sizes/line_analysis.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <limits>

#include "xrd/chain/xy_yobs_4.h"
#include "xrd/curves/xy_data_3.h"
#include "xrd/measures/line_widths.h"
#include "xrd/measures/peak_measures.h"
#include "xrd/sizes/coefficient_noise.h"

namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double nan_value = std::numeric_limits<double>::quiet_NaN();
// The quotient's signal must stay above this many times its noise.
constexpr double snr_needed = 3.0;
// A reconvolution of more than this many products is not attempted (a
// reference scanned far wider than its line, under a very long scan).
constexpr double most_products = 4e8;

// The profile above its background, on the profile's own points.
std::vector<double> above_background(xy_yobs_3& chain) {
  xy_data_for_3& obs = chain.observed_data();
  std::vector<double> y(static_cast<std::size_t>(obs.y.count()));
  for (int i = 0; i < obs.y.count(); ++i)
    y[static_cast<std::size_t>(i)] = obs.y[obs.y.base() + i] - chain.background_at(obs.x1 + i * obs.xd);
  return y;
}

// Computed profiles without noise leave A(L) exact up to the rounding of
// the transforms, whose floors then stand for the noise: the quotient's
// signal-to-noise at frequency i is 1 / sqrt((n_o/|O|)² + (n_r/|R|)²).
double rounding_snr(xy_yobs_3& sample, int i) {
  xy_yobs_4* ref = sample.reference_profile();
  const fft_5& o = sample.fft;
  const fft_5& r = ref->fft;
  const double no = o.noise_floor(), nr = r.noise_floor();
  const int n = r.modulus.count();
  const double q = (i * o.frequency_axis.xd - r.frequency_axis.x1) / r.frequency_axis.xd;
  if (i < 0 || i >= o.modulus.count() || n < 2 || !(q >= 0.0) || q > n - 1) return 0.0;
  const int k = std::min(static_cast<int>(q), n - 2);
  const double t = q - k;
  const double mr = (1.0 - t) * r.modulus[r.modulus.base() + k] + t * r.modulus[r.modulus.base() + k + 1];
  const double mo = o.modulus[o.modulus.base() + i];
  if (!(mo > 0.0) || !(mr > 0.0)) return 0.0;
  const double a = no / mo, b = nr / mr;
  return 1.0 / std::sqrt(a * a + b * b);
}

}  // namespace

std::string low_snr_warning(double snr) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f", snr);
  return std::string("At the frequency limit A(L) is only ") + text +
         " times its standard uncertainty (below 3): the sizes and strains read there are noise; the automatic "
         "frequency limit reads A(L) only where it stands above its noise";
}

profile_widths widths_of(const line_widths& w) { return {w.fwhm_x, w.integral_breadth_x, w.shape_factor}; }

bool coefficients_of(xy_yobs_3& sample, fourier_coefficients& out, std::string& why) {
  out = fourier_coefficients{};
  xy_yobs_4* ref = sample.reference_profile();
  if (!ref) {
    why = "No reference profile (ref_prof) is set";
    return false;
  }
  if (!sample.run_quotient()) {
    why = "The quotient by the reference cannot be computed";
    return false;
  }
  const fft_5& f = sample.fft;
  const int count = std::min(f.quotient_re.count(), f.quotient_im.count());
  const double limit = std::min(sample.limit_frequency(), ref->limit_frequency());
  const double q = limit / f.frequency_axis.xd;
  const int m = !(q >= 0.0) ? -1 : q >= count - 1 ? count - 1 : static_cast<int>(std::floor(q));
  const double q0 = m >= 0 ? f.quotient_re[f.quotient_re.base()] : 0.0;
  if (!(q0 > 0.0)) {
    why = "The quotient at L = 0 is not positive: the reference or the background is wrong";
    return false;
  }
  out.wavelength = sample.wavelength();
  out.two_theta = sample.origin_x();
  const double factor = out.wavelength > 0.0 ? sample.wavelength_factor() : 1.0;
  const double window = sample.ft_input.count() * sample.ft_input_axis.xd;
  out.hook_L = window > 0.0 ? factor / window : 0.0;
  for (int i = 0; i <= m; ++i) {
    const float re = f.quotient_re[f.quotient_re.base() + i];
    const float im = f.quotient_im[f.quotient_im.base() + i];
    if (re == fft_5::vanished && im == fft_5::vanished) break;  // the reference's transform vanished here
    out.L.push_back(i * f.frequency_axis.xd * factor);
    out.A.push_back(re / q0);
    out.B.push_back(im / q0);
  }
  return true;
}

noise_estimate estimate_noise(xy_yobs_3& sample) {
  noise_estimate e;
  const std::shared_ptr<const coefficient_noise> shared = coefficient_noise::of(sample);
  const coefficient_noise& noise = *shared;
  if (!noise.ok()) return e;
  xy_yobs_4* ref = sample.reference_profile();
  e.observed_floor = sample.fft.noise_floor();
  e.reference_floor = ref->fft.noise_floor();
  if (noise.count() >= 2 && noise.at(1).sigma > 0.0) {
    // At L = 0 A is 1 exactly; a limit there leaves nothing to read.
    e.limit_index = noise.last_above(snr_needed);
    if (e.limit_index >= 1) e.snr_at_limit = noise.at(e.limit_index).snr();
    e.ok = e.limit_index >= 1 && std::isfinite(e.snr_at_limit);
    return e;
  }
  // No noise in the profiles (computed ones): the transforms' rounding.
  e.limit_index = -1;
  for (int i = 0; i < sample.fft.modulus.count(); ++i) {
    const double snr = rounding_snr(sample, i);
    if (!(snr > snr_needed)) break;
    e.limit_index = i;
    e.snr_at_limit = snr;
  }
  e.ok = e.limit_index >= 0 && std::isfinite(e.snr_at_limit);
  return e;
}

double snr_at(xy_yobs_3& sample, double frequency) {
  const std::shared_ptr<const coefficient_noise> shared = coefficient_noise::of(sample);
  const coefficient_noise& noise = *shared;
  if (!noise.ok() || !(frequency >= 0.0) || !(sample.fft.frequency_axis.xd > 0.0)) return nan_value;
  // Clamped as a double first: a limit typed far beyond the axis must not
  // overflow the conversion.
  const double at = std::min(frequency / sample.fft.frequency_axis.xd, noise.count() - 1.0);
  const int i = static_cast<int>(std::floor(at));
  const coefficient_noise::reading r = noise.at(i);
  if (r.sigma > 0.0) return r.A / r.sigma;
  return i > 0 ? rounding_snr(sample, i) : nan_value;
}

bool set_automatic_limit(xy_yobs_3& sample, std::string& why) {
  const noise_estimate e = estimate_noise(sample);
  if (!e.ok) {
    why = !sample.reference_profile() ? "No reference profile (ref_prof) is set"
          : e.limit_index == 0
              ? "A(L) is below three times its standard uncertainty from its first frequency on: the noise leaves "
                "nothing to read"
              : "The noise of the transforms cannot be estimated";
    return false;
  }
  sample.set_limit_index(e.limit_index);
  return true;
}

void reconvolution(xy_yobs_3& sample, std::vector<double>& observed, std::vector<double>& reconvolved) {
  observed.clear();
  reconvolved.clear();
  xy_yobs_4* ref = sample.reference_profile();
  if (!ref || !sample.run_deconvolution()) return;
  xy_data_for_3& obs = sample.observed_data();
  const float_vec& d = sample.fft.profile;
  const x1_xd_x2_3& r_axis = ref->ft_input_axis;
  const float_vec& r = ref->ft_input;
  const int nd = d.count(), nr = r.count(), no = obs.y.count();
  if (nd < 1 || nr < 2 || no < 1 || !(r_axis.xd > 0.0)) return;
  const double dx = obs.xd;
  const double x0 = sample.origin_x();
  const double r0 = ref->origin_x();
  const double scale = dx / r_axis.xd;
  // Each observed point takes the offsets u whose reference value lies on
  // the reference's samples: as many as the reference spans steps of dx.
  const double span = (nr - 1) * r_axis.xd;
  if (!std::isfinite(span / dx) || static_cast<double>(no) * (span / dx + 2.0) > most_products) return;
  observed = above_background(sample);
  reconvolved.assign(static_cast<std::size_t>(no), 0.0);
  for (int i = 0; i < no; ++i) {
    // The reference at its origin plus this point's offset from the sample's, less u.
    const double from = r0 + (obs.x1 + i * dx - x0) - r_axis.x1;  // u for which q = 0
    const double j_low = std::clamp(std::ceil((from - span) / dx) + nd / 2, 0.0, static_cast<double>(nd));
    const double j_high = std::min(std::floor(from / dx) + nd / 2, nd - 1.0);
    double sum = 0.0;
    for (int j = static_cast<int>(j_low); j <= j_high; ++j) {
      // Taken as it is, negative lobes and all: they are the ringing of the
      // cut at the frequency limit, which the observed profile's transform
      // holds too; set to 0 they would count the cut itself as a misfit
      // (on a measured pair, R of 18% at a sound limit against 2%).
      const double dj = d[d.base() + j];
      if (!std::isfinite(dj)) continue;
      const double q = (from - (j - nd / 2) * dx) / r_axis.xd;
      if (!(q >= 0.0) || q > nr - 1) continue;
      const int k = std::min(static_cast<int>(q), nr - 2);
      const double t = q - k;
      sum += dj * ((1.0 - t) * r[r.base() + k] + t * r[r.base() + k + 1]);
    }
    reconvolved[static_cast<std::size_t>(i)] = scale * sum;
  }
}

line_analysis analyse_line(xy_yobs_3& sample, line_judging judging) {
  line_analysis a;
  if (!coefficients_of(sample, a.coefficients, a.refused)) return a;
  xy_yobs_4* ref = sample.reference_profile();
  const fourier_coefficients& c = a.coefficients;
  a.size = area_weighted_length(c.L, c.A, c.hook_L);
  a.volume_length = volume_weighted_length(c.L, c.A, a.volume_reached_zero);
  a.limit_frequency = std::min(sample.limit_frequency(), ref->limit_frequency());
  a.limit_L = c.L.empty() ? 0.0 : c.L.back();
  a.origin_where_b_smallest = sample.origin_where_b_smallest();

  xy_data_for_3& obs = sample.observed_data();
  // The observed lines as `measure` takes them: over the whole scan, above
  // the background the chain subtracts.
  a.observed = widths_of(peak_measures::measure(obs, obs.x1, obs.x2));
  xy_data_for_3& ref_obs = ref->observed_data();
  a.reference = widths_of(peak_measures::measure(ref_obs, ref_obs.x1, ref_obs.x2));
  sample.run_deconvolution();
  // The deconvoluted line has no background; its offsets are steps of the
  // observed profile from the origin.
  const int nd = sample.fft.profile.count();
  std::vector<double> dx(static_cast<std::size_t>(nd)), d(static_cast<std::size_t>(nd));
  for (int i = 0; i < nd; ++i) {
    dx[static_cast<std::size_t>(i)] = (i - nd / 2) * obs.xd;
    d[static_cast<std::size_t>(i)] = sample.fft.profile[sample.fft.profile.base() + i];
  }
  a.deconvoluted = widths_of(measure_line(dx, d));
  const double cos_theta = std::cos(c.two_theta * pi / 360.0);
  a.scherrer = c.wavelength > 0.0 ? c.wavelength / (a.deconvoluted.breadth * pi / 180.0 * cos_theta) : nan_value;

  a.snr_at_limit = snr_at(sample, a.limit_frequency);
  if (judging == line_judging::figures_only) return a;

  std::vector<double> measured, back;
  reconvolution(sample, measured, back);
  a.reconvolution_r = reconvolution_r(measured, back);

  // The chain cannot see the tails beyond the scan, nor a background that
  // is not the one beyond them: a wrong one is reconvolved as faithfully as
  // the line. A fit to the observed counts tells both, and what R counting
  // noise alone would give.
  judge_by_profile_fit(sample, a);
  if (reconvolution_r_suspect(a)) {
    const noise_estimate noise = estimate_noise(sample);
    // A limit the noise sets, with A(L) not yet at 0, leaves out what the
    // line holds above it: R then tells the cut, not a fault.
    const bool above_noise = noise.ok && sample.limit_index_or_last() > noise.limit_index;
    const std::string cause =
        above_noise ? "the frequency limit looks too high (above where A(L) meets three times its uncertainty)"
        : !a.volume_reached_zero
            ? "A(L) is cut at the frequency limit before it falls to 0, and the noise allows no higher limit, so the "
              "deconvoluted line lacks the line's finest detail"
            : "the frequency limit may be too low for the line, or the reference broader than the line";
    a.warnings.push_back(reconvolution_r_judged(a) + ": " + cause);
  }
  if (std::isfinite(a.snr_at_limit) && a.snr_at_limit < snr_needed)
    a.warnings.push_back(low_snr_warning(a.snr_at_limit));
  if (!a.size.found) a.warnings.push_back("A(L) does not fall at its start: no size broadening is seen");
  return a;
}
