#include "xrd/tails/B_ex_consts_3.h"

#include <algorithm>
#include <cmath>

#include "core/numeric_abort.h"
#include "core/paths.h"
#include "core/text_helpers.h"
#include "numerics/linear_regression_3.h"
#include "xrd/curves/xy_data_3.h"
#include "xrd/chain/xy_yobs_3.h"

namespace {

// Keeps each term finite at the origin.
constexpr double at_origin = 1e-7;

// Truncation toward zero of an option used as an index, without the undefined
// conversion of a value out of int's range.
int index_of_option(double v) {
  if (!(v > -1e9)) return -1000000000;
  if (v > 1e9) return 1000000000;
  return static_cast<int>(v);
}

}  // namespace

double B_ex_consts_3::basis(int term, double d) {
  const double a = std::fabs(d);
  switch (term) {
    case 0:
      return 1.0 / (a + at_origin);
    case 1:
      return 1.0 / (d * d + at_origin);
    default:
      return 1.0 / (a * a * a + at_origin);
  }
}

int B_ex_consts_3::limited_index(bool right, bool second, int index, int last) {
  if (!right) return second ? std::clamp(index, std::min(4, last), last) : std::min(index, 0);
  return second ? std::max(index, last) : std::clamp(index, 0, std::max(last - 4, 0));
}

double B_ex_consts_3::option(cached_ref& ref, double fallback) {
  assoc_class* n = ref.get(*this);
  return n ? n->get_double() : fallback;
}

int B_ex_consts_3::flag(cached_ref& ref) {
  assoc_class* n = ref.get(*this);
  return n ? n->get_int() : 0;
}

void B_ex_consts_3::clear_flag(cached_ref& ref) {
  assoc_class* n = ref.get(*this);
  if (n && n->get_int() != 0) n->set_int(0);
}

void B_ex_consts_3::set_option(cached_ref& ref, double value) {
  if (assoc_class* n = ref.get(*this)) n->set_double(value);
}

void B_ex_consts_3::set_index(bool second, double value) { set_option(second ? i2_ : i1_, value); }

double B_ex_consts_3::first_option() { return option(i1_, -1.0); }
double B_ex_consts_3::second_option() { return option(i2_, -1.0); }
int B_ex_consts_3::first_index() { return index_of_option(first_option()); }
int B_ex_consts_3::second_index() { return index_of_option(second_option()); }
double B_ex_consts_3::coefficient(int term) { return option(a_[term], 0.0); }

bool B_ex_consts_3::uses(int term) {
  assoc_class* n = use_[term].get(*this);
  return n && n->get_int() != 0;
}

int B_ex_consts_3::terms_used() {
  int m = 0;
  for (int k = 0; k < terms; ++k) m += uses(k) ? 1 : 0;
  return m;
}

bool B_ex_consts_3::active(int last) {
  if (terms_used() == 0) return false;
  return right_side() ? second_option() - last > 0.5 : first_option() < -0.5;
}

int B_ex_consts_3::added_points(int last) {
  if (!active(last)) return 0;
  const long long n =
      right_side() ? static_cast<long long>(second_index()) - last : -static_cast<long long>(first_index());
  return static_cast<int>(std::clamp<long long>(n, 0, max_tail_points));
}

xy_data_for_3* B_ex_consts_3::curve() {
  if (!curve_.get()) {
    if (assoc_class* n = find(*this, curve_name())) link(n, &curve_);
  }
  return dynamic_cast<xy_data_for_3*>(curve_.get());
}

B_ex_consts_3::curve_inputs B_ex_consts_3::inputs_now(xy_yobs_3& chain, xy_data_3& observed) {
  curve_inputs in;
  in.b0 = chain.background_level();
  in.b1 = chain.background_slope();
  in.xc = chain.centre_x();
  in.x0 = chain.origin_x();
  in.x1 = observed.x1;
  in.xd = observed.xd;
  in.i1 = first_index();
  in.i2 = second_index();
  for (int k = 0; k < terms; ++k) {
    in.use[k] = uses(k);
    in.a[k] = coefficient(k);
  }
  return in;
}

double B_ex_consts_3::model_at(const curve_inputs& in, double x) const {
  const double d = x - in.x0;
  double y = in.b0 + in.b1 * (x - in.xc);
  for (int k = 0; k < terms; ++k)
    if (in.use[k]) y += in.a[k] * basis(k, d);
  return y;
}

void B_ex_consts_3::fit(xy_yobs_3& chain, xy_data_3& observed) {
  const int m = terms_used();
  const int last = observed.y.count() - 1;
  int from = 0;
  int to = last;
  if (right_side())
    from = std::clamp(first_index(), 0, std::max(last, 0));
  else
    to = std::clamp(second_index(), 0, std::max(last, 0));
  const int points = to - from + 1;
  if (m == 0 || last < 0 || points < 1) {
    clear_flag(refit_);
    return;
  }

  const curve_inputs in = inputs_now(chain, observed);
  double_vec target(points);
  design_list design(m);
  for (int k = 0; k < m; ++k) design[k].allocate(points);
  const float* y = observed.y.data();
  for (int i = 0; i < points; ++i) {
    const double x = in.x1 + (from + i) * in.xd;
    const double d = x - in.x0;
    target[i] = y[from + i] - (in.b0 + in.b1 * (x - in.xc));
    int row = 0;
    for (int k = 0; k < terms; ++k)
      if (in.use[k]) design[row++][i] = basis(k, d);
  }
  linear_regression_3 regression;
  try {
    regression.fit(target, design);
  } catch (const numeric_abort&) {
    // Asking again would only repeat the message: wait for the next change.
    // The abort goes on to end the action that asked for the fit.
    clear_flag(refit_);
    throw;
  }
  int row = 0;
  for (int k = 0; k < terms; ++k)
    if (in.use[k]) set_option(a_[k], regression.x[row++]);
  ++fit_runs;
  // Last: storing the coefficients may have run scripts that ask for a fit.
  clear_flag(refit_);
}

bool B_ex_consts_3::ensure_curve(xy_yobs_3& chain, xy_data_3& observed) {
  const bool refit = flag(refit_) != 0;
  if (refit) fit(chain, observed);
  const curve_inputs in = inputs_now(chain, observed);
  xy_data_for_3* c = curve();
  const bool dirty = c && c->dirty;
  if (!refit && !dirty && flag(redo_curve_) == 0 && computed_ && in == used_) return false;

  used_ = in;
  computed_ = true;
  if (c) {
    const double first_x = in.x1 + static_cast<double>(in.i1) * in.xd;
    const double last_x = in.x1 + static_cast<double>(in.i2) * in.xd;
    int n = in.xd > 0.0 ? nearest((last_x - first_x) / in.xd) + 1 : 0;
    n = std::clamp(n, 0, max_tail_points);
    c->y.allocate(n);
    c->y.rebase(0);
    c->set_first_step_count(first_x, in.xd, n);
    for (int k = 0; k < n; ++k) c->y[k] = static_cast<float>(model_at(in, first_x + k * in.xd));
    c->dirty = false;
    c->profile_changed();
  }
  ++curve_runs;
  clear_flag(redo_curve_);
  return true;
}

float B_ex_consts_3::tail_value(int index) {
  if (xy_data_for_3* c = curve(); c && computed_) {
    const long long k = static_cast<long long>(index) - used_.i1;
    if (k >= 0 && k < c->y.count()) return c->y.data()[k];
  }
  return static_cast<float>(model_at(used_, used_.x1 + static_cast<double>(index) * used_.xd));
}
