#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
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

  // The elimination's pivots of a spline with both ends free depend on the
  // number of samples alone: kept, two splines over as many samples (the
  // real and imaginary parts of one transform, set up again for every
  // realisation of its noise) skip them, and run their two eliminations
  // side by side.
  struct free_pivots {
    int n = -1;
    std::vector<double> p;          // the divisor of row i
    std::vector<value_type> d2;     // the second derivative's factor of row i, as set_up rounds it
    std::vector<value_type> ua, ub; // the two eliminations' right-hand sides, kept for their storage
    void prepare(int count);
  };

  // As set_up(first_x, step, ya, free_end, free_end) on `a` and the same
  // with yb on `b`, bit for bit; ya and yb hold as many samples.
  static void set_up_free_pair(double first_x, double step, spline_dx_3& a, const V& ya, spline_dx_3& b,
                               const V& yb, free_pivots& pivots);

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
void spline_dx_3<V>::free_pivots::prepare(int count) {
  if (count == n) return;
  n = count;
  p.assign(static_cast<std::size_t>(std::max(count, 1)), 0.0);
  d2.assign(p.size(), 0);
  // The same operations as set_up's free start, row by row.
  for (int i = 1; i < count - 1; ++i) {
    p[static_cast<std::size_t>(i)] = 0.5 * d2[static_cast<std::size_t>(i - 1)] + 2.0;
    d2[static_cast<std::size_t>(i)] = static_cast<value_type>(-0.5 / p[static_cast<std::size_t>(i)]);
  }
}

template <class V>
void spline_dx_3<V>::set_up_free_pair(double first_x, double step, spline_dx_3& a, const V& ya, spline_dx_3& b,
                                      const V& yb, free_pivots& pivots) {
  const int n = ya.count();
  if (n < 3 || yb.count() != n) {
    a.set_up(first_x, step, ya, free_end, free_end);
    b.set_up(first_x, step, yb, free_end, free_end);
    return;
  }
  pivots.prepare(n);
  for (spline_dx_3* s : {&a, &b}) {
    s->x0 = first_x;
    s->dx = step;
    s->n_ = n;
    s->lo = s->hi = s->base = (s == &a ? ya : yb).base();
    s->wa = 1.0;
    s->wb = s->wc = s->wd = 0.0;
    // Every value is written below: storage of the right length is kept.
    if (s->y2.count() != n || s->y2.storage_borrowed()) s->y2.allocate(n);
    s->y2.rebase(0);
  }
  const value_type* sa = ya.data();
  const value_type* sb = yb.data();
  value_type* da = a.y2.data();
  value_type* db = b.y2.data();
  std::vector<value_type>& ua = pivots.ua;
  std::vector<value_type>& ub = pivots.ub;
  ua.resize(static_cast<std::size_t>(n - 1));
  ub.resize(ua.size());
  da[0] = db[0] = 0;
  ua[0] = ub[0] = 0;
  for (int i = 1; i < n - 1; ++i) {
    const std::size_t k = static_cast<std::size_t>(i);
    const double p = pivots.p[k];
    da[i] = db[i] = pivots.d2[k];
    ua[k] = static_cast<value_type>(
        (3.0 * (static_cast<double>(sa[i + 1]) - 2.0 * sa[i] + sa[i - 1]) - 0.5 * ua[k - 1]) / p);
    ub[k] = static_cast<value_type>(
        (3.0 * (static_cast<double>(sb[i + 1]) - 2.0 * sb[i] + sb[i - 1]) - 0.5 * ub[k - 1]) / p);
  }
  const double qn = 0.0, un = 0.0;
  da[n - 1] = static_cast<value_type>((un - qn * ua[static_cast<std::size_t>(n - 2)]) / (qn * da[n - 2] + 1.0));
  db[n - 1] = static_cast<value_type>((un - qn * ub[static_cast<std::size_t>(n - 2)]) / (qn * db[n - 2] + 1.0));
  for (int k = n - 2; k >= 0; --k) {
    da[k] = static_cast<value_type>(static_cast<double>(da[k]) * da[k + 1] + ua[static_cast<std::size_t>(k)]);
    db[k] = static_cast<value_type>(static_cast<double>(db[k]) * db[k + 1] + ub[static_cast<std::size_t>(k)]);
  }
  a.y2.rebase(a.base);
  b.y2.rebase(b.base);
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
