#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

struct found_line;

// The reflections a pattern's lines are indexed with: those of a cubic
// lattice, or a list of hkl and d read from a file.

enum class cubic_kind { sc, bcc, fcc, diamond };

struct cubic_lattice {
  cubic_kind kind = cubic_kind::sc;
  double a_A = 0.0;  // lattice parameter, Å
};

struct reflection {
  int h = 0, k = 0, l = 0;
  double d_A = 0.0;   // interplanar spacing, Å
  std::string label;  // "110"; reflections of one d together, "411/330"
};

// `text` as "sc:A", "bcc:A", "fcc:A" or "diamond:A" (A in Å); false with
// `why` naming the field and the cause for anything else.
bool parse_lattice(std::string_view text, cubic_lattice& lattice, std::string& why);

// The lattice's allowed reflections with d at least `d_min_A`, by rising
// h² + k² + l² (falling d), one entry per d.
std::vector<reflection> reflections_of(const cubic_lattice& lattice, double d_min_A);

// The reflections of a text file of "h k l d" rows (d in Å, blanks between,
// # starting a comment); false with `why` naming the file, the line and the
// cause.
bool read_reflections(const std::string& path, std::vector<reflection>& out, std::string& why);

// Bragg's law: the 2θ (degrees) of spacing d at a wavelength, NaN beyond
// reach (λ > 2d).
double bragg_two_theta_deg(double d_A, double lambda_A);
// And back: the d (Å) of a line at 2θ.
double bragg_d_A(double two_theta_deg, double lambda_A);

struct indexed_line {
  std::size_t line = 0;  // index into the lines given
  reflection hkl;
  double two_theta_deg = 0.0;  // the reflection's position by Bragg's law
  double offset_deg = 0.0;     // the line's position less it
};

struct line_indexing {
  std::vector<indexed_line> indexed;
  std::vector<std::size_t> unindexed;  // lines matching no reflection
};

// Each line matched to the reflection nearest its position within the
// larger of `tolerance_deg` and `fwhm_fraction` of its FWHM.
line_indexing index_lines(const std::vector<found_line>& lines, const std::vector<reflection>& reflections,
                          double lambda_A, double tolerance_deg = 0.1, double fwhm_fraction = 0.0);
