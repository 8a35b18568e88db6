#pragma once

#include <optional>

#include "xrd/sizes/coefficient_spread.h"

class xy_yobs_3;

// The standard uncertainties of one line's sizes carried from both files'
// counting noise to first order: each figure's derivatives with respect to
// A(L) and B(L), as its own rule reads them, weighed by the coefficients'
// covariance (coefficient_noise::variance_of). The slope of ln A and the
// volume-weighted length are differentiated through their own functions;
// the Scherrer size through the integral breadth of the deconvoluted
// profile, whose height is read at its highest point. A_sigma and A_draws
// stay empty.
//
// Nothing is drawn, so the figures do not move with a seed, and a series of
// scans pays a few transforms per scan instead of a chain per realisation.
// Empty where first order does not hold: a quotient faded by the Wiener
// filter, whose weights move with the noise, or a line without a quotient.
std::optional<line_spread> propagated_spread(xy_yobs_3& sample, const line_analysis& analysis);
