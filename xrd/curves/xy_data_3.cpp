#include "xrd/curves/xy_data_3.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>

#include "core/numeric_abort.h"
#include "core/text_helpers.h"

namespace {

// Largest curve the convolution arrays are sized for.
constexpr long long max_extended_points = 10000;
// Narrowest span set_ends lets a curve shrink to.
constexpr double min_span = 1e-5;
// Below this a segment counts as vertical or flat in the hit test.
constexpr double flat_limit = 1e-11;

// Smallest and largest finite value of v over [i1, i2]; false when there is
// none (a NaN read from a file must not poison the extents).
bool finite_extent(const float_vec& v, int i1, int i2, double& lo, double& hi) {
  bool any = false;
  for (int i = i1; i <= i2; ++i) {
    const double y = v[i];
    if (!std::isfinite(y)) continue;
    if (!any || y < lo) lo = y;
    if (!any || y > hi) hi = y;
    any = true;
  }
  return any;
}

int top_index(const float_vec& v) { return v.base() + v.count() - 1; }

// Segment test of the hit test: (px, py) against the segment a-b with the
// distance limit r.
bool near_segment(double xa, double ya, double xb, double yb, double px, double py, double r) {
  const double ylo = std::min(ya, yb);
  const double yhi = std::max(ya, yb);
  if (!(ylo - py < r && py - yhi < r)) return false;
  const double dx = xb - xa;
  if (std::fabs(dx) >= flat_limit) {
    const double m = (yb - ya) / dx;
    if (std::fabs(m) >= flat_limit) {
      // Distance from the point to its perpendicular foot on the line.
      const double d = std::fabs(m * (px - xa) - (py - ya)) / std::sqrt(1.0 + m * m);
      return d < r;
    }
  }
  return std::fabs(ylo - py) < r || std::fabs(py - yhi) < r;
}

}  // namespace

// ---------------------------------------------------------------- xy_data_3

xy_data_3::xy_data_3() = default;

const char* xy_data_3::class_name() const { return "xy_data"; }

std::unique_ptr<assoc_class> xy_data_3::clone_empty() const { return clone_like(*this); }

void xy_data_3::copy_data_from(const xy_data_3& other) {
  x1 = other.x1;
  x2 = other.x2;
  n = other.n;
  xd = other.xd;
  y = other.y;
  options = other.options;
  left_x = other.left_x;
  right_x = other.right_x;
  min_y = other.min_y;
  max_y = other.max_y;
}

void xy_data_3::copy_from(assoc_class& source) {
  if (&source == this) return;
  // The data first: copying the children may run scripts that delete the
  // source.
  if (auto* other = dynamic_cast<xy_data_3*>(&source)) copy_data_from(*other);
  assoc_class::copy_from(source);
}

assoc_class* xy_data_3::set_text(const char* text) {
  if (text && std::strcmp(text, "free") == 0) {
    y.free_storage();
    y.rebase(0);
    profile_changed();
  }
  return this;
}

float_vec* xy_data_3::explicit_abscissa() {
  if (!has_explicit_x()) return nullptr;
  assoc_class* node = xobs_.peek();
  if (!node) {
    // Its own child first; a relative only through the template.
    if ((node = find_child("xPobs")))
      xobs_.set(*this, node);
    else
      node = xobs_.get(*this, false);
  }
  auto* xo = dynamic_cast<xobs_3*>(node);
  return xo ? &xo->x : nullptr;
}

float_vec* xy_data_3::usable_explicit_abscissa() {
  float_vec* xv = explicit_abscissa();
  // An abscissa that does not cover the ordinates cannot be indexed with
  // their indices; the stepped one stands in.
  if (!xv || xv->count() != y.count() || xv->base() != y.base() || y.count() == 0) return nullptr;
  return xv;
}

double xy_data_3::x_of(int i) {
  if (float_vec* xv = usable_explicit_abscissa()) {
    const int c = clamp(i, xv->base(), top_index(*xv));
    return (*xv)[c];
  }
  // In double: an index far outside the vector must not overflow an int.
  return (static_cast<double>(i) - y.base()) * xd + x1;
}

