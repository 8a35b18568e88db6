#include "xrd/files/scan_points.h"

#include <cmath>
#include <cstddef>
#include <limits>

#include "core/text_helpers.h"
#include "numerics/natural_spline.h"
#include "xrd/files/abscissa_check.h"

std::string scan_points::full_description() const {
  std::string text = description;
  for (const std::string& note : notes) {
    if (!text.empty()) text += "; ";
    text += note;
  }
  return text;
}

bool evenly_stepped(const std::vector<double>& x, double tolerance) {
  const std::size_t n = x.size();
  if (n < 3) return true;
  const double step = (x.back() - x.front()) / static_cast<double>(n - 1);
  for (std::size_t i = 1; i + 1 < n; ++i)
    if (std::fabs(x[i] - (x.front() + step * static_cast<double>(i))) > tolerance * step) return false;
  return true;
}

namespace {

std::string line_prefix(const scan_points& scan, std::size_t i) {
  return i < scan.lines.size() && scan.lines[i] > 0 ? "Line " + std::to_string(scan.lines[i]) + ": " : "";
}

// Counts beyond the float range would be undefined to convert.
float as_float(double v) {
  constexpr double top = std::numeric_limits<float>::max();
  if (v > top) return std::numeric_limits<float>::infinity();
  if (v < -top) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(v);
}

}  // namespace

bool to_even_step(scan_points& scan, x1_xd_x2_3& axis, float_vec& values, std::string& why) {
  const std::size_t n = scan.x.size();
  if (n < static_cast<std::size_t>(min_file_points)) {
    why = "Fewer than " + std::to_string(min_file_points) + " points: " + std::to_string(n);
    return false;
  }
  if (n > static_cast<std::size_t>(max_file_points)) {
    why = "More than " + std::to_string(max_file_points) + " points: " + std::to_string(n);
    return false;
  }
  for (std::size_t i = 0; i < n; ++i) {
    if (!std::isfinite(scan.x[i])) {
      why = line_prefix(scan, i) + "the angle is not a finite number";
      return false;
    }
    if (i > 0 && !(scan.x[i] > scan.x[i - 1])) {
      why = line_prefix(scan, i) + "the angle " + format_number("%g", scan.x[i]) +
            (scan.x[i] == scan.x[i - 1] ? " repeats the one before" : " goes backwards from " +
                                                                         format_number("%g", scan.x[i - 1]));
      return false;
    }
  }
  axis.x1 = scan.x.front();
  axis.x2 = scan.x.back();
  axis.n = static_cast<int>(n);
  axis.xd = (axis.x2 - axis.x1) / static_cast<double>(n - 1);
  if (!(axis.xd >= min_file_step)) {
    why = "The step xd = " + format_number("%g", axis.xd) + " is below 1e-7";
    return false;
  }
  values.allocate(axis.n);
  values.rebase(0);
  if (evenly_stepped(scan.x)) {
    for (std::size_t i = 0; i < n; ++i) values[static_cast<int>(i)] = as_float(scan.y[i]);
    return true;
  }
  natural_spline spline(scan.x, scan.y);
  for (int i = 0; i < axis.n; ++i) values[i] = as_float(spline(axis.x1 + axis.xd * i));
  // The ends lie on the grid by construction: their counts stay as measured.
  values[0] = as_float(scan.y.front());
  values[axis.n - 1] = as_float(scan.y.back());
  scan.notes.push_back("resampled to an even step of " + format_number("%.6g", axis.xd) + " deg");
  return true;
}
