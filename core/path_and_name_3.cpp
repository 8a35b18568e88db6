#include "core/path_and_name_3.h"

#include <cstring>
#include <string>

#include "core/stream_in.h"

#include "core/stream_out.h"

my_string file_title(const char* path) {
  if (!path) return my_string();
  const char* slash = std::strrchr(path, '/');
  return my_string(slash ? slash + 1 : path);
}

assoc_class* path_and_name_3::set_text(const char* path) {
  ensure_init();
  value_.s.assign(path);
  title_ = file_title(value_.s.c_str());
  run_change_hook();
  return this;
}

bool path_and_name_3::equals(assoc_class& node) {
  auto* other = dynamic_cast<path_and_name_3*>(&node);
  if (!other) return fund_type_3::equals(node);
  return value_.s == other->value_.s;
}

void path_and_name_3::write_value(stream_out& out) {
  ensure_init();
  out.put_chars(value_.s.c_str());
}

void path_and_name_3::write_for_project(stream_out& out) {
  ensure_init();
  if (template_flag(tem_bits::not_for_proj)) return;
  assoc_class::write_for_project(out);
  out.put_chars(value_.s.c_str());
}

bool path_and_name_3::read_for_project(stream_in& in) {
  std::string path;
  while (!in.at_end()) {
    const char c = in.get();
    if (c == '\n') break;
    path += c;
  }
  while (!path.empty() && (path.back() == '\r' || path.back() == ' ')) path.pop_back();
  set_text(path.c_str());
  return true;
}

void path_and_name_3::copy_from(assoc_class& source) {
  if (auto* other = dynamic_cast<path_and_name_3*>(&source); other && other != this) {
    const my_string path = other->value_.s;
    set_text(path.c_str());
  }
  assoc_class::copy_from(source);
}

std::unique_ptr<assoc_class> path_and_name_3::clone_empty() const { return clone_like(*this); }

my_string& path_and_name_3::extension(my_string& out) const {
  const char* dot = std::strrchr(title_.c_str(), '.');
  out.assign(dot ? dot + 1 : "");
  return out;
}

assoc_class* path_and_name_3::change_extension(const char* ext) {
  ensure_init();
  my_string path = value_.s;
  path.set_extension(ext);
  return set_text(path.c_str());
}
