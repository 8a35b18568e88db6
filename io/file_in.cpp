#include "io/file_in.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <string>

#include "io/file_kind.h"

file_in::file_in(const char* name, bool open_now) : file_io(name, "r") {
  set_comment_mode(true);
  if (open_now) open();
}

std::FILE* file_in::open_handle() {
  // Only a regular file is read. The runtime opens a directory and then fails
  // every read, which would pass for an empty file; a FIFO blocks the open
  // until a writer comes, and a device such as /dev/zero never ends. Some
  // devices act on being opened, so the kind is checked first, and again on
  // the open descriptor in case the path changed in between.
  size_ = 0;
  if (const std::string why = not_a_regular_file(file_name()); !why.empty()) {
    refuse_because(why);
    return nullptr;
  }
  const int fd = ::open(file_name(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    if (error != ENOENT) refuse_because(std::strerror(error));
    return nullptr;
  }
  struct stat st {};
  std::string why = ::fstat(fd, &st) == 0 ? not_a_regular_file(static_cast<unsigned>(st.st_mode)) : std::strerror(errno);
  const int flags = why.empty() ? ::fcntl(fd, F_GETFL) : -1;
  if (why.empty() && (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0)) why = std::strerror(errno);
  std::FILE* f = why.empty() ? ::fdopen(fd, "r") : nullptr;
  if (!f) {
    if (why.empty()) why = std::strerror(errno);
    refuse_because(why);
    ::close(fd);
    return nullptr;
  }
  size_ = static_cast<long long>(st.st_size);
  return f;
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

std::string file_in::read_bytes(long long limit) {
  std::string bytes;
  std::FILE* f = handle();
  if (!f) return bytes;
  // Grown block by block, a large file would be copied and its pages
  // cleared again at each doubling.
  bytes.reserve(static_cast<std::size_t>(std::clamp(size_ - consumed_, 0LL, limit + 1)));
  char block[65536];
  while (static_cast<long long>(bytes.size()) <= limit) {
    const std::size_t got = std::fread(block, 1, sizeof block, f);
    if (got == 0) break;
    bytes.append(block, got);
  }
  if (static_cast<long long>(bytes.size()) > limit + 1) bytes.resize(static_cast<std::size_t>(limit + 1));
  consumed_ += static_cast<long long>(bytes.size());
  return bytes;
}
