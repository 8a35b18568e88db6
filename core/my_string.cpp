#include "core/my_string.h"

#include <cctype>
#include <cstring>

#include "core/text_helpers.h"

namespace {

bool is_path_separator(char c) { return c == '/'; }

}  // namespace

my_string::my_string() { reserve_exact(1, false); }

my_string::my_string(const char* text) : my_string() { assign(text); }

my_string::my_string(std::string_view text) : my_string() { assign(text); }

my_string::my_string(double x, const char* format) : my_string() { assign(format_number(format, x)); }

my_string::my_string(const my_string& other) : my_string() { assign(other.view()); }

my_string::my_string(my_string&& other) : my_string() {
  std::swap(buf_, other.buf_);
  std::swap(capacity_, other.capacity_);
}

my_string& my_string::operator=(const my_string& other) {
  if (this != &other) assign(other.view());
  return *this;
}

my_string& my_string::operator=(my_string&& other) {
  if (this != &other) {
    std::swap(buf_, other.buf_);
    std::swap(capacity_, other.capacity_);
  }
  return *this;
}

int my_string::length() const { return buf_ ? static_cast<int>(std::strlen(buf_.get())) : 0; }

void my_string::reserve_exact(int bytes, bool keep) {
  auto fresh = std::make_unique<char[]>(static_cast<std::size_t>(bytes));
  fresh[0] = '\0';
  if (keep && buf_) {
    std::strncpy(fresh.get(), buf_.get(), static_cast<std::size_t>(bytes) - 1);
    fresh[bytes - 1] = '\0';
  }
  buf_ = std::move(fresh);
  capacity_ = bytes;
}

my_string& my_string::assign(const char* text) { return assign(std::string_view(text ? text : "")); }

my_string& my_string::assign(std::string_view text) {
  if (text.empty()) {
    buf_[0] = '\0';
    return *this;
  }
  const int n = static_cast<int>(text.size());
  if (capacity_ < n + 1) {
    // The text may live inside our own buffer: copy before replacing it.
    auto fresh = std::make_unique<char[]>(static_cast<std::size_t>(n) + 1);
    std::memcpy(fresh.get(), text.data(), text.size());
    fresh[n] = '\0';
    buf_ = std::move(fresh);
    capacity_ = n + 1;
  } else {
    std::memmove(buf_.get(), text.data(), text.size());
    buf_[n] = '\0';
  }
  return *this;
}

my_string& my_string::append(const char* text) { return append(std::string_view(text ? text : "")); }

my_string& my_string::append(std::string_view text) {
  if (text.empty()) return *this;
  const int old = length();
  const int n = old + static_cast<int>(text.size());
  if (capacity_ < n + 1) {
    auto fresh = std::make_unique<char[]>(static_cast<std::size_t>(n) + 1);
    std::memcpy(fresh.get(), buf_.get(), static_cast<std::size_t>(old));
    std::memcpy(fresh.get() + old, text.data(), text.size());
    fresh[n] = '\0';
    buf_ = std::move(fresh);
    capacity_ = n + 1;
  } else {
    std::memmove(buf_.get() + old, text.data(), text.size());
    buf_[n] = '\0';
  }
  return *this;
}

my_string& my_string::append(char c) { return append(std::string_view(&c, 1)); }

my_string& my_string::append(int n) { return append(std::string_view(format_int(n))); }

my_string& my_string::append(double x) { return append(std::string_view(text_of(x))); }

my_string& my_string::prepend(const char* text) {
  std::string joined(text ? text : "");
  joined += view();
  return assign(std::string_view(joined));
}

bool my_string::equals(const char* text) const { return text && std::strcmp(buf_.get(), text) == 0; }

my_string& my_string::replace_char(char a, char b) {
  for (char* p = buf_.get(); *p; ++p)
    if (*p == a) *p = b;
  return *this;
}

my_string& my_string::replace_word_char(char a, char b) {
  char* s = buf_.get();
  const int n = length();
  for (int i = 0; i < n; ++i) {
    const bool starts = i == 0 || is_separator(s[i - 1]);
    const bool ends = i + 1 == n || is_separator(s[i + 1]);
    if (s[i] == a && starts && ends) s[i] = b;
  }
  return *this;
}

my_string& my_string::set_extension(const char* ext) {
  std::string text(view());
  std::size_t name_start = text.size();
  while (name_start > 0 && !is_path_separator(text[name_start - 1])) --name_start;
  // The extension follows the last dot of the file name, as extensions are
  // read: "run.2024.xdd" becomes "run.2024.prj", and a dotted folder stays.
  const std::size_t dot = text.rfind('.');
  if (dot != std::string::npos && dot >= name_start) text.erase(dot);
  text += '.';
  text += ext ? ext : "";
  return assign(std::string_view(text));
}

my_string& my_string::to_lower() {
  for (char* p = buf_.get(); *p; ++p) *p = static_cast<char>(std::tolower(static_cast<unsigned char>(*p)));
  return *this;
}

my_string& my_string::pad_right(int n) {
  const int len = length();
  if (n > len) append(std::string_view(std::string(static_cast<std::size_t>(n - len), ' ')));
  return *this;
}

my_string& my_string::center(int n) {
  const int len = length();
  const int pad = static_cast<int>((n - len) * 0.5);
  if (pad > 0) prepend(std::string(static_cast<std::size_t>(pad), ' ').c_str());
  return *this;
}

my_string& my_string::trim_left() {
  const char* s = buf_.get();
  int i = 0;
  while (s[i] && is_separator(s[i])) ++i;
  if (i > 0) assign(std::string_view(std::string(s + i)));
  return *this;
}

my_string& my_string::trim_right() {
  int n = length();
  while (n > 0 && is_separator(buf_[n - 1])) --n;
  buf_[n] = '\0';
  return *this;
}

my_string& my_string::truncate(int n) {
  if (n >= 0 && n < length()) buf_[n] = '\0';
  return *this;
}

int my_string::word_count() const {
  int words = 0;
  bool in_word = false;
  for (const char* p = buf_.get(); *p; ++p) {
    if (is_separator(*p)) {
      in_word = false;
    } else if (!in_word) {
      in_word = true;
      ++words;
    }
  }
  return words;
}

my_string& my_string::drop_last_words(int n) {
  if (n <= 0) return *this;
  int i = length();
  for (int w = 0; w < n; ++w) {
    while (i > 0 && is_separator(buf_[i - 1])) --i;
    if (i == 0) break;
    while (i > 0 && !is_separator(buf_[i - 1])) --i;
  }
  buf_[i] = '\0';
  return *this;
}

bool operator==(const my_string& a, const my_string& b) { return a.view() == b.view(); }
