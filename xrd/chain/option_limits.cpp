#include "xrd/chain/option_limits.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/fund_type_3.h"
#include "xrd/chain/xy_yobs_4.h"
#include "xrd/tails/B_ex_consts_3.h"

namespace {

// Within this many times the scan's largest ordinate, a background line
// still means something; far beyond it the corrected profile is the line
// alone, and its transform leaves the float range.
constexpr double background_reach = 10.0;

bool named(fund_type_3& node, const char* name) { return std::strcmp(node.display_name(), name) == 0; }

double largest_ordinate(xy_yobs_4& obs) {
  double a = 0.0;
  const float* y = obs.y.data();
  for (int i = 0; i < obs.y.count(); ++i) a = std::max(a, std::fabs(static_cast<double>(y[i])));
  return a > 0.0 ? a : 1.0;
}

bool tail_limits(fund_type_3& option, B_ex_consts_3& side, int last, double& lo, double& hi) {
  constexpr double longest = B_ex_consts_3::max_tail_points;
  const bool first = named(option, "nBpts_i1");
  if (!first && !named(option, "nBpts_i2")) return false;
  if (!side.right_side()) {
    // The tail's start, before the scan; the fit's end, within it.
    if (first) {
      lo = -longest;
      hi = 0.0;
    } else {
      lo = 4.0;
      hi = last;
    }
  } else {
    // The fit's start, within the scan; the tail's end, after it.
    if (first) {
      lo = 0.0;
      hi = last - 4.0;
    } else {
      lo = last;
      hi = last + longest;
    }
  }
  return lo <= hi;
}

}  // namespace

bool option_data_limits(fund_type_3& option, double& lo, double& hi, bool reading) {
  assoc_class* file = option.ancestor_named("xdd");
  auto* obs = file ? dynamic_cast<xy_yobs_4*>(file->find_child("xy_yobs")) : nullptr;
  if (!obs || obs->y.count() < 1) return false;
  const int last = obs->y.count() - 1;
  if (auto* side = dynamic_cast<B_ex_consts_3*>(option.parent())) return tail_limits(option, *side, last, lo, hi);
  if (option.parent() != file) return false;
  if (named(option, "fBft_f2_lim")) {
    lo = 0.0;
    hi = (reading ? xy_yobs_3::max_transform_length / 2 : obs->planned_frequency_count()) - 1;
    return lo <= hi;
  }
  if (named(option, "aBo_bkg")) {
    hi = background_reach * largest_ordinate(*obs);
    lo = -hi;
    return true;
  }
  if (named(option, "aB1_bkg")) {
    const double span = obs->x_of(last) - obs->x1;
    if (!(span > 0.0)) return false;
    hi = background_reach * largest_ordinate(*obs) / span;
    lo = -hi;
    return true;
  }
  return false;
}

void install_option_limits() { set_data_limits_rule(option_data_limits); }
