#include "io/file_in.h"

#include <climits>
#include <filesystem>
#include <system_error>

file_in::file_in(const char* name, bool open_now) : file_io(name, "r") {
  set_comment_mode(true);
  if (open_now) open();
}

std::FILE* file_in::open_handle() {
  // The runtime opens a directory for reading and then fails every read,
  // which would pass for an empty file.
  std::error_code error;
  if (std::filesystem::is_directory(file_name(), error)) return nullptr;
  return file_io::open_handle();
}

void file_in::on_opened() {
  pushed_back_.free_storage();
  consumed_ = 0;
  steps_back_ = 0;
}

int file_in::read_byte() {
  std::FILE* f = handle();
  if (!f) return EOF;
  // Unlocked: a stream is read on one thread, a character at a time.
  const int b = getc_unlocked(f);
  if (b != '\r') return b;
  const int next = getc_unlocked(f);
  if (next == '\n') return '\n';
  if (next != EOF) std::ungetc(next, f);
  return b;
}

int file_in::position() { return consumed_ > INT_MAX ? INT_MAX : static_cast<int>(consumed_); }

bool file_in::at_end() {
  if (!pushed_back_.empty()) return false;
  const int b = read_byte();
  if (b == EOF) return true;
  pushed_back_.push(static_cast<char>(b));
  return false;
}

char file_in::get() {
  char c;
  if (!pushed_back_.empty()) {
    c = pushed_back_.pop();
  } else {
    const int b = read_byte();
    if (b == EOF) return 0;
    c = static_cast<char>(b);
  }
  history_.put(c);
  ++consumed_;
  if (steps_back_ < history_size) ++steps_back_;
  return c;
}

void file_in::unget() {
  // Beyond the history the ring holds newer characters: stepping back further
  // would hand out the wrong ones.
  if (steps_back_ == 0) return;
  --steps_back_;
  --consumed_;
  pushed_back_.push(history_.step_back());
}
