#include "xrd/chain/xy_yobs_3.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/assoc_class.h"
#include "numerics/size_for_overwrite.h"
#include "xrd/tails/B_ex_consts_3.h"
#include "xrd/chain/ptr_classes_4.h"
#include "xrd/chain/ref_prof_3.h"
#include "xrd/curves/xy_data_3.h"
#include "xrd/chain/xy_yobs_4.h"

namespace {

// Half a degree in radians: the origin is a 2-theta angle, the cosine wants theta.
constexpr double half_degree = 0.008726646259971648;
constexpr double degrees_per_radian = 57.29577951308232;
// The automatic background is the line through the means of this many points
// at each end.
constexpr int end_window = 8;
// The share of a profile's size that its float rounding can leave as a sum.
constexpr double float_noise = 1e-6;

bool is_unset(double v) { return std::fabs(v - xy_yobs_3::unset) < 1e-9; }

}  // namespace

assoc_class* xy_yobs_3::option_node(cached_ref& ref) { return ref.get(chain_node()); }

int xy_yobs_3::flag_value(cached_ref& flag) {
  assoc_class* n = option_node(flag);
  return n ? n->get_int() : 0;
}

double xy_yobs_3::option_double(cached_ref& ref, double fallback) {
  assoc_class* n = option_node(ref);
  return n ? n->get_double() : fallback;
}

bool xy_yobs_3::stage_due(stage s, cached_ref& flag) { return (due_ & s) != 0 || flag_value(flag) != 0; }

void xy_yobs_3::stage_done(stage s, cached_ref& flag) {
  due_ &= ~static_cast<std::uint32_t>(s);
  assoc_class* n = option_node(flag);
  if (n && n->get_int() != 0) n->set_int(0);
}

bool xy_yobs_3::usable_profile() {
  xy_data_for_3& obs = observed_profile();
  return obs.y.count() >= 1 && obs.xd > 0.0 && std::isfinite(obs.xd) && std::isfinite(obs.x1);
}

double xy_yobs_3::origin_index() { return option_double(zero_, unset); }

double xy_yobs_3::origin_x() {
  xy_data_for_3& obs = observed_profile();
  return origin_index() * obs.xd + obs.x1;
}

double xy_yobs_3::centre_x() {
  xy_data_for_3& obs = observed_profile();
  return (obs.x1 + obs.x2) / 2.0;
}

double xy_yobs_3::background_level() { return option_double(bkg0_, 0.0); }
double xy_yobs_3::background_slope() { return option_double(bkg1_, 0.0); }
double xy_yobs_3::background_at(double x) { return background_level() + background_slope() * (x - centre_x()); }

void xy_yobs_3::set_origin_index(double index) {
  if (assoc_class* n = option_node(zero_)) n->set_double(index);
}

void xy_yobs_3::set_limit_index(double index) {
  if (assoc_class* n = option_node(f2_lim_)) n->set_double(index);
}

double xy_yobs_3::limit_index() { return option_double(f2_lim_, unset); }

double xy_yobs_3::limit_index_or_last() {
  const double lim = limit_index();
  return is_unset(lim) ? fft.frequency_axis.n - 1 : lim;
}

double xy_yobs_3::limit_frequency() { return limit_index_or_last() * fft.frequency_axis.xd + fft.frequency_axis.x1; }

double xy_yobs_3::wavelength_factor() {
  const double lambda = option_double(lambda_, 0.0);
  if (!(lambda > 0.0)) return 1.0;
  double cz = std::cos(origin_x() * half_degree);
  if (std::fabs(cz) < 1e-9) cz = cz < 0.0 ? -1e-9 : 1e-9;
  return lambda * degrees_per_radian / cz;
}

ref_prof_3* xy_yobs_3::reference_option() { return dynamic_cast<ref_prof_3*>(option_node(ref_prof_)); }

xy_yobs_4* xy_yobs_3::reference_profile() {
  ref_prof_3* r = reference_option();
  return r ? r->reference_profile() : nullptr;
}

ptr_classes_4* xy_yobs_3::tied_files() { return dynamic_cast<ptr_classes_4*>(option_node(tied_)); }

B_ex_consts_3* xy_yobs_3::tail_consts(bool right) {
  return dynamic_cast<B_ex_consts_3*>(option_node(right ? right_consts_ : left_consts_));
}

