#pragma once

#include <cstddef>

#include "core/my_glist.h"
#include "core/my_string.h"
#include "core/stream_out.h"

// Builds a text in memory; the text is always NUL-terminated and can be read
// at any time. A NUL character written to it is dropped, since it would hide
// everything after it.
class string_out : public stream_out {
 public:
  string_out();

  void put_text(const my_string& text) override;
  void put_chars(const char* text) override;
  void put_char(char c) override;

  const char* text() const { return chars_.data(); }
  int length() const { return length_; }
  // Makes the text n characters long: shorter cuts it (0 empties it for
  // reuse), longer pads it with blanks so that later writes stay visible.
  void set_length(int n);

 private:
  void write(const char* text, std::size_t n);
  // Grows the storage in steps of 100 until it holds `bytes`.
  bool reserve(long long bytes);

  my_glist_obj<char> chars_;
  int length_ = 0;
};
