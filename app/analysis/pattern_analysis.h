#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "xrd/pattern/cubic_lattice.h"
#include "xrd/pattern/instrument_function.h"
#include "xrd/pattern/kalpha_doublet.h"
#include "xrd/pattern/order_pairs.h"
#include "xrd/pattern/pattern_background.h"
#include "xrd/pattern/peak_search.h"
#include "xrd/pattern/uncertain_value.h"
#include "xrd/pattern/voigt_breadths.h"
#include "xrd/pattern/williamson_hall.h"
#include "xrd/sizes/coefficient_spread.h"
#include "xrd/sizes/judged_figures.h"
#include "xrd/sizes/line_analysis.h"

class assoc_class;

// What the whole-pattern analysis is asked to do besides the instrument.
struct pattern_options {
  // Reflections to index the lines with: a cubic lattice ("bcc:2.8665") or
  // a file of "h k l d" rows; empty: the lines stay unindexed.
  std::string lattice;
  // Positions, widths and d-spacings read on the K-alpha1 profile
  // (Rachinger); kept, on the measured doublet. The deconvolution takes the
  // measured profile either way: its reference holds the same doublet.
  bool strip_ka2 = true;
  std::optional<double> contrast_q;  // the modified Williamson–Hall's q; none: fitted
  bool has_range = false;            // only the lines in [from, to] (degrees 2θ), in windows inside it
  double from = 0.0, to = 0.0;
  // Each line's window, in FWHMs each side of its doublet; 0: wide enough
  // that under 1% of the line's area lies outside, but at most 8 FWHM each
  // side; either clipped halfway to the neighbours.
  double window_fwhms = 0.0;
};

// One line of the sample, from the peak search to its sizes.
struct pattern_line {
  std::string label;  // the hkl ("110", "411/330") or, unindexed, "44.673 deg"
  bool indexed = false;
  std::array<int, 3> hkl{0, 0, 0};
  found_line found;
  double two_theta = 0.0, two_theta_u = 0.0;  // K-alpha1, degrees
  double d_A = 0.0, d_u = 0.0;
  double fwhm = 0.0, fwhm_u = 0.0;  // observed, degrees 2θ
  double from = 0.0, to = 0.0;      // the window analysed, degrees 2θ
  double reference_fwhm = 0.0;      // the synthesised reference's K-alpha1 FWHM there
  bool analysed = false;            // false: `warnings` say why there are no sizes
  line_analysis analysis;
  line_spread spread;
  voigt_breadths voigt;
  // The pure line's breadths (1/Å) and its sizes (Å), each a figure with its
  // standard uncertainty (counting noise and the instrument's own), a
  // bound, or not determined.
  uncertain_value integral_breadth, lorentz_breadth, gauss_breadth;
  column_lengths lengths;
  summary_value scherrer;
  std::vector<std::string> warnings;
  // With keep_files: the line's window and its synthesised reference as
  // data files in the tree (the reference tied to the window).
  assoc_class* line_file = nullptr;
  assoc_class* reference_file = nullptr;
};

// Two orders of one reflection, through the two-order analysis.
struct pattern_pair {
  order_pair orders;
  std::string label;  // "110/220"
  warren_averbach_result result;
  pair_spread spread;
  column_lengths lengths;
  pair_strain strain;
};

struct pattern_analysis {
  std::string refused;  // why nothing was analysed; empty when something was
  std::string sample;   // the sample file's name
  kalpha_lines source;
  std::vector<double> x, y;  // the pattern analysed
  pattern_background background;
  std::vector<pattern_line> lines;  // by rising angle
  std::vector<std::string> unindexed;  // lines no reflection matched, "44.673 deg"
  std::vector<std::string> skipped;    // lines found but not analysed, and why
  std::vector<std::string> fitted;  // the labels of the lines the Williamson–Hall fits take, in their order
  classical_williamson_hall classical;
  voigt_williamson_hall voigt;
  bool has_modified = false;  // indexed lines enough for the contrast factors
  modified_williamson_hall modified;
  // The same contrast factors on the squared Gaussian breadths: the rms
  // strain along h00, free of the size's share that the integral breadths
  // hold.
  modified_williamson_hall modified_gauss;
  std::vector<pattern_pair> pairs;
  int realisations = 0;  // of the counting noise behind each line's uncertainties
};

// A data file made in the tree from the window [from, to] (degrees 2θ) of
// the sample, as a capture makes one: the sample's settings, not its path,
// reference or ties; it is not marked for saving. Null, with `why`, when it
// cannot be made (too few points in the window).
assoc_class* line_window_file(assoc_class& app, assoc_class& sample, const std::string& path, double from, double to,
                              std::string& why);
// Puts into a data file made so the counts of the instrument's line at
// `two_theta` on its grid, both K-alpha components; false with `why`.
bool put_synthesised_reference(assoc_class& reference, const instrument_function& f, double two_theta,
                               std::string& why);

// The window of a pseudo-Voigt line's half-width `a` (in its FWHMs) that
// leaves `outside` of its area beyond ±a: η of a Lorentzian and 1 − η of a
// Gaussian of one FWHM.
double window_half_width_fwhms(double eta, double outside);

// Every line of the sample's pattern (a loaded data file of `app`, x in
// degrees 2θ) found, indexed and analysed through the Stokes chain, each
// against a reference synthesised at its angle from `instrument`; then the
// Williamson–Hall fits over the lines and the two-order analysis of every
// pair of orders. The lines' files are made in the tree and, unless
// `keep_files`, taken out again. Refused with a reason (nothing analysed)
// when the pattern has no line, the lattice indexes none, or the instrument
// was made for another wavelength.
pattern_analysis analyse_pattern(assoc_class& app, assoc_class& sample, const instrument_function& instrument,
                                 const pattern_options& options, bool keep_files = false);
