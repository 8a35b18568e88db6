#pragma once

#include <string>
#include <vector>

#include "xrd/sizes/line_warnings.h"
#include "xrd/sizes/size_strain.h"

class xy_yobs_3;

struct line_widths;

// Widths of a line profile in degrees 2θ, as measure_line finds them above
// the profile's background: the full width at half maximum, the integral
// breadth (area over height) and their ratio, the shape factor (0.64 for a
// Lorentzian, 0.94 for a Gaussian). NaN where the profile has no peak.
struct profile_widths {
  double fwhm = 0.0;
  double breadth = 0.0;
  double shape = 0.0;
};
profile_widths widths_of(const line_widths& w);

// The automatic frequency limit of a file with a reference: the last
// frequency before A(L) falls to three times its standard uncertainty, the
// uncertainty carried from both files' point noise (coefficient_noise). The
// transforms' noise floors (fft_5::noise_floor) come along for the filters
// that fade the quotient out.
struct noise_estimate {
  bool ok = false;
  double observed_floor = 0.0;
  double reference_floor = 0.0;
  int limit_index = -1;        // the last frequency before A/σ_A falls to 3
  double snr_at_limit = 0.0;   // A/σ_A there
};
noise_estimate estimate_noise(xy_yobs_3& sample);

// A/σ_A at a frequency (cycles per degree 2θ, the chain's own axis) of the
// file's quotient by its reference; NaN where it cannot be told.
double snr_at(xy_yobs_3& sample, double frequency);

// The warning of a deconvolution whose limit lies where A/σ_A is below 3.
std::string low_snr_warning(double snr);

// Everything the single-line analysis finds for a file with a reference.
struct line_analysis {
  std::string refused;  // why there is no analysis; empty when there is one
  fourier_coefficients coefficients;
  area_length size;
  double volume_length = 0.0;
  bool volume_reached_zero = false;
  double scherrer = 0.0;  // λ / (β cos θ0), Å; NaN without a wavelength
  profile_widths observed, reference, deconvoluted;
  double limit_frequency = 0.0;  // cycles per degree 2θ
  double limit_L = 0.0;          // the limit as a column length
  double snr_at_limit = 0.0;  // A/σ_A at the limit
  bool automatic_limit = false;  // the limit is the automatic one (set by the caller that set it)
  double reconvolution_r = 0.0;
  bool origin_where_b_smallest = false;  // the file's origin was placed by B(L) (fBft_origin)
  fit_judgement judged_by_fit;  // the tails, the background and R, from a fit to the observed line
  std::vector<std::string> warnings;
};

// The Fourier coefficients of the file's quotient by its reference, up to the
// frequency limit (the first frequency where the reference vanished ends
// them). False with `why` when there is no quotient to read.
bool coefficients_of(xy_yobs_3& sample, fourier_coefficients& out, std::string& why);

// How far the single-line analysis goes: the figures alone, or also the
// reconvolution R and the fit to the observed line that its warnings come
// from. Those cost many times the figures (the reconvolution is a direct sum
// over every point of the line and of the reference); a table of figures
// does without them.
enum class line_judging { judged, figures_only };

// Runs the quotient and the deconvolution and measures what they give.
// Figures only, `reconvolution_r`, `judged_by_fit` and `warnings` stay as a
// new line_analysis has them.
line_analysis analyse_line(xy_yobs_3& sample, line_judging judging = line_judging::judged);

// The deconvoluted profile convolved back with the reference, on the
// observed profile's points, and the observed profile above its background.
// The deconvoluted profile's negative values are taken as 0 first: a line
// has none, and where noise above the frequency limit or a wrong background
// gave them, the reconvolution no longer matches what was measured.
void reconvolution(xy_yobs_3& sample, std::vector<double>& observed, std::vector<double>& reconvolved);

// Sets the file's frequency limit (fBft_f2_lim) to the automatic one; false
// with `why` when it cannot be estimated.
bool set_automatic_limit(xy_yobs_3& sample, std::string& why);
