#include "xrd/pattern/voigt_breadths.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <string>

namespace {

constexpr double pi = 3.14159265358979323846;

// exp(k²) erfc(k) for k ≥ 0; past k = 10 erfc underflows long before the
// product does, and the asymptotic series (Abramowitz & Stegun 7.1.23) is
// exact to double precision there.
double scaled_erfc(double k) {
  if (k < 10.0) return std::exp(k * k) * std::erfc(k);
  const double x = 1.0 / (2.0 * k * k);
  return 1.0 / (k * std::sqrt(pi)) * (1.0 - x + 3.0 * x * x - 15.0 * x * x * x + 105.0 * x * x * x * x);
}

// The figures, bounds and reasons from the fit, each uncertainty widened by
// an independent one from outside the fit.
void judge_breadths(voigt_breadths& r, double lorentz_extra_u, double gauss_squared_extra_u) {
  const auto& c = r.fit.coefficients;
  const auto& cov = r.fit.covariance;

  const double lorentz = -c[1] / 2.0;
  const double lorentz_u = std::hypot(r.fit.u(1) / 2.0, lorentz_extra_u);
  r.lorentz_value_per_A = lorentz;
  r.lorentz_u = lorentz_u;
  if (lorentz > 2.0 * lorentz_u)
    r.lorentz_per_A = uncertain_value::figure(lorentz, lorentz_u);
  else if (lorentz + 2.0 * lorentz_u > 0.0)
    r.lorentz_per_A = uncertain_value::bounded('<', lorentz + 2.0 * lorentz_u);
  else
    r.lorentz_per_A = uncertain_value::none("ln A(L) rises with L");

  r.gauss_squared_per_A2 = -c[2] / pi;
  r.gauss_squared_u = std::hypot(r.fit.u(2) / pi, gauss_squared_extra_u);
  const double g2 = r.gauss_squared_per_A2, g2_u = r.gauss_squared_u;
  if (g2 > 2.0 * g2_u) {
    const double gauss = std::sqrt(g2);
    r.gauss_per_A = uncertain_value::figure(gauss, g2_u / (2.0 * gauss));
  } else if (g2 + 2.0 * g2_u > 0.0) {
    r.gauss_per_A = uncertain_value::bounded('<', std::sqrt(g2 + 2.0 * g2_u));
  } else {
    r.gauss_per_A = uncertain_value::none("ln A(L) bends upward");
  }

  const double bl = std::max(lorentz, 0.0), g = std::max(g2, 0.0);
  if (bl == 0.0 && g == 0.0) {
    r.integral_per_A = uncertain_value::none("A(L) does not fall");
    return;
  }
  const double beta = voigt_integral_breadth(bl, std::sqrt(g));
  // ∂β/∂β_L and ∂β/∂β_G² by forward differences (forward, since 0 may be an end).
  const double hl = 1e-6 * std::max(bl, std::sqrt(g)), hg = 1e-6 * std::max(g, bl * bl);
  const double dl = (voigt_integral_breadth(bl + hl, std::sqrt(g)) - beta) / hl;
  const double dg = (voigt_integral_breadth(bl, std::sqrt(g + hg)) - beta) / hg;
  // β_L = −c1/2 and β_G² = −c2/π: the gradient in the fit's coefficients.
  const std::array<double, 2> grad{-dl / 2.0, -dg / pi};
  const double var = grad[0] * grad[0] * cov[1][1] + 2.0 * grad[0] * grad[1] * cov[1][2] + grad[1] * grad[1] * cov[2][2] +
                     dl * dl * lorentz_extra_u * lorentz_extra_u + dg * dg * gauss_squared_extra_u * gauss_squared_extra_u;
  const double beta_u = std::sqrt(std::max(var, 0.0));
  r.integral_per_A =
      beta > 2.0 * beta_u ? uncertain_value::figure(beta, beta_u) : uncertain_value::bounded('<', beta + 2.0 * beta_u);
}

}  // namespace


double voigt_integral_breadth(double lorentz, double gauss) {
  if (!(lorentz >= 0.0) || !(gauss >= 0.0)) return std::numeric_limits<double>::quiet_NaN();
  if (gauss == 0.0) return lorentz;
  // Langford 1978 (J. Appl. Cryst. 11, 10): β = β_G exp(−k²) / (1 − erf k), k = β_L / (√π β_G).
  const double k = lorentz / (std::sqrt(pi) * gauss);
  return gauss / scaled_erfc(k);
}

voigt_breadths voigt_breadths_from(const std::vector<double>& L_A, const std::vector<double>& A,
                                   const std::vector<double>& sigma_A, double L_from_A, double resolved_sigmas) {
  voigt_breadths r;
  if (L_A.size() != A.size() || sigma_A.size() != A.size()) {
    r.refused = "L, A(L) and its uncertainty differ in length";
    return r;
  }
  std::vector<double> ones, L, L2, lnA, sigma_lnA;
  for (std::size_t i = 0; i < A.size(); ++i) {
    if (!(L_A[i] >= L_from_A)) continue;
    if (!(sigma_A[i] > 0.0) || !std::isfinite(sigma_A[i])) continue;
    if (!(A[i] > resolved_sigmas * sigma_A[i])) break;
    ones.push_back(1.0);
    L.push_back(L_A[i]);
    L2.push_back(L_A[i] * L_A[i]);
    lnA.push_back(std::log(A[i]));
    sigma_lnA.push_back(sigma_A[i] / A[i]);  // σ(ln A) = σ_A / A to first order
  }
  r.points = static_cast<int>(L.size());
  if (L.size() < 4) {
    r.refused = "fewer than 4 points of A(L) above " + std::to_string(static_cast<int>(resolved_sigmas)) +
                " times its uncertainty from L = " + std::to_string(static_cast<int>(L_from_A)) + " A on";
    return r;
  }
  r.L_from_A = L.front();
  r.L_to_A = L.back();
  r.fit = weighted_least_squares({ones, L, L2}, lnA, sigma_lnA);
  if (!r.fit.solved) {
    r.refused = "the fit of ln A(L) against L and L^2 has no unique solution";
    return r;
  }
  judge_breadths(r, 0.0, 0.0);
  return r;
}

void widen_breadth_uncertainties(voigt_breadths& v, double lorentz_extra_u, double gauss_squared_extra_u) {
  if (!v.refused.empty() || !v.fit.solved) return;
  judge_breadths(v, std::isfinite(lorentz_extra_u) ? lorentz_extra_u : 0.0,
                 std::isfinite(gauss_squared_extra_u) ? gauss_squared_extra_u : 0.0);
}
