#pragma once

#include <memory>
#include <string_view>

// The program's text: a NUL-terminated buffer of exactly the size asked for.
// There is no length member; the length is the count of bytes before the NUL.
class my_string {
 public:
  my_string();
  my_string(const char* text);  // NOLINT: texts convert implicitly, as literals do
  my_string(std::string_view text);
  // The double formatted with a printf-style format such as "%-1.4f".
  my_string(double x, const char* format);
  my_string(const my_string& other);
  my_string(my_string&& other);
  my_string& operator=(const my_string& other);
  my_string& operator=(my_string&& other);
  ~my_string() = default;

  const char* c_str() const { return buf_.get(); }
  operator const char*() const { return buf_.get(); }  // NOLINT
  std::string_view view() const { return std::string_view(buf_.get()); }
  int length() const;
  int capacity() const { return capacity_; }
  char* data() { return buf_.get(); }

  my_string& assign(const char* text);
  my_string& assign(std::string_view text);
  my_string& append(const char* text);
  my_string& append(std::string_view text);
  my_string& append(char c);
  my_string& append(int n);
  my_string& append(double x);
  my_string& append(float x) { return append(static_cast<double>(x)); }
  my_string& prepend(const char* text);

  bool is_empty() const { return buf_[0] == '\0'; }
  bool equals(const char* text) const;
  bool is_char(char c) const { return buf_[0] == c && buf_[0] != '\0' && buf_[1] == '\0'; }

  my_string& replace_char(char a, char b);
  my_string& replace_word_char(char a, char b);
  // Replaces the extension of the last path component, the text after its
  // last '.', or appends one when the name has no '.'. The case of the text
  // is kept: paths are case-sensitive here.
  my_string& set_extension(const char* ext);
  my_string& to_lower();
  my_string& pad_right(int n);
  my_string& center(int n);
  my_string& trim_left();
  my_string& trim_right();
  my_string& trim() { return trim_right().trim_left(); }
  // Shortens the text to n characters (no effect when already shorter).
  my_string& truncate(int n);

  int word_count() const;
  bool has_more_words_than(int n) const { return word_count() > n; }
  // Cuts the text at the start of its n-th word from the end; the separators
  // before that word stay.
  my_string& drop_last_words(int n);

 private:
  void reserve_exact(int bytes, bool keep);

  std::unique_ptr<char[]> buf_;
  int capacity_ = 0;  // bytes, terminator included
};

bool operator==(const my_string& a, const my_string& b);
