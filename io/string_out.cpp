#include "io/string_out.h"

#include <climits>
#include <cstring>

namespace {

constexpr int growth_step = 100;

}  // namespace

string_out::string_out() {
  chars_.resize(1);
  chars_[0] = '\0';
}

bool string_out::reserve(long long bytes) {
  if (bytes <= chars_.capacity()) return true;
  const long long steps = (bytes - chars_.capacity() + growth_step - 1) / growth_step;
  const long long wanted = chars_.capacity() + steps * growth_step;
  if (wanted > INT_MAX) {
    add_error("string_out: text too long\n");
    return false;
  }
  chars_.resize(static_cast<int>(wanted));
  return true;
}

void string_out::write(const char* text, std::size_t n) {
  if (n == 0) return;
  if (!reserve(static_cast<long long>(length_) + static_cast<long long>(n) + 1)) return;
  std::memcpy(chars_.data() + length_, text, n);
  length_ += static_cast<int>(n);
  chars_.data()[length_] = '\0';
}

void string_out::put_text(const my_string& text) { put_chars(text.c_str()); }

void string_out::put_chars(const char* text) {
  if (text) write(text, std::strlen(text));
}

void string_out::put_char(char c) {
  // A NUL would end the text early and hide everything written after it.
  if (c != '\0') write(&c, 1);
}

void string_out::set_length(int n) {
  if (n < 0) n = 0;
  if (n > length_) {
    if (!reserve(static_cast<long long>(n) + 1)) return;
    std::memset(chars_.data() + length_, ' ', static_cast<std::size_t>(n - length_));
  }
  length_ = n;
  chars_.data()[length_] = '\0';
}
