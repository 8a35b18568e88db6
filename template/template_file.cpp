#include "template/template_file.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "io/file_in.h"

#ifndef XRDF_SOURCE_DIR
#define XRDF_SOURCE_DIR "."
#endif

namespace {

std::string& explicit_path() {
  static std::string path;
  return path;
}

std::string executable_dir() {
  std::error_code ec;
  const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : exe.parent_path().string();
}

bool readable(const std::string& path) {
  std::ifstream f(path);
  return f.good();
}

}  // namespace

void set_template_path(const std::string& path) { explicit_path() = path; }

std::string locate_template_file() {
  if (!explicit_path().empty()) return explicit_path();
  if (const char* env = std::getenv("XRDFOURIER_TEMPLATE"); env && *env) return env;
  {
    file_in pointer("template", true);
    if (pointer.is_open()) {
      const std::string word = pointer.read_word();
      if (!word.empty()) return word;
    }
  }
  const std::string dir = executable_dir();
  if (!dir.empty()) {
    for (const char* rel : {"/resources/xrdfourier.tpl", "/../resources/xrdfourier.tpl", "/../../resources/xrdfourier.tpl",
                            "/../share/xrdfourier/xrdfourier.tpl"}) {
      const std::string candidate = dir + rel;
      if (readable(candidate)) return candidate;
    }
  }
  return std::string(XRDF_SOURCE_DIR) + "/resources/xrdfourier.tpl";
}

std::string template_directory() {
  const std::string path = locate_template_file();
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

bool template_file_readable(std::string& path) {
  path = locate_template_file();
  return readable(path);
}
