// A reference line synthesised from the instrument function takes the place
// of a measured one: a sample made of a known Lorentzian size profile
// convolved with the instrument's doublet, deconvoluted by the synthesised
// line, gives back the size's A(L) = exp(−L / D).
//
// The sample is computed here from the closed forms: a Lorentzian of half
// width w convolved with the pseudo-Voigt η L(h) + (1 − η) G(σ) is
// η L(w + h) + (1 − η) Voigt(w, σ), the Voigt by quadrature over the Gaussian.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "../chain_test_tree.h"
#include "../sizes/synthetic_pair.h"
#include "standard_pattern.h"
#include "xrd/pattern/instrument_function.h"
#include "xrd/pattern/synthetic_reference.h"
#include "xrd/sizes/line_analysis.h"
#include "xrd/sizes/size_strain.h"

namespace {

using namespace chain_test;
namespace sp = standard_pattern;

double lorentzian(double u, double half) { return half / (sp::pi * (u * u + half * half)); }

// The size Lorentzian of half width w (degrees) convolved with one
// pseudo-Voigt component of the instrument at `centre`.
double broadened(double x, double centre, double w, double fwhm, double eta) {
  const double h = fwhm / 2.0, s = fwhm / (2.0 * std::sqrt(2.0 * std::log(2.0)));
  const int steps = 600;
  const double dt = 12.0 * s / steps;
  double voigt = 0.0;
  for (int k = 0; k <= steps; ++k) {
    const double t = -6.0 * s + k * dt;
    voigt += lorentzian(x - centre - t, w) * std::exp(-0.5 * t * t / (s * s)) / (s * std::sqrt(2.0 * sp::pi)) * dt;
  }
  return eta * lorentzian(x - centre, w + h) + (1.0 - eta) * voigt;
}

TEST(SynthesisedReference, StandsInForAMeasuredReferenceInTheDeconvolutionOfASizeBroadenedLine) {
  const sp::instrument_truth truth;
  instrument_function instrument;
  instrument.fitted = true;
  instrument.standard = "synthetic";
  instrument.source = {sp::lambda1, sp::lambda2, sp::ratio};
  instrument.U = truth.U;
  instrument.V = truth.V;
  instrument.W = truth.W;
  instrument.eta0 = truth.eta0;
  instrument.eta1 = truth.eta1;

  const struct {
    const char* what;
    double d;       // Å
    double size;    // D of A(L) = exp(−L / D), Å
  } rows[] = {{"a low-angle line of 200 A columns", 2.0268, 200.0},
              {"a back-reflection line of 400 A columns", 0.9064, 400.0}};
  tree t;
  for (const auto& row : rows) {
    const double centre = sp::bragg_two_theta(row.d, sp::lambda1);
    const double second = sp::bragg_two_theta(row.d, sp::lambda2);
    const double step = 0.01;
    const int n = 3001;
    const double x1 = std::round((centre - 15.0) / step) * step;
    const double fwhm = truth.fwhm(centre), eta = truth.eta(centre);
    // The size's Lorentzian: half width λ / (2π D cos θ) radians of 2θ.
    const double w = sp::lambda1 / (2.0 * sp::pi * row.size * std::cos(centre * sp::degree / 2.0)) / sp::degree;
    std::vector<double> sample(n), reference;
    for (int i = 0; i < n; ++i) {
      const double x = x1 + i * step;
      sample[static_cast<std::size_t>(i)] =
          1e4 / (1.0 + sp::ratio) * (broadened(x, centre, w, fwhm, eta) + sp::ratio * broadened(x, second, w, fwhm, eta));
    }
    std::string why;
    ASSERT_TRUE(synthesise_reference(instrument, centre, {x1, step, n}, reference, why)) << row.what << ": " << why;
    ASSERT_EQ(reference.size(), sample.size());
    // Of unit area on the grid, as the doublet it stands for.
    double area = 0.0;
    for (double v : reference) area += v * step;
    EXPECT_NEAR(area, 1.0, 0.01) << row.what << ": a unit area, but for the far Lorentzian tails";
    for (double& v : reference) v *= 1e4;

    const auto [sample_file, reference_file] =
        add_scan_pair(t, "synthetic" + std::to_string(static_cast<int>(row.size)), x1, step, sample, reference, centre,
                      0.0, 0.0);
    ASSERT_TRUE(set_automatic_limit(*tree::yobs(sample_file), why)) << row.what << ": " << why;
    fourier_coefficients c;
    ASSERT_TRUE(coefficients_of(*tree::yobs(sample_file), c, why)) << row.what << ": " << why;
    ASSERT_GT(c.L.back(), row.size) << row.what << ": the limit reaches past one column length";
    for (std::size_t i = 0; i < c.L.size(); ++i)
      EXPECT_NEAR(c.A[i], std::exp(-c.L[i] / row.size), 0.02) << row.what << " at L = " << c.L[i] << " A";
  }
}

TEST(SynthesisedReference, IsRefusedWhereTheInstrumentGivesNoLine) {
  instrument_function instrument;
  instrument.fitted = true;
  instrument.U = 0.004;
  instrument.V = -0.02;  // FWHM² below 0 between about 2θ = 30° and 150°
  instrument.W = 0.003;
  std::vector<double> y;
  std::string why;
  EXPECT_FALSE(synthesise_reference(instrument, 60.0, {50.0, 0.01, 2000}, y, why));
  EXPECT_NE(why.find("no width at 60"), std::string::npos) << why;
  instrument.V = 0.0;
  EXPECT_FALSE(synthesise_reference(instrument, 60.0, {50.0, 0.01, 0}, y, why));
  EXPECT_EQ(why, "the grid holds no points");
  instrument.fitted = false;
  EXPECT_FALSE(synthesise_reference(instrument, 60.0, {50.0, 0.01, 2000}, y, why));
}

}  // namespace
