#include "xrd/plots/deconv_3.h"

#include <algorithm>

#include "core/text_helpers.h"
#include "numerics/x1_xd_x2_3.h"
#include "xrd/chain/xy_yobs_4.h"

std::uint64_t deconv_3::source_stamp(plot_view&) {
  xy_yobs_4* chain = observed();
  if (!chain || !chain->run_deconvolution()) return 0;
  return static_cast<std::uint64_t>(chain->runs.deconvolution);
}

bool deconv_3::recompute(plot_view&, xy_data_for_3& xy) {
  xy_yobs_4* chain = observed();
  if (!chain || !chain->run_deconvolution()) return false;
  const float_vec& profile = chain->fft.profile;
  const int length = profile.count();
  const int half = length / 2;
  const int start = std::max(0, half - chain->ft_input.count() / 2 - 1);
  const int n = std::max(0, std::min(chain->ft_input.count(), length - start));
  const float* window = profile.data() + start;
  double largest = n > 0 ? window[0] : 0.0;
  for (int i = 1; i < n; ++i) largest = std::max(largest, static_cast<double>(window[i]));
  const float* y = chain->y.data();
  double observed_top = chain->y.count() > 0 ? y[0] : 0.0;
  for (int i = 1; i < chain->y.count(); ++i) observed_top = std::max(observed_top, static_cast<double>(y[i]));
  const double xd = chain->ft_input_axis.xd;
  const x1_xd_x2_3 axis(chain->origin_x() - xd * (half - start), xd, n);
  take(xy, axis, window, n, observed_top / at_least_magnitude(largest, 1e-9));
  return true;
}
