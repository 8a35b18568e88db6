#pragma once

#include <string>

class assoc_class;

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
