#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <vector>

// Two orders of one reflection among a pattern's indexed lines (110 and 220,
// 200 and 400, 111 and 222, and also 220 and 330 where both are there): the
// pairs a Warren–Averbach separation takes. Lines are of a cubic lattice, so
// 101 and 011 count as orders of 110; a line's order is its hkl's greatest
// common divisor over that of the lowest index the direction has
// (200 is the 2nd order of 100, even where the lattice forbids 100).
struct order_pair {
  std::size_t first = 0, second = 0;  // indices into the lines given; first the lower order
  int first_order = 0, second_order = 0;
  std::array<int, 3> direction{0, 0, 0};  // the lowest indices, as |h| ≥ |k| ≥ |l|
  std::array<int, 3> first_hkl{0, 0, 0}, second_hkl{0, 0, 0};  // as the lines were indexed

  std::string label() const;  // "110/220", from the lines' own indices
};

// Every pair of orders present, lower order first, in the order the lines
// come. Two lines with the same direction and order (indexed twice) pair with
// neither each other nor, twice, a third.
std::vector<order_pair> order_pairs(const std::vector<std::array<int, 3>>& hkl);
