#include "core/stream_out.h"

#include <string>

#include "core/text_helpers.h"

stream_out::~stream_out() = default;

void stream_out::put_text(const my_string&) {}
void stream_out::put_chars(const char*) {}
void stream_out::put_char(char) {}

void stream_out::put_double(double x) { put_chars(format_number("%-1.4f", x).c_str()); }

void stream_out::put_float(float x) { put_double(static_cast<double>(x)); }

void stream_out::put_int(int n) { put_chars(format_int(n).c_str()); }

void stream_out::new_line() {
  if (crlf_mode())
    put_chars("\r\n");
  else
    put_char('\n');
}

void stream_out::set_crlf_mode() {
  clear(lf_bits);
  set(crlf_bit);
}

void stream_out::write_text_token(const my_string& text) {
  if (text.is_empty())
    put_char('~');
  else
    put_text(text);
}
