#include "xrd/pattern/order_pairs.h"

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <numeric>

namespace {

// |h| ≥ |k| ≥ |l|: one name for the cubic equivalents of a reflection.
std::array<int, 3> canonical(const std::array<int, 3>& hkl) {
  std::array<int, 3> c{std::abs(hkl[0]), std::abs(hkl[1]), std::abs(hkl[2])};
  std::sort(c.begin(), c.end(), std::greater<>());
  return c;
}

std::string indices(const std::array<int, 3>& hkl) {
  std::string text;
  // Indices above 9 are written apart, or 1 10 0 would read as 1100.
  const bool wide = std::any_of(hkl.begin(), hkl.end(), [](int i) { return std::abs(i) > 9; });
  for (std::size_t i = 0; i < 3; ++i) {
    if (wide && i > 0) text += ' ';
    text += std::to_string(hkl[i]);
  }
  return text;
}

}  // namespace

std::string order_pair::label() const { return indices(first_hkl) + '/' + indices(second_hkl); }

std::vector<order_pair> order_pairs(const std::vector<std::array<int, 3>>& hkl) {
  struct reflection {
    std::size_t line;
    std::array<int, 3> direction;
    int order;
  };
  std::vector<reflection> found;
  for (std::size_t i = 0; i < hkl.size(); ++i) {
    const std::array<int, 3> c = canonical(hkl[i]);
    const int n = std::gcd(std::gcd(c[0], c[1]), c[2]);
    if (n == 0) continue;  // 000 is no reflection
    const std::array<int, 3> direction{c[0] / n, c[1] / n, c[2] / n};
    const bool again = std::any_of(found.begin(), found.end(), [&](const reflection& r) {
      return r.direction == direction && r.order == n;
    });
    if (!again) found.push_back({i, direction, n});
  }
  std::vector<order_pair> pairs;
  for (std::size_t i = 0; i < found.size(); ++i)
    for (std::size_t j = i + 1; j < found.size(); ++j) {
      if (found[i].direction != found[j].direction) continue;
      const bool ordered = found[i].order < found[j].order;
      const reflection& low = ordered ? found[i] : found[j];
      const reflection& high = ordered ? found[j] : found[i];
      order_pair p;
      p.first = low.line;
      p.second = high.line;
      p.first_order = low.order;
      p.second_order = high.order;
      p.direction = low.direction;
      p.first_hkl = hkl[low.line];
      p.second_hkl = hkl[high.line];
      pairs.push_back(p);
    }
  return pairs;
}
