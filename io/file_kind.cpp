#include "io/file_kind.h"

#include <sys/stat.h>

#include <filesystem>
#include <system_error>

std::string not_a_regular_file(unsigned mode) {
  if (S_ISREG(mode)) return "";
  if (S_ISDIR(mode)) return "it is a folder";
  if (S_ISFIFO(mode)) return "it is a FIFO, not a regular file";
  if (S_ISCHR(mode) || S_ISBLK(mode)) return "it is a device, not a regular file";
  if (S_ISSOCK(mode)) return "it is a socket, not a regular file";
  return "it is not a regular file";
}

std::string not_a_regular_file(const std::string& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return "";
  return not_a_regular_file(static_cast<unsigned>(st.st_mode));
}

bool same_file(const std::string& a, const std::string& b) {
  std::error_code error;
  const bool same = std::filesystem::equivalent(a, b, error);
  return same && !error;
}
