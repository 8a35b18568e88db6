#include "xrd/files/abscissa_check.h"

#include <climits>
#include <cmath>

bool check_abscissa(x1_xd_x2_3& axis) {
  // Written as negations so that NaN fails them too.
  if (!(axis.x2 >= axis.x1)) return false;
  if (!(axis.xd >= min_file_step)) return false;
  const double steps = (axis.x2 - axis.x1) / axis.xd;
  if (!std::isfinite(steps)) {
    axis.n = INT_MAX;
    return false;
  }
  // Halves go away from zero; steps is not negative here. Counted in double,
  // since a huge span would overflow an int.
  const double count = std::floor(steps + 0.5) + 1.0;
  if (count < min_file_points || count > max_file_points) {
    axis.n = count > INT_MAX ? INT_MAX : static_cast<int>(count);
    return false;
  }
  axis.n = static_cast<int>(count);
  axis.recompute_step();
  return true;
}
