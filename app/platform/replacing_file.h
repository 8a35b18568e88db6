#pragma once

#include <memory>
#include <string>
#include <string_view>

class file_out;

// A text written piece by piece to a temporary file beside `path`, renamed
// into place by commit once all of it is written: a run that stops before,
// or fails to write, leaves the old file as it was and no temporary file.
class replacing_file {
 public:
  explicit replacing_file(const std::string& path);
  ~replacing_file();
  replacing_file(const replacing_file&) = delete;
  replacing_file& operator=(const replacing_file&) = delete;

  void write(std::string_view text);
  // False with "PATH: Cannot write file: REASON" in `why`.
  bool commit(std::string& why);

 private:
  std::string path_;
  std::unique_ptr<file_out> file_;
};
