#pragma once

#include <cmath>
#include <vector>

// Cubic interpolating spline over samples on an equally stepped abscissa
// (first abscissa x0, step dx). V is the sample vector type
// (my_vec<float,double> in this system); the spline keeps the second
// derivatives at the samples, in units of one step, with the samples' length
// and first index. It does not own the samples: the caller passes them to
// every evaluation.
template <class V>
class spline_dx_3 {
 public:
  using value_type = typename V::value_type;

  // Slopes (per step) above this value mean a free end (second derivative 0).
  static constexpr double free_end_limit = 9.9e29;
  // The value used for a free end.
  static constexpr double free_end = 1e31;

  // Stores x0 and dx and computes y2 from the samples y (slopes per step).
  void set_up(double first_x, double step, const V& y, double yp1, double ypn);

  // Locates x (keeping the weights and the interval) and returns the value.
  // Outside the samples the first or last cubic piece is extrapolated.
  double evaluate(const V& y, double x);

  // The other spline's value at the point located by this one's last
  // evaluation, with the same weights. Both splines must share x0, dx and the
  // number of samples.
  double companion(const spline_dx_3& other, const V& other_y) const;

  int count() const { return n_; }

  double x0 = 0.0;
  double dx = 1.0;
  V y2;
  int base = 0;
  double wa = 1.0, wb = 0.0, wc = 0.0, wd = 0.0;
  int lo = 0, hi = 0;

 private:
  int n_ = 0;
};

template <class V>
void spline_dx_3<V>::set_up(double first_x, double step, const V& y, double yp1, double ypn) {
  x0 = first_x;
  dx = step;
  n_ = y.count();
  base = y.base();
  lo = hi = base;
  wa = 1.0;
  wb = wc = wd = 0.0;
  if (n_ < 1) {
    y2.free_storage();
    y2.rebase(base);
    return;
  }
  y2.allocate(n_);
  y2.rebase(0);
  // The textbook loops count samples from 1; their sample k is s[k - 1].
  const value_type* s = y.data();
  value_type* d2 = y2.data();
  if (n_ == 1) {
    d2[0] = 0;
    y2.rebase(base);
    return;
  }
  std::vector<value_type> u(static_cast<std::size_t>(n_ - 1));
  if (yp1 > free_end_limit) {
    d2[0] = 0;
    u[0] = 0;
  } else {
    d2[0] = static_cast<value_type>(-0.5);
    u[0] = static_cast<value_type>(3.0 * ((static_cast<double>(s[1]) - s[0]) - yp1));
  }
  for (int i = 1; i < n_ - 1; ++i) {
    const double p = 0.5 * d2[i - 1] + 2.0;
    d2[i] = static_cast<value_type>(-0.5 / p);
    u[static_cast<std::size_t>(i)] = static_cast<value_type>(
        (3.0 * (static_cast<double>(s[i + 1]) - 2.0 * s[i] + s[i - 1]) - 0.5 * u[static_cast<std::size_t>(i - 1)]) / p);
  }
  double qn = 0.0;
  double un = 0.0;
  if (!(ypn > free_end_limit)) {
    qn = 0.5;
    un = 3.0 * (ypn - (static_cast<double>(s[n_ - 1]) - s[n_ - 2]));
  }
  d2[n_ - 1] = static_cast<value_type>((un - qn * u[static_cast<std::size_t>(n_ - 2)]) / (qn * d2[n_ - 2] + 1.0));
  for (int k = n_ - 2; k >= 0; --k)
    d2[k] = static_cast<value_type>(static_cast<double>(d2[k]) * d2[k + 1] + u[static_cast<std::size_t>(k)]);
  y2.rebase(base);
}

template <class V>
double spline_dx_3<V>::evaluate(const V& y, double x) {
  if (n_ < 1) return 0.0;
  if (n_ == 1) {
    lo = hi = base;
    wa = 1.0;
    wb = wc = wd = 0.0;
    return y.data()[0];
  }
  const double t = (x - x0) / dx;
  // k = floor(t) clamped to 0 .. n-2 (clamped before the conversion, so that
  // huge or undefined t stay defined).
  int k = 0;
  const double last = n_ - 2;
  if (t >= last)
    k = n_ - 2;
  else if (t >= 0.0)
    k = static_cast<int>(std::floor(t));
  wb = t - k;
  wa = 1.0 - wb;
  wc = (wa * wa * wa - wa) / 6.0;
  wd = (wb * wb * wb - wb) / 6.0;
  lo = k + base;
  hi = lo + 1;
  return companion(*this, y);
}

template <class V>
double spline_dx_3<V>::companion(const spline_dx_3& other, const V& other_y) const {
  if (other.n_ < 1) return 0.0;
  // The located interval, as offsets from this spline's first index.
  const int off_lo = lo - base;
  const int off_hi = hi - base;
  if (off_hi >= other.n_ || off_lo < 0) return 0.0;
  const value_type* s = other_y.data();
  const value_type* d2 = other.y2.data();
  return wa * s[off_lo] + wb * s[off_hi] + wc * d2[off_lo] + wd * d2[off_hi];
}
