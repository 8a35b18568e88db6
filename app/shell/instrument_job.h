#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "app/shell/application_session.h"

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
