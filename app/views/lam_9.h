#pragma once

#include <string>
#include <vector>

// A set of wavelengths for the lambda cursor: a reference line (wavelength
// and intensity) and the lines to mark, each with its relative intensity.
// The sets live in the outside records under "win_misc c wavelengths", one
// record per set named by its name, whose text is
//   "lambda0 I0 lambda1 I1 lambda2 I2 ..."
// (the reference first, then the components).
struct lam_9 {
  struct component {
    double wavelength = 0.0;
    double intensity = 0.0;
  };
  double reference_wavelength = 0.0;
  double reference_intensity = 0.0;
  std::vector<component> components;

  // The set of that name; false when there is none or its text is not a
  // reference followed by at least one component of positive numbers.
  static bool find(const std::string& name, lam_9& out);
  static bool parse(const char* text, lam_9& out);
};
