#include "io/file_out.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "core/text_helpers.h"

file_out::file_out(const char* name, bool open_now, write_mode how) : file_io(name, "w"), how_(how) {
  if (open_now) open();
}

file_out::~file_out() {
  if (how_ == write_mode::replace_on_commit) discard_temporary();
}

std::FILE* file_out::open_handle() {
  error_number_ = 0;
  if (how_ == write_mode::direct) {
    std::FILE* f = file_io::open_handle();
    if (!f) note_failure(errno);
    return f;
  }
  discard_temporary();
  // "x" refuses a file that already exists, so a leftover or a second writer
  // of the same target is never overwritten: the next name is tried instead.
  const std::string base = std::string(file_name()) + ".tmp";
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::string candidate = base + std::to_string(attempt);
    std::FILE* f = std::fopen(candidate.c_str(), "wx");
    if (f) {
      temp_name_.assign(candidate.c_str());
      return f;
    }
    const int error = errno;
    // Only a name already taken is worth another try: a folder that refuses
    // one name (read-only, missing) refuses them all.
    if (error != EEXIST || attempt == 99) {
      note_failure(error);
      break;
    }
  }
  return nullptr;
}

void file_out::discard_temporary() {
  close_handle();
  if (temp_name_.is_empty()) return;
  std::error_code ignored;
  std::filesystem::remove(temp_name_.c_str(), ignored);
  temp_name_.assign("");
}

bool file_out::commit() {
  if (!is_open()) {
    add_error(file_name());
    add_error(": Cannot save file");
    return false;
  }
  bool ok = std::fflush(handle()) == 0;
  if (!ok) note_failure(errno);
  if (!close_handle()) {
    note_failure(errno);
    ok = false;
  }
  if (ok && how_ == write_mode::replace_on_commit) {
    std::error_code error;
    std::filesystem::rename(temp_name_.c_str(), file_name(), error);
    if (!error) temp_name_.assign("");
    if (error) note_failure(error.value());
    ok = !error;
  }
  if (how_ == write_mode::replace_on_commit) discard_temporary();
  if (!ok) {
    add_error(file_name());
    add_error(": Cannot save file");
  }
  return ok;
}

void file_out::write(const char* text, std::size_t n) {
  if (std::FILE* f = handle(); f && n > 0 && std::fwrite(text, 1, n, f) != n) note_failure(errno);
}

void file_out::note_failure(int error) {
  // The first failure is the cause; later ones follow from it.
  if (error_number_ == 0) error_number_ = error;
}

void file_out::put_text(const my_string& text) { put_chars(text.c_str()); }

void file_out::put_chars(const char* text) {
  if (text) write(text, std::strlen(text));
}

void file_out::put_char(char c) { write(&c, 1); }

void file_out::put_double(double x) {
  const std::string s = format_number("%-1.4f", x);
  write(s.data(), s.size());
}

void file_out::put_float(float x) { put_double(static_cast<double>(x)); }

void file_out::put_int(int n) {
  const std::string s = format_int(n);
  write(s.data(), s.size());
}

std::string why_not_writable(const std::string& path, int error) {
  namespace fs = std::filesystem;
  std::error_code ignored;
  const fs::path file(path);
  fs::path folder = file.parent_path();
  if (folder.empty()) folder = ".";
  if (fs::is_directory(file, ignored)) return "it is a folder";
  if (!fs::exists(folder, ignored)) return "the folder " + folder.string() + " does not exist";
  if (!fs::is_directory(folder, ignored)) return folder.string() + " is not a folder";
  if (error != 0) return std::strerror(error);
  return "the file system refused it";
}