int xy_data_3::index_of(double x) {
  if (y.count() == 0) return y.base();
  const int first = y.base();
  const int last = top_index(y);
  if (float_vec* xv = usable_explicit_abscissa()) {
    if (!(x > (*xv)[first])) return first;
    if (!(x < (*xv)[last])) return last;
    // The first point at or beyond x; its left neighbour brackets x with it.
    int lo = first, hi = last;
    while (hi - lo > 1) {
      const int mid = lo + (hi - lo) / 2;
      if ((*xv)[mid] < x)
        lo = mid;
      else
        hi = mid;
    }
    return (x - (*xv)[lo] < (*xv)[hi] - x) ? lo : hi;
  }
  int k = 0;
  if (xd != 0.0) k = nearest((x - x1) / xd);
  k = clamp(k, 0, std::max(n - 1, 0));
  // Adding the base to a saturated count must not overflow.
  const long long i = static_cast<long long>(k) + first;
  return static_cast<int>(std::clamp<long long>(i, first, last));
}

int xy_data_3::index_range(double a, double b, int& i1, int& i2) {
  i1 = y.base();
  i2 = y.base() - 1;
  if (y.count() == 0) return 0;
  if (a > b) std::swap(a, b);
  const double lo_end = std::min(x_of(y.base()), x_of(top_index(y)));
  const double hi_end = std::max(x_of(y.base()), x_of(top_index(y)));
  double lo = 0.0, hi = 0.0;
  if (!overlap(a, b, lo_end, hi_end, lo, hi)) return 0;
  i1 = index_of(lo);
  i2 = index_of(hi);
  if (i2 < i1) std::swap(i1, i2);
  return i2 - i1 + 1;
}

int xy_data_3::index_range_widened(double a, double b, int& i1, int& i2) {
  if (index_range(a, b, i1, i2) == 0) return 0;
  i1 = std::max(i1 - 1, y.base());
  i2 = std::min(i2 + 1, top_index(y));
  return i2 - i1 + 1;
}

void xy_data_3::profile_changed() {
  if (y.count() == 0) {
    left_x = x1;
    right_x = x2;
    min_y = max_y = 0.0;
    return;
  }
  left_x = x_of(y.base());
  right_x = x_of(top_index(y));
  if (!finite_extent(y, y.base(), top_index(y), min_y, max_y)) min_y = max_y = 0.0;
}

bool xy_data_3::crop(int i1, int i2, int min_points) {
  if (i2 < i1) std::swap(i1, i2);
  if (y.count() == 0 || i1 < y.base() || i2 > top_index(y)) return false;
  const long long kept = static_cast<long long>(i2) - i1 + 1;
  if (kept <= min_points) return false;
  const int count = static_cast<int>(kept);
  const double first_x = x_of(i1);
  const double last_x = x_of(i2);

  // The explicit abscissa is cut with the same indices, so it goes first,
  // while it still matches the ordinates.
  if (float_vec* xv = usable_explicit_abscissa()) {
    float_vec xs(count);
    for (int i = 0; i < count; ++i) xs[i] = (*xv)[i1 + i];
    *xv = xs;
    xv->rebase(0);
  }
  float_vec fresh(count);
  for (int i = 0; i < count; ++i) fresh[i] = y[i1 + i];
  y = fresh;
  y.rebase(0);
  x1 = first_x;
  n = count;
  // An explicit abscissa's ends are its own values, not a multiple of a step.
  x2 = has_explicit_x() ? last_x : x1 + (n - 1) * xd;
  profile_changed();
  return true;
}

bool xy_data_3::crop_x(double a, double b, int min_points) {
  int i1 = 0, i2 = 0;
  if (index_range(a, b, i1, i2) == 0) return false;
  return crop(i1, i2, min_points);
}

