#include "numerics/fit_9.h"

namespace {

// Shows the fit's 0-based containers to the solver as 1-based for as long as
// it lives (also when the solver throws).
class one_based_view {
 public:
  explicit one_based_view(fit_9& f) : f_(f) { rebase_all(1); }
  ~one_based_view() { rebase_all(0); }
  one_based_view(const one_based_view&) = delete;
  one_based_view& operator=(const one_based_view&) = delete;

 private:
  static void rebase_matrix(matrix_double& m, int b) {
    for (int r = 0; r < m.count(); ++r) m.data()[r].rebase(b);
    m.rebase(b);
  }
  void rebase_all(int b) {
    rebase_matrix(f_.A, b);
    rebase_matrix(f_.V, b);
    f_.b.rebase(b);
    f_.w.rebase(b);
    f_.x.rebase(b);
  }
  fit_9& f_;
};

void zero_vector(double_vec& v, int size) {
  v.allocate(size);
  v.rebase(0);
  if (size > 0) v.fill(0.0);
}

void zero_matrix(matrix_double& m, int size) {
  m.allocate(size);
  m.rebase(0);
  for (int r = 0; r < size; ++r) zero_vector(m[r], size);
}

}  // namespace

void fit_9::copy_from(assoc_class& source) {
  if (auto* other = dynamic_cast<fit_9*>(&source); other && other != this) {
    n = other->n;
    A = other->A;
    V = other->V;
    b = other->b;
    w = other->w;
    x = other->x;
  }
  assoc_class::copy_from(source);
}

void fit_9::set_size(int size) {
  n = size > 0 ? size : 0;
  zero_matrix(A, n);
  zero_matrix(V, n);
  zero_vector(b, n);
  zero_vector(w, n);
  zero_vector(x, n);
}

void fit_9::accumulate(const double_vec& y, const design_list& design) {
  const int functions = design.count() < n ? design.count() : n;
  const double* yv = y.data();
  for (int k = 0; k < functions; ++k) {
    const double_vec& dk = design[design.base() + k];
    const double* d = dk.data();
    const int points_k = y.count() < dk.count() ? y.count() : dk.count();
    double sum = 0.0;
    for (int i = 0; i < points_k; ++i) sum += yv[i] * d[i];
    b[k] += sum;
    for (int l = k; l < functions; ++l) {
      const double_vec& dl = design[design.base() + l];
      const double* e = dl.data();
      const int points = dk.count() < dl.count() ? dk.count() : dl.count();
      double s = 0.0;
      for (int i = 0; i < points; ++i) s += d[i] * e[i];
      A[k][l] = s;
      A[l][k] = s;
    }
  }
}

void fit_9::solve() {
  if (n == 0) return;
  one_based_view view(*this);
  svd_decompose(A, n, n, w, V);
  double wmax = 0.0;
  for (int j = 1; j <= n; ++j)
    if (w[j] > wmax) wmax = w[j];
  const double threshold = wmax * singular_fraction;
  for (int j = 1; j <= n; ++j)
    if (w[j] < threshold) w[j] = 0.0;
  svd_back_substitute(A, w, V, n, n, b, x);
}

void fit_9::fit(const double_vec& y, const design_list& design) {
  set_size(design.count());
  accumulate(y, design);
  solve();
}
