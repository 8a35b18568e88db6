#include "io/file_out.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "io/file_kind.h"

file_out::file_out(const char* name, bool open_now, write_mode how) : file_io(name, "w"), how_(how) {
  if (open_now) open();
}

file_out::~file_out() {
  if (how_ == write_mode::replace_on_commit) discard_temporary();
}

std::FILE* file_out::open_handle() {
  error_number_ = 0;
  // Only a regular file is replaced: a new file renamed over a FIFO or a
  // device node would destroy it (as root, /dev/full itself), and writing
  // into one blocks or never fails.
  if (const std::string why = not_a_regular_file(file_name()); !why.empty()) {
    refuse_because(why);
    note_failure(EINVAL);
    return nullptr;
  }
  if (how_ == write_mode::direct) {
    std::FILE* f = file_io::open_handle();
    if (!f) note_failure(errno);
    return f;
  }
  discard_temporary();
  // A link is kept and the file it leads to replaced: the rename would
  // otherwise put the new file in the link's place.
  target_ = file_name();
  std::error_code error;
  if (std::filesystem::is_symlink(std::filesystem::symlink_status(target_, error))) {
    const std::filesystem::path real = std::filesystem::weakly_canonical(target_, error);
    if (!error) target_ = real.string();
  }
  // "x" refuses a file that already exists, so a leftover or a second writer
  // of the same target is never overwritten: the next name is tried instead.
  const std::string base = target_ + ".tmp";
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
  if (ok && how_ == write_mode::replace_on_commit && !not_a_regular_file(target_).empty()) {
    // Something other than a file took the name while the stream wrote.
    note_failure(EINVAL);
    ok = false;
  }
  if (ok && how_ == write_mode::replace_on_commit) {
    std::error_code error;
    std::filesystem::rename(temp_name_.c_str(), target_, error);
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

std::string why_not_writable(const std::string& path, int error) {
  namespace fs = std::filesystem;
  const fs::path file(path);
  fs::path folder = file.parent_path();
  if (folder.empty()) folder = ".";
  if (const std::string why = not_a_regular_file(path); !why.empty()) return why;
  // A path the system cannot even look up (too long, a loop of links) is
  // said as the system says it, not taken for a missing folder.
  std::error_code looked_up;
  const fs::file_status folder_status = fs::status(folder, looked_up);
  if (looked_up && looked_up != std::errc::no_such_file_or_directory && looked_up != std::errc::not_a_directory)
    return looked_up.message();
  if (!fs::exists(folder_status)) return "the folder " + folder.string() + " does not exist";
  if (!fs::is_directory(folder_status)) return folder.string() + " is not a folder";
  if (error != 0) return std::strerror(error);
  return "the file system refused it";
}