void xy_data_3::extend(int left, int right) {
  left = std::max(left, 0);
  right = std::max(right, 0);
  const long long total = static_cast<long long>(n) + left + right;
  if (total > max_extended_points) {
    throw numeric_abort("Internal refiment warning :\nConvolution array (Npts = " + std::to_string(total) +
                        ") too large.\nRefinement will terminate.");
  }
  const int count = static_cast<int>(total);
  float_vec fresh(std::max(count, 0));
  const int old = std::min(std::max(n, 0), y.count());
  for (int i = 0; i < old; ++i) fresh[left + i] = y[y.base() + i];
  if (float_vec* xv = usable_explicit_abscissa()) {
    float_vec xs(count);
    const int base = xv->base();
    for (int i = 0; i < count; ++i) {
      const int k = i - left;
      if (k < 0)
        xs[i] = static_cast<float>((*xv)[base] + k * xd);
      else if (k >= xv->count())
        xs[i] = static_cast<float>((*xv)[top_index(*xv)] + (k - xv->count() + 1) * xd);
      else
        xs[i] = (*xv)[base + k];
    }
    *xv = xs;
    xv->rebase(0);
  }
  y = fresh;
  y.rebase(0);
  x1 -= left * xd;
  x2 += right * xd;
  n = count;
  profile_changed();
}

void xy_data_3::set_ends(double first, double last) {
  if (first > last) std::swap(first, last);
  if (last - first < min_span) last = first + min_span;
  x1 = first;
  x2 = last;
  recompute_step();
  profile_changed();
}

void xy_data_3::shift_ends(double d1, double d2) {
  set_ends(x1 + d1, x2 + d2);
  if (float_vec* xv = explicit_abscissa(); xv && xv->count() > 0) {
    const int first = xv->base();
    const int last = top_index(*xv);
    const double from = (*xv)[first];
    const double span = (*xv)[last] - from;
    for (int i = first; i <= last; ++i) {
      const double f = span != 0.0 ? ((*xv)[i] - from) / span : 0.0;
      (*xv)[i] = static_cast<float>(x1 + f * (x2 - x1));
    }
    profile_changed();
  }
}

void xy_data_3::y_range(double xl, double xr, int bits, double& lo, double& hi) {
  if (y.count() == 0) return;
  int i1 = 0, i2 = 0;
  if (index_range(xl, xr, i1, i2) == 0) return;
  double ylo = min_y, yhi = max_y;
  if (i1 != y.base() || i2 != top_index(y)) {
    if (!finite_extent(y, i1, i2, ylo, yhi)) return;
  }
  if ((bits & 0x1) && ylo < lo) lo = ylo;
  if ((bits & 0x2) && yhi > hi) hi = yhi;
}

void xy_data_3::x_range(int bits, double& lo, double& hi) const {
  const double l = std::min(left_x, right_x);
  const double r = std::max(left_x, right_x);
  if ((bits & 0x1) && l < lo) lo = l;
  if ((bits & 0x2) && r > hi) hi = r;
}

double xy_data_3::area() const {
  const int c = y.count();
  if (c == 0) return 0.0;
  const int first = y.base();
  const int last = first + c - 1;
  double inner = 0.0;
  for (int i = first + 1; i < last; ++i) inner += y[i];
  return (inner + (static_cast<double>(y[first]) + y[last]) / 2.0) * xd;
}

bool xy_data_3::hit(double px, double py, double tx, double ty) {
  if (y.count() < 2) return false;
  int i1 = 0, i2 = 0;
  double w = tx;
  if (usable_explicit_abscissa()) {
    if (index_range_widened(px - w, px + w, i1, i2) == 0) return false;
  } else {
    w = std::max(tx, 2.0 * xd);
    if (index_range(px - w, px + w, i1, i2) == 0) return false;
  }
  const double r = std::sqrt(ty * ty + w * w);
  for (int i = i1; i < i2; ++i)
    if (near_segment(x_of(i), y[i], x_of(i + 1), y[i + 1], px, py, r)) return true;
  return false;
}

// ------------------------------------------------------------ xy_data_for_3

assoc_class* xy_data_for_3::set_text(const char* text) {
  if (text && std::strcmp(text, "1") == 0) {
    dirty = true;
    return this;
  }
  return xy_data_3::set_text(text);
}

std::unique_ptr<assoc_class> xy_data_for_3::clone_empty() const { return clone_like(*this); }

// ------------------------------------------------------------------- xobs_3

void xobs_3::copy_from(assoc_class& source) {
  if (&source == this) return;
  if (auto* other = dynamic_cast<xobs_3*>(&source)) x = other->x;
  assoc_class::copy_from(source);
}

my_string& xy_data_3::format_value(my_string& text) {
  text.assign(std::to_string(y.count()).c_str());
  return text;
}
