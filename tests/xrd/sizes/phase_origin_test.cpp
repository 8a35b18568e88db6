// The phase origin placed where the quotient's B(L) is smallest over the
// fitted range of the initial slope, as an analyst places it by hand.
//
// The truth comes from the closed forms: the sample is Lorentzians seen
// through a Gaussian instrument, the reference the instrument alone, so the
// quotient is the Lorentzians' transform, exp(−2π w |f|) · exp(−2πi f (c − x0))
// for one of half width w at c about the origin x0. A symmetric line's B(L)
// vanishes when x0 = c; an asymmetric line's Σ B² is computed here from
// these forms, not by the code under test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "../chain_test_tree.h"
#include "synthetic_pair.h"
#include "xrd/sizes/line_analysis.h"
#include "xrd/sizes/phase_origin.h"
#include "xrd/sizes/size_strain.h"

namespace {

using namespace chain_test;
using namespace bragg;

constexpr double step = 0.01;
constexpr int points = 501;
// The 110 of α-iron, with a point of the scan off the line's centre.
const double nominal = two_theta_of(2.0268);
const double x1 = nominal - 250 * step;

double lorentzian(double u, double w) { return w / pi / (w * w + u * u); }
double gaussian_of(double u, double s) { return std::exp(-0.5 * u * u / (s * s)) / (s * std::sqrt(2.0 * pi)); }

// The instrument: a Gaussian of this sigma, degrees 2θ.
constexpr double instrument = 0.03;

// A Lorentzian of half width w convolved with the instrument, by quadrature.
double voigt(double u, double w) {
  const int steps = 600;
  const double dt = 14.0 * instrument / steps;
  double sum = 0.0;
  for (int k = 0; k <= steps; ++k) {
    const double t = -7.0 * instrument + k * dt;
    sum += lorentzian(u - t, w) * gaussian_of(t, instrument);
  }
  return sum * dt;
}

// The sample's broadening, Lorentzians of these weights, centres and half
// widths, seen through the instrument and counted above no background;
// beside it the instrument's own line as the reference, centred at the
// nominal 2θ where its origin sits. The sample's origin starts at `origin`.
// The quotient is then exactly the Lorentzians' transform.
struct line_part {
  double weight, centre, width;
};

std::string typed(double x) {
  char text[40];
  std::snprintf(text, sizeof text, "%.10f", x);
  return text;
}

assoc_class* add_pair(tree& t, const std::string& name, const std::vector<line_part>& parts, double origin,
                      std::mt19937_64* rng = nullptr) {
  std::vector<double> ys(points), yr(points);
  for (int i = 0; i < points; ++i) {
    const double x = x1 + i * step;
    double y = 0.0;
    for (const line_part& p : parts) y += p.weight * voigt(x - p.centre, p.width);
    ys[static_cast<std::size_t>(i)] = 1e3 * y;
    yr[static_cast<std::size_t>(i)] = 1e3 * gaussian_of(x - nominal, instrument);
  }
  if (rng)
    for (double& v : ys) v = static_cast<double>(std::poisson_distribution<long>(v)(*rng));
  const auto [sample, reference] = add_scan_pair(t, name, x1, step, ys, yr, nominal, 0.0, 0.0);
  (void)reference;
  tree::option(sample, "fft_zero")->set_text(typed(origin).c_str());
  // Counted, the quotient drowns in noise before the Nyquist frequency.
  if (rng) {
    std::string why;
    EXPECT_TRUE(set_automatic_limit(*tree::yobs(sample), why)) << why;
  }
  return sample;
}

// The quotient's frequencies, cycles per degree, of the chain's coefficients.
std::vector<double> frequencies(xy_yobs_3& chain, std::size_t n) {
  std::vector<double> f(n);
  for (std::size_t i = 0; i < n; ++i) f[i] = static_cast<double>(i) * chain.fft.frequency_axis.xd;
  return f;
}

// One tree at a time: each case, or each row, makes its own.
TEST(PhaseOrigin, MovingTheOriginTurnsTheCoefficientsAsTheRecomputedChainGivesThem) {
  const double centre = nominal + 0.37 * step;
  const double moves[] = {0.7 * step, -2.3 * step, 3.9 * step};
  for (double move : moves) {
    tree fresh;
    assoc_class* sample = add_pair(fresh, "turned", {{1.0, centre, 0.05}}, nominal);
    xy_yobs_3& chain = *tree::yobs(sample);
    fourier_coefficients before, after;
    std::string why;
    ASSERT_TRUE(coefficients_of(chain, before, why)) << why;
    std::vector<double> A = before.A, B = before.B;
    turn_phase(frequencies(chain, A.size()), A, B, move);
    chain.set_origin_index((nominal + move - x1) / step);
    ASSERT_TRUE(coefficients_of(chain, after, why)) << why;
    ASSERT_EQ(after.A.size(), A.size());
    // The quotient is kept in floats: its rounding grows with its modulus.
    for (std::size_t i = 0; i < A.size(); ++i) {
      const double tolerance = 1e-4 * std::max(1.0, std::hypot(A[i], B[i]));
      EXPECT_NEAR(A[i], after.A[i], tolerance) << "A at point " << i << " after a move of " << move;
      EXPECT_NEAR(B[i], after.B[i], tolerance) << "B at point " << i << " after a move of " << move;
    }
  }
}

TEST(PhaseOrigin, ASymmetricLineTypedOffItsCentreGetsItsCentreBackAndNoB) {
  const struct {
    const char* what;
    double off_steps;  // the typed origin, in steps from the line's centre
    bool counted;      // Poisson counts
  } rows[] = {
      {"an origin a little above the centre", 0.45, false},
      {"an origin one and a third steps above", 1.37, false},
      {"an origin two and a half steps below", -2.6, false},
      {"an origin further off than one search reaches", -6.3, false},
      {"an origin off the centre of a counted line", 1.9, true},
  };
  const double centre = nominal + 0.37 * step;
  for (const auto& row : rows) {
    tree fresh;
    std::mt19937_64 rng(21);
    // A pseudo-Voigt-like sum: a narrow and a broad Lorentzian, one centre.
    assoc_class* sample = add_pair(fresh, "symmetric", {{0.6, centre, 0.04}, {0.4, centre, 0.09}},
                                   centre + row.off_steps * step, row.counted ? &rng : nullptr);
    xy_yobs_3& chain = *tree::yobs(sample);
    const placed_origin placed = place_origin_where_b_smallest(chain);
    ASSERT_TRUE(placed.placed) << row.what << ": " << placed.why_not;
    EXPECT_NEAR(placed.after, centre, 0.1 * step) << row.what;
    EXPECT_NEAR(chain.origin_x(), placed.after, 1e-9) << row.what << ": the file's own origin";
    EXPECT_LT(placed.largest_b, 0.01) << row.what << ", over L = " << placed.L_from << " to " << placed.L_to;
    EXPECT_GT(placed.L_to, placed.L_from) << row.what;
  }
}

TEST(PhaseOrigin, AnAsymmetricLineGetsTheOriginWhereTheClosedFormsBIsSmallest) {
  // A line with a shoulder on its high-angle side, typed at its main peak.
  const double c1 = nominal + 0.2 * step, c2 = nominal + 9.0 * step;
  const std::vector<line_part> parts = {{0.7, c1, 0.05}, {0.3, c2, 0.07}};
  tree t;
  assoc_class* sample = add_pair(t, "shoulder", parts, c1);
  xy_yobs_3& chain = *tree::yobs(sample);
  const placed_origin placed = place_origin_where_b_smallest(chain);
  ASSERT_TRUE(placed.placed) << placed.why_not;

  // The fitted range's frequencies, as the chain's axis numbers them.
  fourier_coefficients c;
  std::string why;
  ASSERT_TRUE(coefficients_of(chain, c, why)) << why;
  std::vector<double> f;
  const double df = chain.fft.frequency_axis.xd;
  for (std::size_t i = 0; i < c.L.size(); ++i)
    if (c.L[i] >= placed.L_from - 1e-9 && c.L[i] <= placed.L_to + 1e-9) f.push_back(static_cast<double>(i) * df);
  ASSERT_GE(f.size(), 4u);
  auto b_squares = [&](double x0) {
    double sum = 0.0;
    for (double v : f) {
      double im = 0.0;
      for (const line_part& p : parts)
        im -= p.weight * std::exp(-2.0 * pi * p.width * v) * std::sin(2.0 * pi * v * (p.centre - x0));
      sum += im * im;
    }
    return sum;
  };
  double best = c1, least = b_squares(c1);
  for (double x0 = c1 - 10.0 * step; x0 <= c2; x0 += 0.001 * step)
    if (const double s = b_squares(x0); s < least) {
      least = s;
      best = x0;
    }
  EXPECT_GT(std::fabs(best - c1), 1.0 * step) << "the shoulder moves the origin off the main peak";
  EXPECT_NEAR(placed.after, best, 0.1 * step);
  EXPECT_NEAR(placed.before, c1, 1e-9);
}

TEST(PhaseOrigin, ALineWithoutAReferenceKeepsItsOriginAndSaysWhy) {
  tree t;
  assoc_class* lone = t.add_file("/scans/lone.xdd", x1, step, points,
                                 [](double x) { return 1e3 * lorentzian(x - nominal, 0.05); });
  tree::option(lone, "fft_zero")->set_text(typed(nominal + step).c_str());
  xy_yobs_3& chain = *tree::yobs(lone);
  const placed_origin placed = place_origin_where_b_smallest(chain);
  EXPECT_FALSE(placed.placed);
  EXPECT_NE(placed.why_not.find("reference"), std::string::npos) << placed.why_not;
  EXPECT_NEAR(chain.origin_x(), nominal + step, 1e-9);
}

}  // namespace
