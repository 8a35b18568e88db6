#pragma once

#include <limits>
#include <string>
#include <vector>

#include "numerics/fft_3.h"
#include "numerics/x1_xd_x2_3.h"

// One scan as a reader of a point-list layout (text columns, XRDML, RAS)
// finds it: the angles and counts as written, with what the file says of
// them. `to_even_step` turns it into the stepped profile the program works
// on.
struct scan_points {
  std::vector<double> x;
  std::vector<double> y;
  // The file's line of each point, for messages; empty when the layout has
  // no lines to name.
  std::vector<int> lines;
  // The file's own words on what was measured (its comment line).
  std::string description;
  // Said after the description: how the file was read where that is not
  // plain (a scan chosen among several, a default taken, a resampling).
  std::vector<std::string> notes;
  // Count time per point in seconds, and the wavelength as the file writes
  // it; empty text: not in the file.
  std::string count_time;
  std::string wavelength;
  // What the file says of this scan among its others, each empty (NaN) when
  // it does not: its name, when it started (ISO 8601, as written) and the
  // sample's temperature in degrees Celsius.
  std::string name;
  std::string start_time;
  double temperature_C = std::numeric_limits<double>::quiet_NaN();

  void add(double angle, double count, int line) {
    x.push_back(angle);
    y.push_back(count);
    lines.push_back(line);
  }
  // The description, then the notes, separated by "; ".
  std::string full_description() const;
};

// The angles of a scan as an even grid from its first to its last angle with
// the same number of points, and the counts on that grid. Angles within 1%
// of a step of the grid are taken as they are, counts unchanged; angles
// further off (exports whose step drifts) have their counts read from a
// cubic spline through the points, with a note saying so. False when the
// scan cannot be a profile, with `why` a sentence for the user that starts
// with "Line N: " when one line is at fault: too few or too many points, or
// an angle that does not rise.
bool to_even_step(scan_points& scan, x1_xd_x2_3& axis, float_vec& values, std::string& why);

// Whether every angle lies within `tolerance` steps of the even grid from
// the first angle to the last.
bool evenly_stepped(const std::vector<double>& x, double tolerance = 0.01);
