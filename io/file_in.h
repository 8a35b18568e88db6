#pragma once

#include <cstdio>
#include <string>

#include "core/circular_buffer.h"
#include "core/my_stack.h"
#include "core/stream_in.h"
#include "io/file_io.h"

// Reads a text file byte by byte. Only a regular file is opened (after
// following links): anything else is refused with the reason., with comment mode on. The last
// history_size characters handed out are kept, so that up to that many can
// be stepped back over; stepped-back characters wait on a push-back stack.
//
// Line ends are read as the C runtime's text mode reads them on the system
// the files come from: a CR LF pair is one newline. A carriage return on its
// own is an ordinary character.
class file_in : public file_io, public stream_in {
 public:
  static constexpr int history_size = 500;

  explicit file_in(const char* name, bool open_now = true);

  int position() override;
  bool at_end() override;
  char get() override;
  void unget() override;
  const char* source_name() override { return file_name(); }
  // A file is read straight through; the position cannot be moved.
  void set_position(int) override {}
  // The file's size in bytes when it was opened; 0 while closed.
  long long size() const { return size_; }
  // The rest of the file as its bytes, line ends untouched, stopping after
  // `limit` + 1 bytes: for binary layouts, where CR LF is no line end. Read
  // before any get.
  std::string read_bytes(long long limit);
  // Whether a character looked at (at_end) waits to be handed out by get.
  bool pushed_back() const { return !pushed_back_.empty(); }

 protected:
  std::FILE* open_handle() override;
  void on_opened() override;

 private:
  // The next byte with CR LF made one LF; EOF at the end.
  int read_byte();

  circular_buffer<char> history_{history_size};
  my_stack<char> pushed_back_;
  long long consumed_ = 0;
  long long size_ = 0;
  // How many characters of the history can still be stepped back over.
  int steps_back_ = 0;
};
