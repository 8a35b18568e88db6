#pragma once

#include <memory>

#include "xrd/curves/xy_data_3.h"

// The Fourier coefficients A(L) of a file with a reference: the real part of
// its quotient normalised to 1 at L = 0, against the column length L (Å with
// a wavelength), up to the frequency limit (node "xy_al").
class xy_al_3 : public xy_data_for_3 {
 public:
  const char* class_name() const override { return "xy_al"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }
};
