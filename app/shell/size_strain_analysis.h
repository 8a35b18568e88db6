#pragma once

#include <string>
#include <vector>

#include "xrd/sizes/coefficient_spread.h"
#include "xrd/sizes/line_analysis.h"
#include "xrd/sizes/size_strain.h"

// What size-strain finds for its pairs before it is written: one line's
// analysis per sample (one, or two orders of one reflection), their
// two-order separation where there are two, and the spread of every figure
// over the counting noise.
struct size_strain_analysis {
  std::vector<std::string> names;  // "SAMPLE / REFERENCE"
  std::vector<line_analysis> lines;
  warren_averbach_result pair;  // meaningful with two lines only
  size_strain_spread spread;

  const warren_averbach_result* two_orders() const { return lines.size() == 2 ? &pair : nullptr; }
};
