#include "xrd/files/abscissa_check.h"

#include <climits>
#include <cmath>

#include "core/text_helpers.h"

bool check_abscissa(x1_xd_x2_3& axis) {
  std::string ignored;
  return check_abscissa(axis, ignored);
}

bool check_abscissa(x1_xd_x2_3& axis, std::string& why) {
  // "%g" shows a step of 5e-8 as it is, where the file's "%-1.4f" would
  // show 0.0000.
  const auto shown = [](double x) { return format_number("%g", x); };
  // Written as negations so that NaN fails them too.
  if (!(axis.x2 >= axis.x1)) {
    why = "The end x2 = " + shown(axis.x2) + " is below the start x1 = " + shown(axis.x1);
    return false;
  }
  if (!(axis.xd >= min_file_step)) {
    why = "The step xd = " + shown(axis.xd) + " is below 1e-7";
    return false;
  }
  const double steps = (axis.x2 - axis.x1) / axis.xd;
  if (!std::isfinite(steps)) {
    axis.n = INT_MAX;
    why = "More than 30000 points";
    return false;
  }
  // Halves go away from zero; steps is not negative here. Counted in double,
  // since a huge span would overflow an int.
  const double count = std::floor(steps + 0.5) + 1.0;
  if (count < min_file_points || count > max_file_points) {
    axis.n = count > INT_MAX ? INT_MAX : static_cast<int>(count);
    why = count < min_file_points ? "Fewer than 4 points: " + format_number("%.0f", count)
                                  : "More than 30000 points: " + format_number("%.0f", count);
    return false;
  }
  axis.n = static_cast<int>(count);
  axis.recompute_step();
  return true;
}
