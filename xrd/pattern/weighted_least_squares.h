#pragma once

#include <cstddef>
#include <vector>

// A linear model y ≈ Σ_j c_j · column_j, fitted to points with standard
// uncertainties σ_i by minimising Σ ((y_i − model_i) / σ_i)².
// The covariance is (Xᵀ W X)⁻¹ with W = diag(1/σ²), the σ taken as known;
// when the points scatter more than their σ say (χ²/ν above 1) it is scaled
// by χ²/ν, so that a model the data do not follow is not given the
// uncertainties of one they do (the Birge ratio). It is never scaled down:
// a few points that happen to lie close do not make the figures surer.
struct weighted_fit {
  bool solved = false;  // false with fewer points than coefficients, or a singular design
  std::vector<double> coefficients;
  std::vector<std::vector<double>> covariance;  // coefficients × coefficients
  std::vector<double> residuals;                // y − model, one per point, in y's unit
  double chi_square = 0.0;                      // Σ (residual / σ)²
  int degrees_of_freedom = 0;                   // points − coefficients
  double covariance_scale = 1.0;                // max(1, χ²/ν) applied to the covariance

  double u(std::size_t j) const;  // standard uncertainty of coefficient j (NaN when unsolved)
};

// `columns[j][i]` is column j at point i; every column, `y` and `sigma` hold
// one value per point, each σ above 0.
weighted_fit weighted_least_squares(const std::vector<std::vector<double>>& columns, const std::vector<double>& y,
                                    const std::vector<double>& sigma);

// The straight line y ≈ intercept + slope · x (coefficients 0 and 1).
weighted_fit weighted_straight_line(const std::vector<double>& x, const std::vector<double>& y,
                                    const std::vector<double>& sigma);
