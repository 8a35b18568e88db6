#include "xrd/plots/al_3.h"

#include <string>
#include <vector>

#include "numerics/x1_xd_x2_3.h"
#include "xrd/chain/xy_yobs_4.h"
#include "xrd/sizes/line_analysis.h"

bool al_3::recompute(plot_view&, xy_data_for_3& xy) {
  xy_yobs_4* chain = observed();
  fourier_coefficients c;
  std::string why;
  if (!chain || !coefficients_of(*chain, c, why) || c.A.empty()) return false;
  std::vector<float> a(c.A.begin(), c.A.end());
  x1_xd_x2_3 axis;
  axis.set_first_step_count(0.0, c.L.size() > 1 ? c.L[1] - c.L[0] : 1.0, static_cast<int>(c.L.size()));
  take(xy, axis, a.data(), static_cast<int>(a.size()), 1.0);
  return true;
}
