#include "core/text_helpers.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>
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
  // Beyond 1e15 fixed decimals only spell out the binary value's digits.
  if (std::fabs(x) < 1e15 && read_back(text, x) == x) return text;
  for (int digits = 6; digits <= 17; ++digits) {
    char format[16];  // room for any int the compiler cannot bound
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

namespace {

// The digits N of a format "%-1.Nf" or "%.Nf" (N one digit), the forms the
// reports and the project write numbers in; -1 for any other format.
int plain_fixed_digits(const char* format) {
  if (format[0] != '%') return -1;
  const char* p = format + 1;
  if (p[0] == '-' && p[1] == '1') p += 2;
  if (p[0] != '.' || !is_digit(p[1]) || p[2] != 'f' || p[3] != '\0') return -1;
  return p[1] - '0';
}

// x (finite) with `digits` decimals, as printf writes it: the exact binary
// value times 10^digits, rounded to the nearest integer with ties to even,
// and a minus sign whenever the sign bit is set ("-0.0000" included). Into
// buf, returning the end; null when the magnitude reaches 1e15 or its digits
// would not fit 64 bits, which the caller formats otherwise.
const char* fixed_digits(char* buf, double x, int digits) {
  static constexpr std::uint64_t powers[10] = {1,      10,      100,      1000,      10000,
                                               100000, 1000000, 10000000, 100000000, 1000000000};
  const std::uint64_t scale = powers[digits];
  const double magnitude = std::fabs(x);
  if (!(magnitude < 1e15) || !(magnitude * static_cast<double>(scale) < 1e19)) return nullptr;
  std::uint64_t q = 0;  // the rounded |x| times 10^digits
  if (magnitude > 0) {
    int exponent = 0;
    const double fraction = std::frexp(magnitude, &exponent);  // magnitude = fraction 2^exponent
    const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 53));  // exact
    const int shift = 53 - exponent;  // magnitude = mantissa / 2^shift; shift > 3 below 1e15
    const unsigned __int128 scaled = static_cast<unsigned __int128>(mantissa) * scale;  // < 2^83
    if (shift < 120) {
      q = static_cast<std::uint64_t>(scaled >> shift);
      const unsigned __int128 rest = scaled & ((static_cast<unsigned __int128>(1) << shift) - 1);
      const unsigned __int128 half = static_cast<unsigned __int128>(1) << (shift - 1);
      if (rest > half || (rest == half && (q & 1))) ++q;
    }  // else below 2^-37 of a unit in the last place: 0
  }
  char* p = buf;
  if (std::signbit(x)) *p++ = '-';
  std::uint64_t whole = q / scale;
  char digits_of_whole[20];
  int n = 0;
  do {
    digits_of_whole[n++] = static_cast<char>('0' + whole % 10);
    whole /= 10;
  } while (whole > 0);
  while (n > 0) *p++ = digits_of_whole[--n];
  if (digits > 0) {
    *p++ = '.';
    std::uint64_t part = q % scale;
    for (int i = digits - 1; i >= 0; --i) {
      p[i] = static_cast<char>('0' + part % 10);
      part /= 10;
    }
    p += digits;
  }
  return p;
}

}  // namespace

std::string format_number(const char* format, double x) {
  const int digits = format ? plain_fixed_digits(format) : -1;
  if (digits < 0 && !format_is_safe(format, "fFeEgGaA")) format = "%-1.4f";
  // A report writes tens of thousands of numbers, faster than printf can:
  // these formats take the same characters from an exact computation.
  if (digits >= 0 && std::isfinite(x)) {
    char buf[400];  // the largest double has 309 digits before the point
    if (const char* end = fixed_digits(buf, x, digits)) return std::string(static_cast<const char*>(buf), end);
    const std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::fixed, digits);
    if (r.ec == std::errc()) return std::string(buf, r.ptr);
  }
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

std::optional<double> whole_number(const char* text) {
  if (!text) return std::nullopt;
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  const char* first = text;
  while (blank(*first)) ++first;
  const char* last = first + std::strlen(first);
  while (last > first && blank(last[-1])) --last;
  // from_chars takes no '+', and a '+' must not let a second sign through.
  if (first < last && *first == '+' && first + 1 < last && first[1] != '-' && first[1] != '+') ++first;
  double x = 0.0;
  const std::from_chars_result r = std::from_chars(first, last, x, std::chars_format::general);
  if (r.ec != std::errc() || r.ptr != last || first == last || !std::isfinite(x)) return std::nullopt;
  return x;
}

std::string exact_number_text(double x) { return exact_text(x); }

std::string exact_number_text(float x) { return exact_text(x); }

std::string csv_cell(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + "\"";
}
