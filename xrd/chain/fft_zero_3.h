#pragma once

#include <memory>

#include "core/cached_ref.h"
#include "core/fund_type_3.h"
#include "core/my_string.h"

class xy_data_3;

// The phase origin of the transform (node "fft_zero"). It is kept as a
// fractional point index of the observed profile, so that it stays on the
// same feature when the profile's abscissa is shifted, but people read and
// type it as an x value. The index -999 means "not set" in either form.
class fft_zero_3 : public fund_type_3 {
 public:
  const char* class_name() const override { return "fft_zero"; }
  std::unique_ptr<assoc_class> clone_empty() const override;

  // Takes an x value.
  assoc_class* set_text(const char* text) override;
  // Give the x value.
  const char* get_text() override;
  my_string& format_value(my_string& text) override;

  bool is_set();
  // The stored index as an x value of the observed profile.
  double x_value();
  // The index for an x value; unset when there is no profile to map it on.
  double index_for(double x);

 protected:
  // Typed, the origin is an x value within the scan's angles.
  bool data_limits(double& lo, double& hi, bool reading) override;
  void store_typed(double x) override;
  double typed_from_stored(double index) override;

 private:
  xy_data_3* observed();

  cached_ref yobs_{"xy_yobs"};
  my_string shown_;
};
