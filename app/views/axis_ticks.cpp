#include "app/views/axis_ticks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {

// Multiples of the step count as inside the range this close to its ends,
// so that rounding in the limits does not drop the tick at an end.
constexpr double end_slack = 1e-9;

std::string printed(const char* format, int decimals, double v) {
  char text[64];
  std::snprintf(text, sizeof text, format, decimals, v);
  return text;
}

// "1.50e+06" as "1.5e6".
std::string compact_exponent(std::string s) {
  const std::size_t e = s.find('e');
  if (e == std::string::npos) return s;
  std::string mantissa = s.substr(0, e);
  if (mantissa.find('.') != std::string::npos) {
    mantissa.erase(mantissa.find_last_not_of('0') + 1);
    if (mantissa.back() == '.') mantissa.pop_back();
  }
  std::string exponent = s.substr(e + 1);
  const bool negative = !exponent.empty() && exponent[0] == '-';
  exponent.erase(0, exponent.find_first_not_of("+-0"));
  if (exponent.empty()) return mantissa;
  return mantissa + "e" + (negative ? "-" : "") + exponent;
}

}  // namespace

axis_ticks axis_ticks::choose(double lo, double hi, int most) {
  axis_ticks t;
  // A span beyond the largest double has no step either.
  if (!std::isfinite(hi - lo) || !(hi > lo)) return t;
  most = std::max(most, 2);
  static constexpr int mantissas[] = {1, 2, 5};
  // Below the finest step that could do: the loop climbs from there.
  int power = static_cast<int>(std::floor(std::log10((hi - lo) / most))) - 1;
  long long first = 0, last = 0;
  int mantissa = 1;
  for (;; ++power) {
    bool found = false;
    for (int m : mantissas) {
      const double step = m * std::pow(10.0, power);
      const double slack = end_slack * (hi - lo) / step;
      const double a = std::ceil(lo / step - slack), b = std::floor(hi / step + slack);
      if (b - a + 1 <= most) {
        first = static_cast<long long>(a);
        last = static_cast<long long>(b);
        mantissa = m;
        t.step = step;
        found = true;
        break;
      }
    }
    if (found) break;
  }
  // i·m / 10^k rather than i·step: 0.1 · 3 is not 0.3, 3 / 10 is.
  const double scale = std::pow(10.0, std::abs(power));
  double largest = 0.0;
  for (long long i = first; i <= last; ++i) {
    const double whole = static_cast<double>(i * mantissa);
    const double v = power < 0 ? whole / scale : whole * scale;
    t.values.push_back(v);
    largest = std::max(largest, std::fabs(v));
  }
  const bool exponent_form = largest >= 1e6 || (largest > 0.0 && largest < 1e-3);
  for (double v : t.values) {
    if (v == 0.0) {
      t.labels.push_back("0");
    } else if (exponent_form) {
      // As many significant digits as from the value's own power down to the step's.
      const int own = static_cast<int>(std::floor(std::log10(std::fabs(v))));
      t.labels.push_back(compact_exponent(printed("%.*e", std::max(own - power, 0), v)));
    } else {
      t.labels.push_back(printed("%.*f", std::max(-power, 0), v));
    }
  }
  return t;
}
