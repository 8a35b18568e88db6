#include "app/platform/figure_file.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#include "io/file_out.h"

figure_format figure_format_of(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == ".png") return figure_format::png;
  if (ext == ".svg") return figure_format::svg;
  return figure_format::other;
}

bool write_file_replacing(const std::string& path, std::string_view bytes, std::string& why) {
  std::error_code ignored;
  const bool folder = std::filesystem::is_directory(path, ignored);
  file_out out(path.c_str(), !folder, file_out::write_mode::replace_on_commit);
  if (out.is_open()) {
    // The stream writes C strings: a PNG's NUL bytes go one at a time.
    std::string piece;
    for (std::size_t at = 0; at < bytes.size();) {
      const std::size_t nul = bytes.find('\0', at);
      const std::size_t end = nul == std::string_view::npos ? bytes.size() : nul;
      piece.assign(bytes.substr(at, end - at));
      out.put_chars(piece.c_str());
      if (nul != std::string_view::npos) out.put_char('\0');
      at = end + 1;
    }
    if (out.commit()) return true;
  }
  why = path + ": Cannot write file: " + why_not_writable(path, out.error_number());
  return false;
}
