#include "app/views/lam_9.h"

#include <cstdlib>

#include "core/paths.h"

bool lam_9::parse(const char* text, lam_9& out) {
  if (!text) return false;
  std::vector<double> numbers;
  const char* p = text;
  for (;;) {
    char* end = nullptr;
    const double v = std::strtod(p, &end);
    if (end == p) break;
    numbers.push_back(v);
    p = end;
  }
  if (numbers.size() < 4 || numbers.size() % 2 != 0) return false;
  lam_9 set;
  set.reference_wavelength = numbers[0];
  set.reference_intensity = numbers[1];
  if (!(set.reference_wavelength > 0.0) || !(set.reference_intensity > 0.0)) return false;
  for (std::size_t i = 2; i + 1 < numbers.size(); i += 2) {
    if (!(numbers[i] > 0.0)) return false;
    set.components.push_back({numbers[i], numbers[i + 1]});
  }
  out = set;
  return true;
}

bool lam_9::find(const std::string& name, lam_9& out) {
  if (name.empty() || name.find(' ') != std::string::npos) return false;
  return parse(query_value(("win_misc c wavelengths c " + name).c_str()), out);
}