int xy_yobs_3::planned_frequency_count() {
  const int count = observed_profile().y.count();
  const int last = count - 1;
  long long total = count;
  for (int side = 0; side < 2; ++side)
    if (B_ex_consts_3* consts = tail_consts(side == 1)) total += consts->added_points(last);
  const int points = static_cast<int>(std::min<long long>(total, max_transform_length));
  int doubling = std::max(flag_value(doubler_), 0);
  while (doubling > 0 && fft_3::transform_length(points, doubling) > max_transform_length) --doubling;
  return fft_3::transform_length(points, doubling) / 2;
}

void xy_yobs_3::ensure_origin() {
  if (is_unset(origin_index()) && usable_profile()) automatic_origin();
}

xy_yobs_3::end_line xy_yobs_3::line_through_ends(const std::vector<double>& v) {
  end_line line;
  const int n = static_cast<int>(v.size());
  if (n < 1) return line;
  const int w = std::min(end_window, n);
  double left_mean = 0.0;
  double right_mean = 0.0;
  for (int i = 0; i < w; ++i) {
    left_mean += v[static_cast<std::size_t>(i)];
    right_mean += v[static_cast<std::size_t>(n - w + i)];
  }
  left_mean /= w;
  right_mean /= w;
  const double left_centre = (w - 1) / 2.0;
  const double right_centre = ((n - w) + (n - 1)) / 2.0;
  line.intercept = left_mean;
  if (right_centre != left_centre) {
    line.slope = (right_mean - left_mean) / (right_centre - left_centre);
    line.intercept = left_mean - line.slope * left_centre;
    line.sloped = true;
  }
  return line;
}

void xy_yobs_3::automatic_origin() {
  xy_data_for_3& obs = observed_profile();
  const int n = obs.y.count();
  if (n < 1) return;
  std::vector<double> v(static_cast<std::size_t>(n));
  const float* y = obs.y.data();
  for (int i = 0; i < n; ++i) v[static_cast<std::size_t>(i)] = y[i];

  const end_line line = line_through_ends(v);
  const double slope = line.slope;
  const double intercept = line.intercept;
  double centroid = no_value;
  if (line.sloped) {
    double s0 = 0.0;
    double s1 = 0.0;
    double size = 0.0;
    for (int i = 0; i < n; ++i) {
      const double above = v[static_cast<std::size_t>(i)] - (slope * i + intercept);
      s0 += above;
      s1 += (obs.x1 + i * obs.xd) * above;
      size += std::fabs(v[static_cast<std::size_t>(i)]);
    }
    // Float data never leave an exact 0 above a straight profile: what is
    // left of its rounding is no peak either.
    if (n >= 2 && std::fabs(s0) > float_noise * size && std::isfinite(s1 / s0)) centroid = s1 / s0;
  }
  // A profile without a peak above its end line has no centroid; its middle
  // is the origin that keeps the phase and the wavelength conversion sane.
  const double origin = centroid == no_value ? (n - 1) / 2.0 : (centroid - obs.x1) / obs.xd;

  if (n >= 2 && obs.x2 != obs.x1) {
    const double ya = intercept;
    const double yb = slope * (n - 1) + intercept;
    const double b1 = (yb - ya) / (obs.x2 - obs.x1);
    const double b0 = ya - (obs.x1 - centre_x()) * b1;
    if (assoc_class* a = option_node(bkg0_)) a->set_double(b0);
    if (assoc_class* a = option_node(bkg1_)) a->set_double(b1);
  }
  set_origin_index(origin);
  ++runs.origin;
}

bool xy_yobs_3::run_transform_stages() {
  if (!usable_profile()) return false;
  ensure_origin();

  xy_data_for_3& obs = observed_profile();
  const int last = obs.y.count() - 1;
  tail_state sides[2];
  for (int side = 0; side < 2; ++side) {
    B_ex_consts_3* consts = tail_consts(side == 1);
    if (!consts || !consts->active(last)) continue;
    consts->ensure_curve(*this, obs);
    sides[side] = {true, consts->added_points(last), consts->curve_runs};
  }
  if (!(sides[0] == left_used_) || !(sides[1] == right_used_) || obs.dirty) due_ |= transform_stage;

  if (stage_due(transform_stage, recal_)) {
    left_used_ = sides[0];
    right_used_ = sides[1];
    transform();
    obs.dirty = false;
    stage_done(transform_stage, recal_);
    due_ |= shift_stage | inverse_stage | quotient_stage | deconvolution_stage;
  }
  if (stage_due(shift_stage, shift_)) {
    shift();
    stage_done(shift_stage, shift_);
    due_ |= quotient_stage | deconvolution_stage;
  }
  return true;
}

