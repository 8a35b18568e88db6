#pragma once

#include <limits>
#include <string>

#include "xrd/sizes/profile_fit.h"

class xy_yobs_3;
struct line_analysis;

// What a pseudo-Voigt fitted to the observed counts says about a line's
// analysis, where the chain itself cannot tell: the line's tails beyond the
// scan, a background that is not the one beyond the tails, and how much of
// the reconvolution R counting noise alone explains. NaN where the fit gave
// nothing.
struct fit_judgement {
  profile_fit fit;
  double scan_from = 0.0, scan_to = 0.0;  // degrees 2θ
  // The share of the fitted line's area outside the scan.
  double share_outside = std::numeric_limits<double>::quiet_NaN();
  // The share of the line's area the chain's background adds (negative:
  // takes away) against the fitted one.
  double background_share = std::numeric_limits<double>::quiet_NaN();
  // The R of a perfect deconvolution of these counts: Σ sqrt(2/π)·σ_i over
  // Σ|observed above the background|, σ_i the counting noise of the fitted
  // counts (scaled by the scatter of the fit's residuals where the values are
  // not counts).
  double noise_r = std::numeric_limits<double>::quiet_NaN();
};

// Fits the file's observed profile and adds the tail and background
// warnings to `a` (which must hold its reconvolution R already).
void judge_by_profile_fit(xy_yobs_3& sample, line_analysis& a);

// Whether R is worth a warning: clearly above what counting noise alone
// gives (1.5 times it and 2 points more), or above 5% without a fit. And the
// warning's opening, which names the figure R was held against.
bool reconvolution_r_suspect(const line_analysis& a);
std::string reconvolution_r_judged(const line_analysis& a);

// The detail lines of the fit, for a line's results: the fitted line, or
// why there is none; R beside the R of counting noise alone.
std::string profile_fit_lines(const line_analysis& a);
