#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "app/shell/application_session.h"
#include "xrd/pattern/instrument_function.h"

// A line of the standard left out of the instrument function, and why.
struct not_fitted {
  std::string label;
  std::string why;
};

struct instrument_from_pattern {
  bool fitted = false;
  instrument_function function;
  std::vector<not_fitted> skipped;
};

// The fit alone: refused (said on `err`, naming `standard`) as below.
instrument_from_pattern fit_standard_pattern(const std::string& standard, const std::vector<double>& x,
                                             const std::vector<double>& y, double lambda_A, const std::string& lattice,
                                             std::ostream& err);
// Its figures and the lines used and not, as the instrument command prints them.
std::string instrument_report(const instrument_from_pattern& fit);

// The instrument function from the whole pattern of a line-profile standard
// (x rising on an even step in degrees 2θ, y counts, at K-alpha1 `lambda_A`):
// its lines found, indexed with `lattice` when one is given ("" for none),
// each isolated one fitted as its K-alpha doublet, then Caglioti's widths and
// the mixing η fitted over them. The file is written to `output` and the
// job's text is the summary and a line per line. Refused (said on `err`,
// naming `standard`, nothing written) with fewer than three isolated lines,
// a lattice that indexes none of them, or fits that do not converge.
job_output instrument_from_standard(const std::string& standard, const std::vector<double>& x,
                                    const std::vector<double>& y, double lambda_A, const std::string& lattice,
                                    const std::string& output, std::ostream& err);
