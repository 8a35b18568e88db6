#include "numerics/svd.h"

#include <cmath>
#include <vector>

#include "core/numeric_abort.h"

namespace {

// |a| with the sign of b.
double with_sign(double a, double b) { return b >= 0.0 ? std::fabs(a) : -std::fabs(a); }

// True when x is negligible next to anorm.
bool negligible(double x, double anorm) { return std::fabs(x) + anorm == anorm; }

}  // namespace

double hypotenuse(double a, double b) {
  const double absa = std::fabs(a);
  const double absb = std::fabs(b);
  if (absa > absb) {
    const double r = absb / absa;
    return absa * std::sqrt(1.0 + r * r);
  }
  if (absb == 0.0) return 0.0;
  const double r = absa / absb;
  return absb * std::sqrt(1.0 + r * r);
}

void svd_decompose(matrix_double& a, int m, int n, double_vec& w, matrix_double& v) {
  if (m < 1 || n < 1) return;
  // rv1[1 .. n]: the superdiagonal of the bidiagonal form.
  std::vector<double> rv1(static_cast<std::size_t>(n) + 1, 0.0);
  double g = 0.0;
  double scale = 0.0;
  double anorm = 0.0;
  int l = 1;

  // Householder reduction to bidiagonal form.
  for (int i = 1; i <= n; ++i) {
    l = i + 1;
    rv1[static_cast<std::size_t>(i)] = scale * g;
    g = 0.0;
    double s = 0.0;
    scale = 0.0;
    if (i <= m) {
      for (int k = i; k <= m; ++k) scale += std::fabs(a[k][i]);
      if (scale != 0.0) {
        for (int k = i; k <= m; ++k) {
          a[k][i] /= scale;
          s += a[k][i] * a[k][i];
        }
        const double f = a[i][i];
        g = -with_sign(std::sqrt(s), f);
        const double h = f * g - s;
        a[i][i] = f - g;
        for (int j = l; j <= n; ++j) {
          s = 0.0;
          for (int k = i; k <= m; ++k) s += a[k][i] * a[k][j];
          const double ff = s / h;
          for (int k = i; k <= m; ++k) a[k][j] += ff * a[k][i];
        }
        for (int k = i; k <= m; ++k) a[k][i] *= scale;
      }
    }
    w[i] = scale * g;
    g = 0.0;
    s = 0.0;
    scale = 0.0;
    if (i <= m && i != n) {
      for (int k = l; k <= n; ++k) scale += std::fabs(a[i][k]);
      if (scale != 0.0) {
        for (int k = l; k <= n; ++k) {
          a[i][k] /= scale;
          s += a[i][k] * a[i][k];
        }
        const double f = a[i][l];
        g = -with_sign(std::sqrt(s), f);
        const double h = f * g - s;
        a[i][l] = f - g;
        for (int k = l; k <= n; ++k) rv1[static_cast<std::size_t>(k)] = a[i][k] / h;
        for (int j = l; j <= m; ++j) {
          s = 0.0;
          for (int k = l; k <= n; ++k) s += a[j][k] * a[i][k];
          for (int k = l; k <= n; ++k) a[j][k] += s * rv1[static_cast<std::size_t>(k)];
        }
        for (int k = l; k <= n; ++k) a[i][k] *= scale;
      }
    }
    const double t = std::fabs(w[i]) + std::fabs(rv1[static_cast<std::size_t>(i)]);
    if (t > anorm) anorm = t;
  }

  // Accumulation of the right-hand transformations.
  for (int i = n; i >= 1; --i) {
    if (i < n) {
      if (g != 0.0) {
        // Double division avoids a possible underflow.
        for (int j = l; j <= n; ++j) v[j][i] = (a[i][j] / a[i][l]) / g;
        for (int j = l; j <= n; ++j) {
          double s = 0.0;
          for (int k = l; k <= n; ++k) s += a[i][k] * v[k][j];
          for (int k = l; k <= n; ++k) v[k][j] += s * v[k][i];
        }
      }
      for (int j = l; j <= n; ++j) v[i][j] = v[j][i] = 0.0;
    }
    v[i][i] = 1.0;
    g = rv1[static_cast<std::size_t>(i)];
    l = i;
  }

  // Accumulation of the left-hand transformations.
  for (int i = m < n ? m : n; i >= 1; --i) {
    l = i + 1;
    g = w[i];
    for (int j = l; j <= n; ++j) a[i][j] = 0.0;
    if (g != 0.0) {
      g = 1.0 / g;
      for (int j = l; j <= n; ++j) {
        double s = 0.0;
        for (int k = l; k <= m; ++k) s += a[k][i] * a[k][j];
        const double f = (s / a[i][i]) * g;
        for (int k = i; k <= m; ++k) a[k][j] += f * a[k][i];
      }
      for (int j = i; j <= m; ++j) a[j][i] *= g;
    } else {
      for (int j = i; j <= m; ++j) a[j][i] = 0.0;
    }
    a[i][i] += 1.0;
  }

  // Diagonalisation of the bidiagonal form.
  for (int k = n; k >= 1; --k) {
    for (int its = 1; its <= 30; ++its) {
      // Splitting test. rv1[1] is 0 by construction, so l = 1 always
      // splits; it is taken as such without looking at w[0], which does not
      // exist (the test on it could only be reached with an undefined anorm).
      bool cancel = true;
      int nm = 0;
      for (l = k; l >= 1; --l) {
        nm = l - 1;
        if (l == 1 || negligible(rv1[static_cast<std::size_t>(l)], anorm)) {
          cancel = false;
          break;
        }
        if (negligible(w[nm], anorm)) break;
      }
      if (cancel) {
        // Cancellation of rv1[l].
        double c = 0.0;
        double s = 1.0;
        for (int i = l; i <= k; ++i) {
          const double f = s * rv1[static_cast<std::size_t>(i)];
          rv1[static_cast<std::size_t>(i)] = c * rv1[static_cast<std::size_t>(i)];
          if (negligible(f, anorm)) break;
          g = w[i];
          double h = hypotenuse(f, g);
          w[i] = h;
          h = 1.0 / h;
          c = g * h;
          s = -f * h;
          for (int j = 1; j <= m; ++j) {
            const double y = a[j][nm];
            const double z = a[j][i];
            a[j][nm] = y * c + z * s;
            a[j][i] = z * c - y * s;
          }
        }
      }
      double z = w[k];
      // Convergence.
      if (l == k) {
        if (z < 0.0) {
          w[k] = -z;
          for (int j = 1; j <= n; ++j) v[j][k] = -v[j][k];
        }
        break;
      }
      // No convergence in 30 iterations.
      if (its == 30) {
        throw numeric_abort(svd_no_convergence_message);
      }
      // Shift from the bottom 2 x 2 minor, then one implicit QR sweep.
      double x = w[l];
      nm = k - 1;
      double y = w[nm];
      g = rv1[static_cast<std::size_t>(nm)];
      double h = rv1[static_cast<std::size_t>(k)];
      double f = ((y - z) * (y + z) + (g - h) * (g + h)) / (2.0 * h * y);
      g = hypotenuse(f, 1.0);
      f = ((x - z) * (x + z) + h * ((y / (f + with_sign(g, f))) - h)) / x;
      double c = 1.0;
      double s = 1.0;
      for (int j = l; j <= nm; ++j) {
        const int i = j + 1;
        g = rv1[static_cast<std::size_t>(i)];
        y = w[i];
        h = s * g;
        g = c * g;
        z = hypotenuse(f, h);
        rv1[static_cast<std::size_t>(j)] = z;
        c = f / z;
        s = h / z;
        f = x * c + g * s;
        g = g * c - x * s;
        h = y * s;
        y *= c;
        for (int jj = 1; jj <= n; ++jj) {
          x = v[jj][j];
          z = v[jj][i];
          v[jj][j] = x * c + z * s;
          v[jj][i] = z * c - x * s;
        }
        z = hypotenuse(f, h);
        w[j] = z;
        if (z != 0.0) {
          z = 1.0 / z;
          c = f * z;
          s = h * z;
        }
        f = c * g + s * y;
        x = c * y - s * g;
        for (int jj = 1; jj <= m; ++jj) {
          y = a[jj][j];
          z = a[jj][i];
          a[jj][j] = y * c + z * s;
          a[jj][i] = z * c - y * s;
        }
      }
      rv1[static_cast<std::size_t>(l)] = 0.0;
      rv1[static_cast<std::size_t>(k)] = f;
      w[k] = x;
    }
  }
}

void svd_back_substitute(const matrix_double& u, const double_vec& w, const matrix_double& v, int m, int n,
                         const double_vec& b, double_vec& x) {
  if (n < 1) return;
  std::vector<double> tmp(static_cast<std::size_t>(n) + 1, 0.0);
  for (int j = 1; j <= n; ++j) {
    double s = 0.0;
    if (w[j] != 0.0) {
      for (int i = 1; i <= m; ++i) s += u[i][j] * b[i];
      s /= w[j];
    }
    tmp[static_cast<std::size_t>(j)] = s;
  }
  for (int j = 1; j <= n; ++j) {
    double s = 0.0;
    for (int jj = 1; jj <= n; ++jj) s += v[j][jj] * tmp[static_cast<std::size_t>(jj)];
    x[j] = s;
  }
}
