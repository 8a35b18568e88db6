#pragma once

#include <cstdint>

#include "core/error_class.h"
#include "core/my_flag.h"
#include "core/my_string.h"

// Sink of characters. Concrete streams supply the three virtual operations;
// writers use those and the number, line and token operations built on them
// here, so that every stream writes a number with the same characters.
class stream_out : public my_flag, public virtual error_class {
 public:
  // Flag bits: lines end in LF while lf_bits are set, in CR LF with crlf_bit.
  static constexpr std::uint32_t lf_bits = 0x1 | 0x2;
  static constexpr std::uint32_t crlf_bit = 0x4;

  stream_out() { set(lf_bits); }
  stream_out(const stream_out&) = delete;
  stream_out& operator=(const stream_out&) = delete;
  virtual ~stream_out();

  virtual void put_text(const my_string& text);
  virtual void put_chars(const char* text);
  virtual void put_char(char c);
  // Numbers go out as "%-1.4f" (four decimals, no padding) and "%d", the
  // same in every locale.
  void put_double(double x);
  void put_float(float x);
  void put_int(int n);

  void new_line();
  void set_crlf_mode();
  bool crlf_mode() const { return test(crlf_bit) != 0; }
  // The empty text is written "~" so that it still reads back as a word.
  void write_text_token(const my_string& text);
};
