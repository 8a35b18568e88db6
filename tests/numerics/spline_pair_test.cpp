// Two splines with free ends set up together, as the quotient reads a
// reference's transform, are the splines each would be on its own.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "core/my_vec.h"
#include "numerics/spline_dx_3.h"

namespace {

using vec = my_vec<float, double>;
using spline = spline_dx_3<vec>;

vec samples(const std::vector<float>& values, int base) {
  vec v;
  v.allocate(static_cast<int>(values.size()));
  v.rebase(base);
  for (std::size_t i = 0; i < values.size(); ++i) v.data()[i] = values[i];
  return v;
}

bool same_bits(const vec& a, const vec& b) {
  return a.count() == b.count() && a.base() == b.base() &&
         std::memcmp(a.data(), b.data(), sizeof(float) * static_cast<std::size_t>(a.count())) == 0;
}

struct pair_case {
  std::string what;
  int n;
  int base;
  bool with_a_nan;
};

}  // namespace

TEST(SplinePair, ReadingAReferenceTransformGivesTheSplinesEachPartGivesAlone) {
  const pair_case cases[] = {
      {"one sample", 1, 0, false},
      {"two samples", 2, 0, false},
      {"three samples", 3, 0, false},
      {"a transform of 4097 frequencies", 4097, 0, false},
      {"samples counted from 5", 200, 5, false},
      {"a sample that is not a number", 50, 0, true},
  };
  std::mt19937_64 rng(7);
  std::normal_distribution<double> noise(0.0, 1.0);
  spline::free_pivots pivots;
  for (const pair_case& c : cases) {
    // Twice each, the second time with the pivots the first one kept.
    for (int round = 0; round < 2; ++round) {
      std::vector<float> re(static_cast<std::size_t>(c.n)), im(re.size());
      for (int i = 0; i < c.n; ++i) {
        re[static_cast<std::size_t>(i)] = static_cast<float>(1e4 * std::exp(-0.01 * i) + noise(rng));
        im[static_cast<std::size_t>(i)] = static_cast<float>(3e2 * std::sin(0.1 * i) + noise(rng));
      }
      if (c.with_a_nan) im[static_cast<std::size_t>(c.n / 2)] = std::numeric_limits<float>::quiet_NaN();
      const vec yre = samples(re, c.base), yim = samples(im, c.base);
      spline alone_re, alone_im, pair_re, pair_im;
      alone_re.set_up(0.0, 0.01, yre, spline::free_end, spline::free_end);
      alone_im.set_up(0.0, 0.01, yim, spline::free_end, spline::free_end);
      spline::set_up_free_pair(0.0, 0.01, pair_re, yre, pair_im, yim, pivots);
      EXPECT_TRUE(same_bits(alone_re.y2, pair_re.y2)) << c.what;
      EXPECT_TRUE(same_bits(alone_im.y2, pair_im.y2)) << c.what;
      for (double x : {-0.005, 0.0, 0.013, 0.01 * (c.n - 1), 0.01 * c.n}) {
        const double a = alone_re.evaluate(yre, x), b = pair_re.evaluate(yre, x);
        EXPECT_TRUE(std::memcmp(&a, &b, sizeof a) == 0) << c.what << " at " << x;
        const double ai = alone_re.companion(alone_im, yim), bi = pair_re.companion(pair_im, yim);
        EXPECT_TRUE(std::memcmp(&ai, &bi, sizeof ai) == 0) << c.what << " at " << x;
      }
    }
  }
}
