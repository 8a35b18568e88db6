#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/cached_ref.h"
#include "numerics/fft_3.h"
#include "numerics/fft_5.h"
#include "numerics/x1_xd_x2_3.h"

class assoc_class;
class B_ex_consts_3;
class ptr_classes_4;
class ref_prof_3;
class xy_data_for_3;
class xy_yobs_4;

// How many times each stage of the chain has run. A count that has not moved
// also tells a display that the result it copied is still current.
struct chain_runs {
  int origin = 0;  // automatic origin and background
  int transform = 0;
  int shift = 0;
  int inverse = 0;
  int quotient = 0;
  int deconvolution = 0;
};

// The Fourier chain of an observed profile: transform of the background-
// corrected profile (with its tails), phase referred to the origin, inverse up
// to the frequency limit, quotient by a reference's transform and the
// deconvoluted profile. Every stage runs only when something it depends on has
// changed: the template's change scripts set the five invalidation flags, and
// a stage that runs makes the stages after it due as well, so that a flag the
// template forgets cannot leave a later result stale.
//
// The options are children of the data file found by name from the profile's
// node; the node and the profile are the class that derives from this one.
class xy_yobs_3 {
 public:
  // The value of fft_zero and fBft_f2_lim that means "not set".
  static constexpr double unset = -999.0;
  // The "no value" of the automatic origin's centroid.
  static constexpr double no_value = 3.37e38;
  // Beyond this the transform arrays would not fit in memory: a doubling
  // exponent or tail long enough to pass it is cut back to it.
  static constexpr int max_transform_length = 1 << 22;

  xy_yobs_3() = default;
  xy_yobs_3(const xy_yobs_3&) = delete;
  xy_yobs_3& operator=(const xy_yobs_3&) = delete;
  virtual ~xy_yobs_3() = default;

  // The automatic origin and background (when fft_zero is unset), then the
  // transform and shift stages, each if due. False when there is no profile
  // to transform. A tail fit that does not converge throws numeric_abort.
  bool run_transform_stages();
  // The stages above, then the inverse if due.
  bool run_inverse();
  // The stages above, the reference's too, then the quotient if due. False
  // while no reference is attached.
  bool run_quotient();
  // The quotient, then the deconvoluted profile if due.
  bool run_deconvolution();

  // Sets the origin to the centroid of the profile above the line through
  // the means of its first and last eight points, and the background options
  // to that line.
  void automatic_origin();
  void ensure_origin();
  // The line through the means of the first and of the last eight values
  // (all of them when fewer), as intercept + slope * index: the automatic
  // background of a profile of these values. `sloped` is false when both
  // means lie at one index.
  struct end_line {
    double intercept = 0.0;
    double slope = 0.0;
    bool sloped = false;
  };
  static end_line line_through_ends(const std::vector<double>& v);

  // Every stage due: after the profile was replaced behind the flags' back.
  void invalidate_chain() { due_ = all_stages; }

  // The origin as a fractional point index (unset: -999) and as an x value.
  double origin_index();
  double origin_x();
  // The background line aBo_bkg + aB1_bkg * (x - xc), xc the profile's centre.
  double background_at(double x);
  double background_level();  // aBo_bkg
  double background_slope();  // aB1_bkg
  double centre_x();
  // fBft_f2_lim as stored, and with an unset limit read as the last index.
  double limit_index();
  double limit_index_or_last();
  // fBft_origin: 1 when the origin is to be placed where the quotient's
  // B(L) is smallest (xrd/sizes/phase_origin.h places it), 0 for the
  // typed or automatic origin alone.
  bool origin_where_b_smallest() { return flag_value(origin_mode_) != 0; }
  // Set the options (their change scripts run).
  void set_origin_index(double index);
  void set_limit_index(double index);
  // The number of frequencies the next transform will have, from the
  // profile, its active tails and the doubling, without running anything.
  int planned_frequency_count();
  // The limit frequency on the transform's own (unconverted) axis.
  double limit_frequency();
  // F of the wavelength conversion, 1 when lBamda is not positive.
  double wavelength_factor();
  // lBamda (Å), 0 when it is not set.
  double wavelength() { return option_double(lambda_, 0.0); }
  // The Wiener filter's strength (fBft_wiener), 0 when the quotient is not filtered.
  double wiener_strength() { return option_double(wiener_, 0.0); }
  // The profile the chain transforms.
  xy_data_for_3& observed_data() { return observed_profile(); }

  // Reference attached through ref_prof, or null.
  xy_yobs_4* reference_profile();
  ref_prof_3* reference_option();
  ptr_classes_4* tied_files();
  B_ex_consts_3* tail_consts(bool right);

  // The option of that name (created from the template if missing), or null.
  assoc_class* option_node(cached_ref& ref);

  fft_5 fft;
  float_vec ft_input;        // what was transformed: tails, profile, tails
  x1_xd_x2_3 ft_input_axis;  // its first x, the observed step, its count
  x1_xd_x2_3 display_axis;   // frequency axis, in 1/wavelength when converted
  chain_runs runs;

 protected:
  virtual assoc_class& chain_node() = 0;
  virtual xy_data_for_3& observed_profile() = 0;

 private:
  enum stage : std::uint32_t {
    transform_stage = 0x1,
    shift_stage = 0x2,
    inverse_stage = 0x4,
    quotient_stage = 0x8,
    deconvolution_stage = 0x10,
    all_stages = 0x1f,
  };
  // What the transform input was built from, beyond the flags: the tails.
  struct tail_state {
    bool active = false;
    int points = 0;
    int curve_runs = -1;
    bool operator==(const tail_state&) const = default;
  };
  // What the quotient was formed with.
  struct quotient_inputs {
    const void* reference = nullptr;
    int assignments = -1;
    int own_shift = -1;
    int reference_shift = -1;
    double limit = 0.0;
    double wiener = 0.0;
    bool operator==(const quotient_inputs&) const = default;
  };

  bool usable_profile();
  bool stage_due(stage s, cached_ref& flag);
  void stage_done(stage s, cached_ref& flag);
  int flag_value(cached_ref& flag);
  double option_double(cached_ref& ref, double fallback);
  void build_input();
  void transform();
  void shift();

  std::uint32_t due_ = all_stages;
  tail_state left_used_;
  tail_state right_used_;
  quotient_inputs quotient_used_;

  cached_ref recal_{"fBft_recal"};
  cached_ref shift_{"fBft_shift"};
  cached_ref do_inv_{"fBft_do_inv"};
  cached_ref do_deconv_{"fBft_do_deconv"};
  cached_ref do_br_{"fBft_do_br"};
  cached_ref doubler_{"fBreq_doubler"};
  cached_ref f2_lim_{"fBft_f2_lim"};
  cached_ref zero_{"fft_zero"};
  cached_ref origin_mode_{"fBft_origin"};
  cached_ref bkg0_{"aBo_bkg"};
  cached_ref bkg1_{"aB1_bkg"};
  cached_ref lambda_{"lBamda"};
  cached_ref wiener_{"fBft_wiener"};
  cached_ref ref_prof_{"ref_prof"};
  cached_ref tied_{"xdds_tied_to"};
  cached_ref left_consts_{"ex_l_consts"};
  cached_ref right_consts_{"ex_r_consts"};
};
