#include "app/platform/replacing_file.h"

#include <filesystem>
#include <system_error>

#include "io/file_out.h"

replacing_file::replacing_file(const std::string& path) : path_(path) {
  std::error_code ignored;
  // A folder of that name is not opened, so that commit says what it is.
  const bool folder = std::filesystem::is_directory(path, ignored);
  file_ = std::make_unique<file_out>(path.c_str(), !folder, file_out::write_mode::replace_on_commit);
}

replacing_file::~replacing_file() = default;

void replacing_file::write(std::string_view text) {
  // The stream writes C strings; a text has no NUL.
  const std::string piece(text);
  if (file_->is_open()) file_->put_chars(piece.c_str());
}

bool replacing_file::commit(std::string& why) {
  if (file_->is_open() && file_->commit()) return true;
  why = path_ + ": Cannot write file: " + why_not_writable(path_, file_->error_number());
  return false;
}