void xy_yobs_3::build_input() {
  xy_data_for_3& obs = observed_profile();
  const int count = obs.y.count();
  const int last = count - 1;
  const int left = left_used_.active ? left_used_.points : 0;
  const int right = right_used_.active ? right_used_.points : 0;
  const int total = left + count + right;
  size_for_overwrite(ft_input, total);  // every element is written below
  float* in = ft_input.data();
  if (left > 0) {
    B_ex_consts_3* consts = tail_consts(false);
    for (int k = 0; k < left; ++k) in[k] = consts ? consts->tail_value(k - left) : 0.0f;
  }
  const float* y = obs.y.data();
  std::copy(y, y + count, in + left);
  if (right > 0) {
    B_ex_consts_3* consts = tail_consts(true);
    for (int k = 0; k < right; ++k) in[left + count + k] = consts ? consts->tail_value(last + 1 + k) : 0.0f;
  }
  const double first_x = obs.x1 - left * obs.xd;
  ft_input_axis.set_first_step_count(first_x, obs.xd, total);

  const double b0 = option_double(bkg0_, 0.0);
  const double b1 = option_double(bkg1_, 0.0);
  const double xc = centre_x();
  for (int k = 0; k < total; ++k) {
    const double x = first_x + k * obs.xd;
    in[k] = static_cast<float>(in[k] - (b0 + b1 * (x - xc)));
  }
}

void xy_yobs_3::transform() {
  build_input();
  int doubling = std::max(flag_value(doubler_), 0);
  while (doubling > 0 && fft_3::transform_length(ft_input.count(), doubling) > max_transform_length) --doubling;
  fft.forward(ft_input, doubling);
  ++runs.transform;
}

void xy_yobs_3::shift() {
  fft.set_frequency_axis(ft_input_axis);
  display_axis = fft.frequency_axis;
  if (option_double(lambda_, 0.0) > 0.0) {
    const double f = wavelength_factor();
    display_axis.x1 *= f;
    display_axis.x2 *= f;
    if (display_axis.n >= 2)
      display_axis.recompute_step();
    else
      display_axis.xd *= f;
  }
  fft.shift_origin(origin_x());
  ++runs.shift;
}

bool xy_yobs_3::run_inverse() {
  if (!run_transform_stages()) return false;
  if (stage_due(inverse_stage, do_inv_)) {
    const int m = fft.frequency_count();
    double lim = limit_index();
    if (is_unset(lim)) {
      lim = m - 1;
      set_limit_index(lim);
    }
    // Cut-offs outside the axis mean "nothing" or "everything".
    const double cut = std::floor(lim);
    const int kc = cut < 0.0 ? -1 : (cut >= m ? m : static_cast<int>(cut));
    fft.inverse(kc);
    ++runs.inverse;
    stage_done(inverse_stage, do_inv_);
  }
  return true;
}

bool xy_yobs_3::run_quotient() {
  if (!run_transform_stages()) return false;
  xy_yobs_4* ref = reference_profile();
  if (!ref || !ref->run_transform_stages()) return false;
  // An unset limit on either side stands for its last frequency, as it does
  // for the inverse; read as stored it is negative and leaves the quotient 0.
  const double f = std::min(limit_frequency(), ref->limit_frequency());
  ref_prof_3* option = reference_option();
  const double wiener = option_double(wiener_, 0.0);
  const quotient_inputs now{ref, option ? option->assignments : 0, runs.shift, ref->runs.shift, f, wiener};
  if (!(now == quotient_used_)) due_ |= quotient_stage;
  if (stage_due(quotient_stage, do_deconv_)) {
    fft.quotient(ref->fft, f);
    // The filter's noise is the quotient's own, in the reference's units:
    // the reference's noise floor and the observed one scaled by R(0) / O(0).
    if (wiener > 0.0 && fft.modulus.count() > 0 && ref->fft.modulus.count() > 0 && fft.modulus[0] > 0.0f) {
      const double nr = ref->fft.noise_floor();
      const double no = fft.noise_floor() * ref->fft.modulus[0] / fft.modulus[0];
      fft.wiener(wiener * (nr * nr + no * no));
    }
    ++runs.quotient;
    quotient_used_ = now;
    stage_done(quotient_stage, do_deconv_);
    due_ |= deconvolution_stage;
  }
  return true;
}

bool xy_yobs_3::run_deconvolution() {
  if (!run_quotient()) return false;
  if (stage_due(deconvolution_stage, do_br_)) {
    fft.deconvolute();
    ++runs.deconvolution;
    stage_done(deconvolution_stage, do_br_);
  }
  return true;
}
