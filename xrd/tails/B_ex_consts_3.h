#pragma once

#include "core/assoc_class.h"
#include "core/cached_ref.h"
#include "core/ptr_class.h"

class xy_data_3;
class xy_data_for_3;
class xy_yobs_3;

// The constants of one extrapolated tail: its three coefficients and which of
// them take part, the index range of its curve, and the flags that ask for
// the curve and the fit to be redone (children "eBxtr_a1" ... "dBo_ex_reg").
//
// The tail model, with d the distance from the origin x0 and B the background
// line, is
//   y = B(x) + a1 / (|d| + 1e-7) + a2 / (d^2 + 1e-7) + a3 / (|d^3| + 1e-7),
// each term only when its "_use" option is not 0; the 1e-7 keeps it finite at
// the origin.
class B_ex_consts_3 : public assoc_class {
 public:
  static constexpr int terms = 3;
  // A tail longer than this would not fit the transform.
  static constexpr int max_tail_points = 1 << 20;

  // Basis function `term` (0, 1, 2) at distance d.
  static double basis(int term, double d);
  // Where a dragged marker may put the index of one end of a tail (`second`:
  // nBpts_i2), for a profile whose last index is `last`.
  static int limited_index(bool right, bool second, int index, int last);

  virtual bool right_side() const = 0;
  // The tail curve's node.
  virtual const char* curve_name() const = 0;

  double first_option();   // nBpts_i1 as stored
  double second_option();  // nBpts_i2 as stored
  // The same as point indices (truncated toward zero).
  int first_index();
  int second_index();
  int terms_used();
  double coefficient(int term);
  bool uses(int term);

  // Whether the tail extends the profile before the transform, and by how
  // many points.
  bool active(int last);
  int added_points(int last);

  // Refits when asked to, and recomputes the curve when asked to or when
  // anything it is made from has changed. True when the curve was redone.
  // A fit that does not converge throws numeric_abort, and is not tried
  // again until asked anew.
  bool ensure_curve(xy_yobs_3& chain, xy_data_3& observed);
  // Least-squares coefficients of the used terms over the fitted points.
  void fit(xy_yobs_3& chain, xy_data_3& observed);
  // The tail at an index of the observed profile: the curve's point there,
  // or the model where the curve does not reach.
  float tail_value(int index);

  xy_data_for_3* curve();
  // Sets nBpts_i1 (or nBpts_i2 when `second`); its change script runs.
  void set_index(bool second, double value);

  int curve_runs = 0;
  int fit_runs = 0;

 private:
  cached_ref a_[terms] = {cached_ref("eBxtr_a1"), cached_ref("eBxtr_a2"), cached_ref("eBxtr_a3")};
  cached_ref use_[terms] = {cached_ref("eBxtr_a1_use"), cached_ref("eBxtr_a2_use"), cached_ref("eBxtr_a3_use")};
  cached_ref i1_{"nBpts_i1"};
  cached_ref i2_{"nBpts_i2"};
  cached_ref redo_curve_{"dBo_ex_yc"};
  cached_ref refit_{"dBo_ex_reg"};

  // Everything the curve is computed from.
  struct curve_inputs {
    double b0 = 0.0, b1 = 0.0, xc = 0.0;  // background line
    double x0 = 0.0;                      // origin
    double x1 = 0.0, xd = 0.0;            // observed abscissa
    int i1 = 0, i2 = -1;
    double a[terms] = {0.0, 0.0, 0.0};
    bool use[terms] = {false, false, false};
    bool operator==(const curve_inputs&) const = default;
  };

  curve_inputs inputs_now(xy_yobs_3& chain, xy_data_3& observed);
  double model_at(const curve_inputs& in, double x) const;
  double option(cached_ref& ref, double fallback);
  int flag(cached_ref& ref);
  void clear_flag(cached_ref& ref);
  void set_option(cached_ref& ref, double value);

  curve_inputs used_;
  bool computed_ = false;
  ptr_class<assoc_class> curve_;
};
