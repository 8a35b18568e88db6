#include "io/file_io.h"

#include "core/error_message.h"

file_io::file_io(const char* name, const char* mode) : mode_(mode), name_(name) {}

file_io::~file_io() = default;

std::FILE* file_io::open_handle() { return std::fopen(name_.c_str(), mode_.c_str()); }

int file_io::open() {
  close_handle();
  refusal_.clear();
  std::FILE* f = name_.is_empty() ? nullptr : open_handle();
  if (!f) {
    add_error(name_.c_str());
    add_error(": Cannot open file");
    if (!refusal_.empty()) {
      add_error(": ");
      add_error(refusal_.c_str());
    }
    return 0;
  }
  file_.reset(f);
  on_opened();
  return 1;
}

int file_io::open(const char* name) {
  name_.assign(name);
  return open();
}

bool file_io::open_or_report(const assoc_class* root) {
  if (open()) return true;
  global_error_message().append(error_text.c_str());
  error_text.assign("");
  show_error(root);
  return false;
}

bool file_io::close_handle() {
  std::FILE* f = file_.release();
  if (!f) return true;
  const bool write_failed = std::ferror(f) != 0;
  return std::fclose(f) == 0 && !write_failed;
}
