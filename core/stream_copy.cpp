#include "core/stream_copy.h"

#include <cstring>

#include "core/text_helpers.h"

namespace {

// strchr would also find the terminating NUL, turning a NUL byte of a file
// into a delimiter.
bool is_delimiter(char c, const char* delimiters) {
  return c != '\0' && delimiters && std::strchr(delimiters, c) != nullptr;
}

// Deals with the character that stopped a copy, just read.
void settle(stream_out& out, stream_in& in, char stop, int mode) {
  if (mode == copy_mode::leave)
    in.unget();
  else if (mode == copy_mode::copy)
    out.put_char(stop);
}

}  // namespace

int copy_word(stream_out& out, stream_in& in) {
  in.skip_space();
  int copied = 0;
  while (!in.at_end()) {
    const char c = in.get();
    if (is_separator(c)) {
      in.unget();
      break;
    }
    out.put_char(c);
    ++copied;
  }
  return copied;
}

int copy_until_any(stream_out& out, stream_in& in, const char* delimiters, int mode) {
  while (!in.at_end()) {
    in.skip_space();
    while (!in.at_end()) {
      const char c = in.get();
      if (is_delimiter(c, delimiters)) {
        // Taken as it stands: skipping space before it would, in comment
        // mode, swallow a delimiter that is also a comment mark.
        settle(out, in, c, mode);
        return 1;
      }
      if (is_separator(c)) {
        in.unget();
        // The blank joins this word to the next; a word cut off by the end
        // of the input gets none.
        out.put_char(' ');
        break;
      }
      out.put_char(c);
    }
  }
  return 0;
}

int copy_until_char(stream_out& out, stream_in& in, char ch, int mode) {
  while (!in.at_end()) {
    const char c = in.get();
    if (c == ch) {
      settle(out, in, c, mode);
      return 1;
    }
    out.put_char(c);
  }
  return 0;
}
