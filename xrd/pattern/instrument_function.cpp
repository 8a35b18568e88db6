#include "xrd/pattern/instrument_function.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>

#include <Eigen/Dense>

#include "xrd/pattern/doublet_fit.h"

namespace {

// Three parameters need three lines, and a fourth to judge the scatter by.
constexpr std::size_t fewest_lines = 3;

// Caglioti, Paoletti & Ricci 1958: FWHM² = U tan²θ + V tanθ + W.
Eigen::Vector3d caglioti_terms(double two_theta_deg) {
  const double t = std::tan(0.5 * two_theta_deg * kalpha::degree);
  return {t * t, t, 1.0};
}

// η(2θ) = η0 + η1 · 2θ.
Eigen::Vector2d eta_terms(double two_theta_deg) { return {1.0, two_theta_deg}; }

// Weighted linear least squares: the parameters and their covariance, the
// latter scaled by the reduced chi-square where it exceeds 1. False when
// the rows do not determine the parameters.
template <int N>
bool weighted_fit(const std::vector<Eigen::Matrix<double, N, 1>>& rows, const std::vector<double>& values,
                  const std::vector<double>& sigmas, Eigen::Matrix<double, N, 1>& parameters,
                  Eigen::Matrix<double, N, N>& covariance, double& reduced_chi_square) {
  Eigen::Matrix<double, N, N> normal = Eigen::Matrix<double, N, N>::Zero();
  Eigen::Matrix<double, N, 1> right = Eigen::Matrix<double, N, 1>::Zero();
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const double w = 1.0 / (sigmas[i] * sigmas[i]);
    normal += w * rows[i] * rows[i].transpose();
    right += w * values[i] * rows[i];
  }
  // Scaled to unit diagonal first: tan²θ and 1 differ by orders of magnitude.
  const Eigen::Matrix<double, N, 1> scale = normal.diagonal().cwiseSqrt().cwiseInverse();
  const Eigen::Matrix<double, N, N> scaled = scale.asDiagonal() * normal * scale.asDiagonal();
  // A determinant this small leaves a parameter undetermined by the rows.
  Eigen::Matrix<double, N, N> scaled_inverse;
  bool invertible = false;
  double determinant = 0.0;
  scaled.computeInverseAndDetWithCheck(scaled_inverse, determinant, invertible, 1e-12);
  if (!invertible) return false;
  const Eigen::Matrix<double, N, N> inverse = scale.asDiagonal() * scaled_inverse * scale.asDiagonal();
  parameters = inverse * right;
  double chi = 0.0;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    const double r = (values[i] - rows[i].dot(parameters)) / sigmas[i];
    chi += r * r;
  }
  const std::size_t freedom = rows.size() > N ? rows.size() - N : 0;
  reduced_chi_square = freedom > 0 ? chi / static_cast<double>(freedom) : 0.0;
  covariance = inverse * std::max(reduced_chi_square, 1.0);
  return parameters.allFinite() && covariance.allFinite();
}

bool same_source(const kalpha_lines& a, const kalpha_lines& b) {
  return a.lambda1_A == b.lambda1_A && a.lambda2_A == b.lambda2_A && a.ratio == b.ratio;
}

}  // namespace

double instrument_function::fwhm_at(double two_theta_deg) const {
  const double square = caglioti_terms(two_theta_deg).dot(Eigen::Vector3d(U, V, W));
  return square > 0.0 ? std::sqrt(square) : std::numeric_limits<double>::quiet_NaN();
}

double instrument_function::u_fwhm_at(double two_theta_deg) const {
  const Eigen::Vector3d g = caglioti_terms(two_theta_deg);
  const Eigen::Map<const Eigen::Matrix<double, 3, 3, Eigen::RowMajor>> c(uvw_covariance.data());
  // u(FWHM) = u(FWHM²) / (2 FWHM).
  return std::sqrt(std::max(g.dot(c * g), 0.0)) / (2.0 * fwhm_at(two_theta_deg));
}

