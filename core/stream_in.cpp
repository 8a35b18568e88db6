#include "core/stream_in.h"

#include <array>
#include <cmath>
#include <limits>

#include "core/text_helpers.h"

namespace {

// One word buffer for every stream: words are read, looked at and copied one
// at a time on the single user-interface thread.
std::array<char, stream_in::max_word + 1>& word_buffer() {
  static std::array<char, stream_in::max_word + 1> buffer{};
  return buffer;
}

}  // namespace

stream_in::~stream_in() = default;

int stream_in::position() { return 0; }
bool stream_in::at_end() { return true; }
char stream_in::get() { return 0; }
void stream_in::unget() {}
const char* stream_in::source_name() { return ""; }
void stream_in::set_position(int) {}

bool stream_in::skip_blanks() {
  while (!at_end()) {
    if (!is_separator(get())) {
      unget();
      return true;
    }
  }
  return false;
}

void stream_in::skip_space() {
  if (!comment_mode()) {
    skip_blanks();
    return;
  }
  while (skip_blanks()) {
    const char c = get();
    if (c == '\'') {
      skip_line();
      continue;
    }
    if (c == '/' && !at_end()) {
      if (get() == '*') {
        skip_block_comment();
        continue;
      }
      unget();
    }
    // Data starts here, a lone slash included.
    unget();
    return;
  }
}

// Entered just after the opening "/*". Each "/*" and "*/" is taken as a
// pair, so in "/*/" the slash cannot close the comment its star opened.
void stream_in::skip_block_comment() {
  int depth = 1;
  while (depth > 0 && !at_end()) {
    const char c = get();
    if ((c != '/' && c != '*') || at_end()) continue;
    const char next = get();
    if (c == '/' && next == '*')
      ++depth;
    else if (c == '*' && next == '/')
      --depth;
    else
      unget();
  }
}

const char* stream_in::read_word() {
  auto& buffer = word_buffer();
  skip_space();
  int n = 0;
  while (!at_end()) {
    const char c = get();
    if (is_separator(c)) {
      unget();
      break;
    }
    // A longer word keeps its first max_word characters and the rest of it
    // is consumed, so the stream stays at a word boundary instead of handing
    // out the tail as a word of its own.
    if (n < max_word) buffer[n++] = c;
  }
  buffer[n] = '\0';
  return buffer.data();
}

bool stream_in::read_line(my_string& line) {
  std::array<char, max_line + 1> buffer;
  if (at_end()) {
    line.assign("");
    return false;
  }
  int n = 0;
  bool too_long = false;
  while (!at_end()) {
    const char c = get();
    if (c == '\n') break;
    if (n < max_line)
      buffer[n++] = c;
    else
      too_long = true;
  }
  if (too_long) {
    // Keeping the old text or handing out a cut line would both pass for the
    // real line; an empty line and a false result cannot be mistaken for it.
    line.assign("");
    add_error(source_name());
    add_error(": line too long\n");
    return false;
  }
  buffer[n] = '\0';
  line.assign(buffer.data());
  return true;
}

int stream_in::skip_line() { return skip_past('\n'); }

int stream_in::skip_past(char ch) {
  while (!at_end())
    if (get() == ch) return 1;
  return 0;
}

int stream_in::find_word(const char* text) {
  // The text may itself be a word in the shared buffer that read_word is
  // about to overwrite.
  const my_string wanted(text);
  if (wanted.is_empty()) return 0;
  while (!at_end())
    if (wanted.equals(read_word())) return 1;
  return 0;
}

int stream_in::read_position() {
  skip_space();
  return position();
}

double stream_in::read_double() { return text_to_double(read_word()); }

float stream_in::read_float() {
  const double x = read_double();
  // Converting a double beyond the float range is undefined; give the
  // infinity the hardware would.
  constexpr double top = std::numeric_limits<float>::max();
  if (x > top) return std::numeric_limits<float>::infinity();
  if (x < -top) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(x);
}

long stream_in::read_long() { return text_to_long(read_word()); }

void stream_in::read_string(my_string& s) { s.assign(read_word()); }

void stream_in::read_text_token(my_string& s) {
  const char* word = read_word();
  // A carriage return ending the word belongs to a line end: written back
  // at the end of a record's line, the reader would take it for one.
  std::string text = word;
  while (!text.empty() && text.back() == '\r') text.pop_back();
  if (text == "~")
    s.assign("");
  else
    s.assign(text.c_str());
}
