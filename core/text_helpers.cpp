#include "core/text_helpers.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "core/my_glist.h"

namespace {

// A format is used only when it holds exactly one conversion of the expected
// kind: template texts must not be able to make printf read what is not there.
bool format_is_safe(const char* format, const char* conversions) {
  if (!format) return false;
  int found = 0;
  for (const char* p = format; *p; ++p) {
    if (*p != '%') continue;
    ++p;
    if (*p == '%') continue;
    while (*p && std::strchr("-+ #0", *p)) ++p;
    while (is_digit(*p)) ++p;
    if (*p == '.') {
      ++p;
      while (is_digit(*p)) ++p;
    }
    if (!*p || !std::strchr(conversions, *p)) return false;
    ++found;
  }
  return found == 1;
}

// What the stream readers make of a number text (a float beyond the float
// range reads as an infinity, as the readers convert it).
double read_back(const std::string& text, double) { return std::strtod(text.c_str(), nullptr); }
float read_back(const std::string& text, float) {
  const double x = std::strtod(text.c_str(), nullptr);
  constexpr double top = std::numeric_limits<float>::max();
  if (x > top) return std::numeric_limits<float>::infinity();
  if (x < -top) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(x);
}

template <class T>
std::string exact_text(T x) {
  std::string text = format_number("%-1.4f", x);
  if (read_back(text, x) == x) return text;
  for (int digits = 6; digits <= 17; ++digits) {
    char format[8];
    std::snprintf(format, sizeof format, "%%.%dg", digits);
    text = format_number(format, x);
    if (read_back(text, x) == x) break;
  }
  return text;
}

}  // namespace

int index_in(char c, const char* text) {
  if (!text) return not_found;
  for (int i = 0; text[i]; ++i)
    if (text[i] == c) return i;
  return not_found;
}

int nearest(double x) {
  if (!(x == x)) return 0;
  const double r = x < 0 ? -std::floor(-x + 0.5) : std::floor(x + 0.5);
  if (r >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (r <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(r);
}

bool overlap(double a1, double a2, double b1, double b2, double& lo, double& hi) {
  lo = a1 > b1 ? a1 : b1;
  hi = a2 < b2 ? a2 : b2;
  return lo <= hi;
}

std::string format_number(const char* format, double x) {
  if (!format_is_safe(format, "fFeEgGaA")) format = "%-1.4f";
  char buf[512];
  const int n = std::snprintf(buf, sizeof buf, format, x);
  if (n < 0) return std::string();
  if (n < static_cast<int>(sizeof buf)) return std::string(buf, static_cast<std::size_t>(n));
  std::string big(static_cast<std::size_t>(n) + 1, '\0');
  std::snprintf(big.data(), big.size(), format, x);
  big.resize(static_cast<std::size_t>(n));
  return big;
}

std::string format_int(int n) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%d", n);
  return buf;
}

std::string format_int(const char* format, int n) {
  if (!format_is_safe(format, "di")) format = "%d";
  char buf[512];
  const int len = std::snprintf(buf, sizeof buf, format, n);
  return len < 0 ? std::string() : std::string(buf);
}

long text_to_long(const char* text) { return text ? std::strtol(text, nullptr, 10) : 0; }

double text_to_double(const char* text) { return text ? std::strtod(text, nullptr) : 0.0; }

std::string exact_number_text(double x) { return exact_text(x); }

std::string exact_number_text(float x) { return exact_text(x); }
