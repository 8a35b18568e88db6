#pragma once

#include <cmath>

// The two lines of a K-alpha source: wavelengths in Å and the height of
// K-alpha2 over K-alpha1. Cu by default, as the templates give it.
struct kalpha_lines {
  double lambda1_A = 1.5406;
  double lambda2_A = 1.54439;
  double ratio = 0.5;
};

// The line shape every part of the instrument's description shares: a
// pseudo-Voigt K-alpha1 line and its K-alpha2 companion of the same shape
// and width in 2θ, all in degrees 2θ.
namespace kalpha {

inline constexpr double pi = 3.14159265358979323846;
inline constexpr double ln2 = 0.69314718055994530942;
inline constexpr double degree = pi / 180.0;

// Bragg's law for both wavelengths on one d-spacing: sin θ2 = (λ2 / λ1) sin θ1.
// NaN past the angle where K-alpha2 leaves the circle.
template <class T>
T second_two_theta_deg(const T& two_theta1_deg, const kalpha_lines& k) {
  using std::asin;
  using std::sin;
  return 2.0 * asin(k.lambda2_A / k.lambda1_A * sin(two_theta1_deg * (0.5 * degree))) / degree;
}

// A pseudo-Voigt of unit area, η L + (1 − η) G with L and G of one FWHM
// (Wertheim et al. 1974), at `u` from its centre.
template <class T>
T pseudo_voigt(const T& u, const T& fwhm, const T& eta) {
  using std::exp;
  const T half = 0.5 * fwhm;
  const T lorentz = half / (pi * (u * u + half * half));
  const T gauss = std::sqrt(4.0 * ln2 / pi) / fwhm * exp(-4.0 * ln2 * u * u / (fwhm * fwhm));
  return eta * lorentz + (1.0 - eta) * gauss;
}

// Both lines, of total area `area`, K-alpha1 at `two_theta1_deg`: equal
// shapes make the height ratio the area ratio.
template <class T>
T doublet(double x_deg, const T& two_theta1_deg, const T& fwhm_deg, const T& eta, const T& area,
          const kalpha_lines& k) {
  const T second = second_two_theta_deg(two_theta1_deg, k);
  return area / (1.0 + k.ratio) *
         (pseudo_voigt(x_deg - two_theta1_deg, fwhm_deg, eta) + k.ratio * pseudo_voigt(x_deg - second, fwhm_deg, eta));
}

}  // namespace kalpha
