#pragma once

#include <cstdint>
#include <vector>

#include "numerics/fft_4.h"
#include "numerics/spline_dx_3.h"
#include "numerics/x1_xd_x2_3.h"

// Third stage of the Fourier family: the abscissae of both spaces,
// the quotient of two transforms (deconvolution) and the deconvoluted profile.
class fft_5 : public fft_4 {
 public:
  // Guard value of the quotient where the reference's transform vanishes.
  static constexpr float vanished = -1000.0f;
  // Smallest squared modulus of the reference that is divided by.
  static constexpr double smallest_divisor = 1e-9;

  // Copies the input axis and sets the frequency axis: x1 = 0, n = M,
  // xd = 1 / (2 M dx), x2 = (M - 1) xd, with M the frequency count of the last
  // transform (or, before any, the one the length rule gives for the input
  // axis's count and the doubling exponent).
  void set_frequency_axis(const x1_xd_x2_3& input);

  // Shift of origin to x0 (x units): p = (x1 of the input axis - x0) / dx.
  void shift_origin(double x0);

  // Inverse of the object's own transform into inv, cut off at the frequency
  // f (units of the frequency axis): kc = floor(f / xd).
  void inverse_at(double f);

  // Quotient of this object's shifted transform by the reference's, read from
  // natural cubic splines over the reference's shifted re and im, for the
  // frequencies up to f (lowered to both objects' last frequency).
  void quotient(const fft_5& reference, double f);

  // Inverse of the quotient with no cut-off into profile, the two halves
  // exchanged so that zero offset lies in the middle.
  void deconvolute();

  // Weighs the last quotient by |R|² / (|R|² + noise2), R the reference's
  // transform as the quotient read it: a Wiener-type filter that fades the
  // quotient out where the reference sinks into noise instead of amplifying
  // that noise. Frequencies where the reference vanished keep their guard.
  void wiener(double noise2);

  // The transform's noise floor: the median modulus over the top quarter of
  // its frequencies, where a line has no signal left. 0 before a transform.
  double noise_floor() const;

  x1_xd_x2_3 input_axis;
  x1_xd_x2_3 frequency_axis;
  float_vec profile;
  float_vec quotient_re;
  float_vec quotient_im;
  float_vec quotient_mod;

 private:
  // The reference's shifted transform read at this object's frequencies:
  // the splines over it and their values. A transform recomputed against the
  // same reference (every move of a drag on this file) divides by the same
  // values, so they are kept until the reference's shifted parts (compared
  // float for float) or either frequency axis change.
  struct reference_reading {
    float_vec re_samples;  // the reference's shifted re and im the splines were set up over
    float_vec im_samples;
    spline_dx_3<float_vec> re_spline;
    spline_dx_3<float_vec> im_spline;
    spline_dx_3<float_vec>::free_pivots pivots;
    bool splines_ready = false;
    std::uint64_t axes[4] = {};  // bits of the reference's x1, xd and this object's x1, xd
    int count = 0;               // frequencies 0 .. count-1 read
    std::vector<double> u, v;    // the splines' values there
  };
  // Reads the reference at frequencies 0 .. count-1 into reading_.u and .v.
  void read_reference(const fft_5& reference, int count);
  // The quotient at frequencies 0 .. m for the limit f; m, or -1 if none.
  int divide_by(const fft_5& reference, double f);

  reference_reading reading_;
};
