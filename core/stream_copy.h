#pragma once

#include "core/stream_in.h"
#include "core/stream_out.h"

// What a copy does with the character that stopped it.
namespace copy_mode {
inline constexpr int consume = 0;  // read and dropped
inline constexpr int copy = 1;     // read and written out
inline constexpr int leave = 2;    // left unread
}  // namespace copy_mode

// Skips space, then copies one word; returns the number of characters copied.
int copy_word(stream_out& out, stream_in& in);

// Copies words, joined by single blanks, until a word is ended by one of the
// delimiter characters; 1 when a delimiter was reached, 0 at the end. A word
// followed by blanks and then the delimiter leaves one trailing blank.
int copy_until_any(stream_out& out, stream_in& in, const char* delimiters, int mode);

// Copies characters as they come until ch; 1 when ch was met, 0 at the end.
int copy_until_char(stream_out& out, stream_in& in, char ch, int mode);
