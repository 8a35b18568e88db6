#pragma once

#include <string>
#include <vector>

class assoc_class;

// The background that is shown under a pattern and taken off it (x rising
// on an even step, y counts): the peak-clipped one, lifted by the offset
// clipping leaves under counting noise (it follows the lower edge of the
// scatter), so that away from the lines the counts less it average zero.
std::vector<double> background_to_subtract(const std::vector<double>& x, const std::vector<double>& y);

// Takes the pattern's background (peak clipping) off the counts of a loaded
// data file, on the same grid, and says so in its comment. Counts that the
// noise takes below the background stay negative: a later fit needs the
// noise unbiased. False, with `why`, when the file has too few points.
bool subtract_background(assoc_class& file, std::string& why);

// A new data file in memory, as a capture makes one, beside `file` and
// named <stem>_less_background.xdd (numbered when that is taken), holding
// its counts less their background; `file` stays as it was. Null, with
// `why`, when none can be made.
assoc_class* background_subtracted_file(assoc_class& app, assoc_class& file, std::string& why);
