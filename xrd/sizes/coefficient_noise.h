#pragma once

#include <complex>
#include <cstddef>
#include <memory>
#include <vector>

#include "xrd/sizes/counting_noise.h"

class xy_yobs_3;
class fft_5;

// The standard uncertainty of the Fourier coefficients A(L) of a file
// divided by its reference, carried from both files' point noise (their
// size and colour, counting_noise) through the transform, the quotient and
// its normalisation to A(0) = 1, to first order. The transform takes the
// measured points with the background the chain subtracts (the tails the
// chain adds are a fit, taken as known); A is the quotient's real part before
// any Wiener filter, which weighs signal and noise alike. A background
// through the means of the scan's ends (the chain's automatic one) adds
// their noise.
class coefficient_noise {
 public:
  // Runs both files' transform stages; ok() is false without a reference or
  // a transform.
  explicit coefficient_noise(xy_yobs_3& sample);

  // The same, shared with the last ones made of the same transforms and
  // profiles: the automatic limit, the signal-to-noise at the limit and the
  // uncertainties of one line all read one file's noise.
  static std::shared_ptr<const coefficient_noise> of(xy_yobs_3& sample);

  bool ok() const { return ok_; }
  // Frequencies of the sample's axis that the reference's transform covers
  // and does not vanish at.
  int count() const { return count_; }

  struct reading {
    double A = 0.0;
    double sigma = 0.0;  // standard uncertainty of A
    // A / σ_A; infinite where A is exact (at L = 0).
    double snr() const;
  };
  // A and σ_A at frequency index i (0 ≤ i < count()).
  reading at(int i) const;

  // Whether the background the chain subtracts is its automatic one, the
  // line through the means of the ends of the profile `y` (to the floats'
  // rounding): it then moves with the ends' noise.
  static bool automatic_background(xy_yobs_3& chain, const std::vector<double>& y);

  // The last frequency index before A/σ_A first falls to `needed`, or -1.
  int last_above(double needed) const;

  // The variance of Σ_i (w_i δA_i + v_i δB_i), i over the frequencies
  // 0 .. count()-1 (shorter vectors stand for zeros beyond them), with
  // B = Im Q / Q(0) beside A: the first-order change of any figure read
  // from A(L) and B(L), w and v its derivatives. Unlike at(), which weighs
  // one frequency by the noise's spectrum, the noise's correlation is taken
  // point by point.
  double variance_of(const std::vector<double>& w, const std::vector<double>& v = {}) const;

 private:
  // Σ_t v_t e^(2πi m f1 x_t) at any m, from one transform of v over a period
  // of f1 (see periodic_sums_of).
  struct periodic_sums {
    std::vector<float> re, im;  // the forward real transform, laid out as fft_kernel leaves it
    // The sum at frequency m f1 for points from x0 on.
    std::complex<double> at(std::size_t m, double f1, double x0) const;
  };
  struct file_noise {
    counting_noise noise;
    std::vector<double> x;          // the measured points' positions less the origin
    std::vector<double> variance;   // σ² at each
    std::vector<double> sigma;      // σ at each
    double step = 0.0;
    // The background through the means of the scan's first and last `ends`
    // points (the chain's automatic one) carries their noise into every
    // point; 0 when the background was set.
    int ends = 0;
    double left_centre = 0.0, right_centre = 0.0;  // the means' point indices
    std::vector<double> rho;                       // the noise's correlation by lag
    // What variance() sums at every frequency alike, summed once: Σ σ², and
    // each point's share u of the right end's mean with Σ (1 − u) and Σ u.
    double variance_sum = 0.0;
    std::vector<double> right_share;
    double left_sum = 0.0, right_sum = 0.0;
    // The same sums at every frequency m f1 of the sample's axis at once:
    // Σ σ² e^(iφ), Σ e^(iφ) and Σ u e^(iφ), φ = 2π m f1 x. Null where one
    // period of f1 spans no power of two of this file's points; variance()
    // then sums at each frequency.
    std::shared_ptr<const periodic_sums> variance_spectrum, ones_spectrum, right_spectrum;
  };
  static file_noise noise_of_file(xy_yobs_3& chain);
  // Var(Σ_t h_t δy_t) for h_t = Re(c e^(2πi f x_t)) − a, f = i f1, to first order in
  // the spread of σ over the noise's correlation length.
  static double variance(const file_noise& file, int i, double f, std::complex<double> c, double a);
  // Fills the file's spectra for the frequency step f1.
  static void take_spectra(file_noise& file, double f1);
  static std::shared_ptr<const periodic_sums> periodic_sums_of(const std::vector<double>& v, int period);
  // Var(Σ_t g_t δy_t) for g_t = Re(Σ_i c_i e^(2πi f_i x_t)) − a, f_i = i × step.
  static double variance(const file_noise& file, double step, const std::vector<std::complex<double>>& c, double a);

  bool ok_ = false;
  int count_ = 0;
  double step_ = 0.0;  // the sample's frequency step
  std::vector<std::complex<double>> observed_, reference_;
  double o0_ = 0.0, r0_ = 0.0;
  // The frequencies read so far, and each file's noise with its spectra
  // once they are taken: reading them leaves A and σ as they are.
  mutable int evaluated_ = 0;
  mutable bool spectra_taken_ = false;
  static constexpr int summed_alone = 8;
  // Both files' spectra, once.
  void take_all_spectra() const;
  mutable file_noise sample_, ref_;
};
