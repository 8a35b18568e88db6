#pragma once

#include <cstdint>

#include "core/error_class.h"
#include "core/my_flag.h"
#include "core/my_string.h"

// Source of characters. Concrete streams supply the six virtual operations;
// every reader is written against the operations built on them here.
class stream_in : public my_flag, public virtual error_class {
 public:
  // Flag bit: apostrophe lines and /* */ blocks count as space between words.
  static constexpr std::uint32_t comment_bit = 0x4;
  // Longest word read_word hands out; the shared buffer adds the NUL.
  static constexpr int max_word = 1999;
  // Longest line read_line accepts.
  static constexpr int max_line = 1999;

  stream_in() = default;
  stream_in(const stream_in&) = delete;
  stream_in& operator=(const stream_in&) = delete;
  virtual ~stream_in();

  // Characters consumed so far.
  virtual int position();
  // A stream with no source of its own is empty, so the readers built below
  // always come to an end on it.
  virtual bool at_end();
  // The next character, 0 at the end.
  virtual char get();
  // Steps back one character, so that get hands it out again.
  virtual void unget();
  virtual const char* source_name();
  virtual void set_position(int pos);

  // Skips separators; true when a character other than a separator follows.
  bool skip_blanks();
  // Skips separators and, in comment mode, comments between words too.
  void skip_space();
  // The next word, in a buffer shared by all streams and overwritten by the
  // next read_word: copy it before reading again. Empty at the end.
  const char* read_word();
  // The next line without its newline. False at the end of the input, and
  // for a line longer than max_line, which is then skipped whole, leaves
  // `line` empty and is noted in the error text.
  bool read_line(my_string& line);
  // Consumes up to and including the next newline; 1 if there was one.
  int skip_line();
  // Consumes up to and including the next ch; 1 if there was one.
  int skip_past(char ch);
  // Reads words until one equals text; 1 if found, 0 at the end.
  int find_word(const char* text);
  // The position of the next word.
  int read_position();
  // A word converted as the C runtime does; 0 for a word that is no number.
  double read_double();
  float read_float();
  long read_long();
  void read_string(my_string& s);
  // As read_string, but the word "~" stands for the empty text.
  void read_text_token(my_string& s);

  bool comment_mode() const { return test(comment_bit) != 0; }
  void set_comment_mode(bool on) { assign(comment_bit, on); }

 private:
  void skip_block_comment();
};
