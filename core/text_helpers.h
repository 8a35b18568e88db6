#pragma once

#include <cmath>
#include <optional>
#include <string>

// Character classes and small numeric helpers shared by the readers, the
// interpreter and the curves.

// Blank, newline, tab and the byte 0xFF separate words.
inline bool is_separator(char c) { return c == ' ' || c == '\n' || c == '\t' || c == '\xff'; }
inline bool is_digit(char c) { return c >= '0' && c <= '9'; }
inline bool is_sign(char c) { return c == '+' || c == '-'; }
inline bool is_sign_or_digit(char c) { return is_sign(c) || is_digit(c); }
inline bool is_number_char(char c) { return is_sign_or_digit(c) || c == '.'; }

// Index of c in text, or not_found.
int index_in(char c, const char* text);

template <class T>
bool in_range(T x, T lo, T hi) {
  return x >= lo && x <= hi;
}
template <class T>
T clamp(T x, T lo, T hi) {
  return x < lo ? lo : (x > hi ? hi : x);
}
// Rounds half away from zero; saturates instead of overflowing.
int nearest(double x);
inline bool is_even(int n) { return (n & 1) == 0; }
inline bool is_odd(int n) { return (n & 1) != 0; }
inline int even_below(int n) { return (n >> 1) * 2; }
inline int odd_above(int n) { return (n >> 1) * 2 + 1; }
// Intersection of [a1,a2] and [b1,b2]; false when they do not meet.
bool overlap(double a1, double a2, double b1, double b2, double& lo, double& hi);
// x when |x| >= eps, else eps carrying the sign of x (+ for 0).
inline double at_least_magnitude(double x, double eps) {
  if (std::fabs(x) >= eps) return x;
  return x < 0 ? -eps : eps;
}

// printf-style formatting of one number into a std::string.
std::string format_number(const char* format, double x);
std::string format_int(int n);
// A cell of a comma-separated row: quoted when it holds a comma, a quote or
// a line end, its quotes doubled.
std::string csv_cell(const std::string& text);
// With a template-given format; falls back to "%d" when it is no int format.
std::string format_int(const char* format, int n);
// The project's text forms: doubles "%-1.4f", integers "%d".
inline std::string text_of(double x) { return format_number("%-1.4f", x); }
// A number written to be read back: "%-1.4f" when that reads back as the
// same value, otherwise the fewest significant digits that do. Four or six
// fixed decimals alone would turn a small value (a tail coefficient of 1e-9)
// into zero.
std::string exact_number_text(double x);
std::string exact_number_text(float x);

// The runtime library's leading-number conversions: 0 for text that is no number.
long text_to_long(const char* text);
double text_to_double(const char* text);

// A text that is wholly one finite number: blanks around it, a leading '+'
// and an exponent are allowed, anything else is not ("12abc", "", "nan",
// "inf", "1e400"). Read the same whatever the locale, which a GUI toolkit
// may have set to one with a decimal comma.
std::optional<double> whole_number(const char* text);