double instrument_function::eta_at(double two_theta_deg) const {
  return std::clamp(eta_terms(two_theta_deg).dot(Eigen::Vector2d(eta0, eta1)), 0.0, 1.0);
}

double instrument_function::u_eta_at(double two_theta_deg) const {
  const double t = two_theta_deg;
  return std::sqrt(std::max(u_eta0 * u_eta0 + 2.0 * t * eta_covariance + t * t * u_eta1 * u_eta1, 0.0));
}

instrument_function fit_instrument(std::span<const doublet_fit> fits, const std::string& standard) {
  instrument_function r;
  r.standard = standard;
  std::vector<const doublet_fit*> used;
  std::string failed;
  for (const doublet_fit& f : fits) {
    if (!f.converged) {
      failed += (failed.empty() ? "" : "; ") + (f.label.empty() ? std::string("a line") : f.label) + ": " + f.why;
      continue;
    }
    if (!(f.u_fwhm > 0.0) || !(f.u_eta > 0.0)) {
      failed += (failed.empty() ? "" : "; ") + f.label + ": its fit gives no uncertainty";
      continue;
    }
    used.push_back(&f);
  }
  if (used.size() < fewest_lines) {
    r.why = "the instrument function needs at least three fitted lines, and " + std::to_string(used.size()) +
            (used.size() == 1 ? " was" : " were") + " fitted" + (failed.empty() ? "" : " (" + failed + ")");
    return r;
  }
  r.source = used.front()->source;
  for (const doublet_fit* f : used) {
    if (!same_source(f->source, r.source)) {
      r.why = "the lines were fitted with different K-alpha wavelengths";
      return r;
    }
  }

  std::vector<Eigen::Vector3d> width_rows;
  std::vector<Eigen::Vector2d> eta_rows;
  std::vector<double> squares, square_sigmas, etas, eta_sigmas;
  for (const doublet_fit* f : used) {
    width_rows.push_back(caglioti_terms(f->two_theta));
    squares.push_back(f->fwhm * f->fwhm);
    square_sigmas.push_back(2.0 * f->fwhm * f->u_fwhm);
    eta_rows.push_back(eta_terms(f->two_theta));
    etas.push_back(f->eta);
    eta_sigmas.push_back(f->u_eta);
  }
  Eigen::Vector3d uvw;
  Eigen::Matrix3d c3;
  if (!weighted_fit<3>(width_rows, squares, square_sigmas, uvw, c3, r.fwhm_chi_square)) {
    r.why = "the lines' angles do not determine U, V and W";
    return r;
  }
  Eigen::Vector2d e;
  Eigen::Matrix2d c2;
  if (!weighted_fit<2>(eta_rows, etas, eta_sigmas, e, c2, r.eta_chi_square)) {
    r.why = "the lines' angles do not determine eta's slope";
    return r;
  }
  r.U = uvw(0);
  r.V = uvw(1);
  r.W = uvw(2);
  r.u_U = std::sqrt(c3(0, 0));
  r.u_V = std::sqrt(c3(1, 1));
  r.u_W = std::sqrt(c3(2, 2));
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r.uvw_covariance[static_cast<std::size_t>(3 * i + j)] = c3(i, j);
  r.eta0 = e(0);
  r.eta1 = e(1);
  r.u_eta0 = std::sqrt(c2(0, 0));
  r.u_eta1 = std::sqrt(c2(1, 1));
  r.eta_covariance = c2(0, 1);
  for (const doublet_fit* f : used) {
    instrument_line l{f->label, f->two_theta, f->fwhm, f->u_fwhm, f->eta, f->u_eta, 0.0, 0.0};
    l.fwhm_residual = f->fwhm - r.fwhm_at(f->two_theta);
    l.eta_residual = f->eta - (r.eta0 + r.eta1 * f->two_theta);
    r.lines.push_back(l);
  }
  for (const instrument_line& l : r.lines) {
    if (!std::isfinite(l.fwhm_residual)) {
      r.why = "the fitted FWHM squared falls below zero at the line at " + std::to_string(l.two_theta) + " deg";
      return r;
    }
  }
  r.fitted = true;
  return r;
}
