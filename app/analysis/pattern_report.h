#pragma once

#include <string>

#include "app/analysis/pattern_analysis.h"
#include "app/views/williamson_hall_figure.h"

// The whole-pattern analysis as a text: the summary lines first, in the
// fixed forms other programs read (summary_line), each with "± u" or a bound,
//   Williamson-Hall volume-weighted size = %.1f ± %.1f A     (Voigt separation)
//   Williamson-Hall rms strain = %.2e ± %.1e
//   Williamson-Hall (integral breadths) volume-weighted size = ..., apparent strain = ...
//   Modified Williamson-Hall q, volume-weighted size, apparent strain along h00
//   Warren-Averbach 110/220: area-weighted size = %.1f ± %.1f A, rms strain at L = %.0f A = %.2e ± %.1e
// then each fit's points and residuals, then a block per line: its
// position, d, widths, sizes and breadths, warnings, and its table of L,
// A(L) and σ of A(L).
std::string pattern_text(const pattern_analysis& a);

// One CSV row per line: hkl, two_theta, d, fwhm (degrees 2θ, Å), the pure
// line's integral_breadth, lorentz_breadth and gauss_breadth (1/Å), then
// area_weighted_length, volume_weighted_length and scherrer_size (Å), each
// followed by its standard uncertainty (`_u`), then warning. A figure the
// data do not resolve leaves its cells empty, and the warning gives its bound.
std::string pattern_csv(const pattern_analysis& a);

// The Williamson–Hall summary lines alone (what the workbench's history
// takes): the Voigt separation's size and strain.
std::string pattern_summary_lines(const pattern_analysis& a);

// The Williamson–Hall plot of the lines, β* and β_L* against d* with the
// lines' labels and the fitted straight lines, titled "NAME: Williamson-Hall".
williamson_hall_figure_data pattern_figure(const pattern_analysis& a, const std::string& name);
