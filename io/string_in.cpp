#include "io/string_in.h"

#include <climits>
#include <cstring>

#include "core/text_helpers.h"

namespace {

int text_length(const char* text) {
  const std::size_t n = std::strlen(text);
  return n > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(n);
}

}  // namespace

string_in::string_in(const char* text) : text_(text ? text : ""), end_(text_length(text_)) {}

char string_in::get() {
  if (pos_ >= end_) return 0;
  return text_[pos_++];
}

void string_in::unget() {
  if (pos_ > 0) --pos_;
}

void string_in::set_position(int pos) { pos_ = clamp(pos, 0, end_); }
