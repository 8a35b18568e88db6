#include "xrd/pattern/synthetic_reference.h"

#include <cmath>
#include <cstddef>

#include "xrd/pattern/instrument_function.h"
#include "xrd/pattern/kalpha_doublet.h"

bool synthesise_reference(const instrument_function& f, double two_theta_deg, const scan_grid& grid,
                          std::vector<double>& counts, std::string& why) {
  if (!f.fitted) {
    why = "the instrument function was not fitted";
    return false;
  }
  if (grid.count < 2 || !(grid.step > 0.0) || !std::isfinite(grid.x1)) {
    why = "the grid holds no points";
    return false;
  }
  const double fwhm = f.fwhm_at(two_theta_deg);
  if (!(fwhm > 0.0)) {
    why = "the instrument function gives no width at " + std::to_string(two_theta_deg) + " deg";
    return false;
  }
  if (!std::isfinite(kalpha::second_two_theta_deg(two_theta_deg, f.source))) {
    why = "K-alpha2 has no reflection at " + std::to_string(two_theta_deg) + " deg";
    return false;
  }
  const double eta = f.eta_at(two_theta_deg);
  counts.assign(static_cast<std::size_t>(grid.count), 0.0);
  for (int i = 0; i < grid.count; ++i)
    counts[static_cast<std::size_t>(i)] =
        kalpha::doublet(grid.x1 + i * grid.step, two_theta_deg, fwhm, eta, 1.0, f.source);
  return true;
}
