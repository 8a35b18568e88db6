#pragma once

#include <string>

#include "xrd/pattern/instrument_function.h"

// The instrument function as a text file a person can read and a script can
// parse: comment lines starting with '#', then one "name = value" a line,
// each with its units after a '#'. Unknown names are passed over, so that a
// later version's additions do not refuse the file.
//
//   # xrdfourier instrument function
//   standard = LaB6
//   lambda1 = 1.5406 # A, K-alpha1
//   U = 0.0043 # deg^2, Caglioti: FWHM^2 = U tan^2(theta) + V tan(theta) + W
//   U_u = 0.0002 # deg^2, standard uncertainty
//   ...
//   line = 100 21.358 0.0712 0.0011 # a line used: its name, 2theta, FWHM, FWHM - fitted FWHM (deg)
//
// Saved to a temporary file renamed into place: a failed save leaves the old
// file as it was. False with `why` ("<path>: Cannot write file: <cause>").
bool write_instrument_file(const std::string& path, const instrument_function& f, std::string& why);

// Reads a file written by write_instrument_file. With `sample_lambda1_A`
// above 0, a file made for another K-alpha1 is refused. False with `why`
// naming the file, the line where there is one, and the cause; `f` is then
// left as it was.
bool read_instrument_file(const std::string& path, double sample_lambda1_A, instrument_function& f,
                          std::string& why);
