#include "app/text/text_file.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "app/capture/capture_as_txt_3.h"
#include "io/file_kind.h"

namespace {

// Why a file cannot be read, in words for a message.
std::string why_not_readable(const std::string& path, int error) {
  std::error_code ignored;
  if (const std::string why = not_a_regular_file(path); !why.empty()) return why;
  if (!std::filesystem::exists(path, ignored)) return "it does not exist";
  if (error != 0) return std::strerror(error);
  return "the file system refused it";
}

}  // namespace

bool read_text_file(const std::string& path, text_file_content& content, std::string& why) {
  errno = 0;
  // A folder opens for reading and then reads as nothing, which would pass
  // for an empty file; a FIFO blocks the open, a device never ends.
  std::ifstream in;
  if (not_a_regular_file(path).empty()) in.open(path, std::ios::binary);
  std::string bytes;
  if (in) bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (!in.is_open() || in.bad()) {
    why = path + ": Cannot open file: " + why_not_readable(path, errno);
    return false;
  }
  const std::size_t first_lf = bytes.find('\n');
  content.ends = first_lf != std::string::npos && first_lf > 0 && bytes[first_lf - 1] == '\r' ? line_end::cr_lf
                                                                                              : line_end::lf;
  content.text.clear();
  content.text.reserve(bytes.size());
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') continue;
    content.text += bytes[i];
  }
  return true;
}

std::string text_on_disk(std::string_view text, line_end ends) {
  if (ends == line_end::lf) return std::string(text);
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

bool write_text_file(const std::string& path, std::string_view text, line_end ends, std::string& why) {
  return capture_as_txt_3::write_text(path, text_on_disk(text, ends), why);
}
