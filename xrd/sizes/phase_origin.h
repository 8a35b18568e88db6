#pragma once

#include <cstddef>
#include <string>
#include <vector>

class xy_yobs_3;

// The phase origin placed as an analyst places it: where the sample's
// coefficients B(L) are smallest over the points the initial slope of A(L)
// is fitted to. An origin off the line's centre of symmetry turns the
// quotient's phase by 2π f δ at frequency f and leaks B(L) into A(L).

// A(L) and B(L) of a quotient at the frequencies f (cycles per degree 2θ),
// turned as a move of the origin by `delta` degrees turns them.
void turn_phase(const std::vector<double>& f, std::vector<double>& A, std::vector<double>& B, double delta);

// Σ B(L)² over the points [first, last) after the origin moved by `delta`.
double b_squares_after_move(const std::vector<double>& f, const std::vector<double>& A, const std::vector<double>& B,
                            std::size_t first, std::size_t last, double delta);

// The move of the origin within ± `reach` degrees that makes Σ B(L)² over
// [first, last) smallest, found on a grid of `reach` / 200 and refined by a
// parabola through the grid's best point and its neighbours.
double origin_move_minimising_b(const std::vector<double>& f, const std::vector<double>& A,
                                const std::vector<double>& B, std::size_t first, std::size_t last, double reach);

struct placed_origin {
  bool placed = false;
  std::string why_not;      // when the origin was left where it was
  double before = 0.0;      // the origin, degrees 2θ, before and after
  double after = 0.0;
  double largest_b = 0.0;   // max |B(L)| over the fitted range, after
  double L_from = 0.0, L_to = 0.0;  // that range, Å (or cycles/deg without a wavelength)
};

// Moves the file's origin (fft_zero) to where Σ B(L)² over the fitted range
// of the initial slope is smallest, starting from the origin it has. Needs
// the quotient by a reference; the range is found again after each move,
// since A(L) itself changes with the origin.
placed_origin place_origin_where_b_smallest(xy_yobs_3& sample);
