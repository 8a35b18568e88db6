#pragma once

#include <cmath>

// The geometry of the synthetic lines: Cu Kα1 and Bragg's law.
namespace bragg {
inline constexpr double pi = 3.14159265358979323846;
inline constexpr double lambda = 1.5406;  // Å
inline constexpr double degree = pi / 180.0;

// The 2θ (degrees) of a line of d-spacing `d` (Å).
inline double two_theta_of(double d) { return 2.0 * std::asin(lambda / (2.0 * d)) / degree; }
}  // namespace bragg
