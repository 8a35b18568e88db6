#pragma once

#include <string>

#include "numerics/x1_xd_x2_3.h"

// Smallest step a data file may have.
inline constexpr double min_file_step = 1e-7;
// Point counts a data file may have.
inline constexpr int min_file_points = 4;
inline constexpr int max_file_points = 30000;

// Checks the x1, xd and x2 just read from a data file and completes them:
// n = nearest((x2 - x1) / xd) + 1 must lie in [4, 30000], and the step is
// then recomputed from the ends, so that x2 lies exactly on the grid.
// False for x2 < x1, a step below 1e-7 (or not a number) or a count out of
// range; then x1, xd and x2 are left as read, and n too, except that a count
// out of range is stored (clamped to the int range) so the caller can tell
// how many points the file claimed.
bool check_abscissa(x1_xd_x2_3& axis);
// The same check; a refusal also says why in `why`, a sentence for the user
// ("Fewer than 4 points: 3").
bool check_abscissa(x1_xd_x2_3& axis, std::string& why);
