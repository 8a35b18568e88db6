#include "app/dialogs/open_save_3.h"

#include <string_view>

#include "core/error_message.h"
#include "core/paths.h"
#include "core/text_helpers.h"

namespace {

using namespace file_dialog_flags;

constexpr std::uint32_t flag_table[] = {
    hide_read_only | path_must_exist | file_must_exist,
    hide_read_only | path_must_exist | file_must_exist | allow_multi_select,
    overwrite_prompt | hide_read_only | path_must_exist,
};

std::vector<std::string> words_of(const char* text) {
  std::vector<std::string> words;
  std::string word;
  for (const char* c = text ? text : ""; *c; ++c) {
    if (is_separator(*c)) {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word += *c;
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

bool has_wildcard(std::string_view s) { return s.find_first_of("*?") != std::string_view::npos; }

// The extension a pattern or a proposed file name gives: "*.XDD" and
// "/d/a.XDD" give "XDD".
std::string extension_of(const std::string& pattern) {
  const std::size_t slash = pattern.find_last_of('/');
  const std::string last = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  const std::size_t dot = last.find_last_of('.');
  if (dot == std::string::npos) return {};
  std::string ext = last.substr(dot + 1);
  return has_wildcard(ext) ? std::string() : ext;
}

std::string text_or_empty(const char* text) { return text ? text : ""; }

// The name of a path inside a directory: what follows the directory and its
// separator; the whole path when it lies elsewhere.
std::string name_in(const std::string& directory, const std::string& path) {
  std::string prefix = directory;
  if (prefix.empty() || prefix.back() != '/') prefix += '/';
  if (path.compare(0, prefix.size(), prefix) == 0) return path.substr(prefix.size());
  return path;
}

}  // namespace

std::uint32_t open_save_3::flag_set(int flag_num) {
  const int n = static_cast<int>(std::size(flag_table));
  return flag_table[flag_num >= 0 && flag_num < n ? flag_num : 0];
}

std::unique_ptr<assoc_class> open_save_3::clone_empty() const { return clone_like(*this); }

std::string open_save_3::filter_text(const char* first_name, const char* first_pattern, const char* extensions,
                                     const char* all_name, const char* all_patterns) {
  const std::string name = text_or_empty(first_name);
  std::string text;
  if (all_name && *all_name) text = std::string(all_name) + "|" + text_or_empty(all_patterns) + "|";
  text += name + " Files (*." + name + ")|" + text_or_empty(first_pattern) + "|";
  for (const std::string& w : words_of(extensions)) text += w + " Files (*." + w + ")|*." + w + "|";
  return text;
}

std::vector<platform_types::file_filter> open_save_3::filters_of(const std::string& filter_text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (std::size_t bar = filter_text.find('|'); bar != std::string::npos; bar = filter_text.find('|', start)) {
    parts.push_back(filter_text.substr(start, bar - start));
    start = bar + 1;
  }
  std::vector<platform_types::file_filter> filters;
  for (std::size_t i = 0; i + 1 < parts.size(); i += 2) filters.push_back({parts[i], parts[i + 1]});
  return filters;
}

std::vector<std::string> open_save_3::selection_paths(const char* file_text) {
  std::vector<std::string> words = words_of(file_text);
  if (words.size() <= 1) return words;
  std::string directory = words[0];
  if (directory.empty() || directory.back() != '/') directory += '/';
  std::vector<std::string> paths;
  for (std::size_t i = 1; i < words.size(); ++i) paths.push_back(directory + words[i]);
  return paths;
}

std::string open_save_3::directory_of(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return {};
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

int open_save_3::run_dialog(std::uint32_t flags, const char* first_pattern, const char* extensions,
                            const char* first_name, const assoc_class* reporter, platform_types::window_ref parent,
                            const char* caption, bool save, const char* all_name, const char* all_patterns) {
  platform* p = current_platform();
  if (!p) return 0;
  const std::string pattern = text_or_empty(first_pattern);
  platform_types::file_request request;
  request.save = save;
  request.multiple = !save && (flags & allow_multi_select) != 0;
  request.overwrite_prompt = save && (flags & overwrite_prompt) != 0;
  request.path_must_exist = (flags & path_must_exist) != 0;
  request.file_must_exist = (flags & file_must_exist) != 0;
  request.caption = text_or_empty(caption);
  request.filters = filters_of(filter_text(first_name, first_pattern, extensions, all_name, all_patterns));
  request.directory = last_directory_;
  if (!has_wildcard(pattern)) request.file = pattern;
  request.default_extension = extension_of(pattern);
  request.parent = parent;
  request.offer_wavelength = offer_wavelength_ && !save;

  const platform_types::file_answer answer = p->choose_file(request);
  if (answer.result == platform_types::file_answer::status::failed) {
    global_error_message().append("Error in File OpenSave dialog.\n");
    show_error(reporter);
    return 0;
  }
  if (answer.result != platform_types::file_answer::status::chosen || answer.paths.empty()) return 0;

  chosen_ = answer.paths;
  given_wavelength_ = answer.wavelength;
  while (!given_wavelength_.empty() && is_separator(given_wavelength_.back())) given_wavelength_.pop_back();
  while (!given_wavelength_.empty() && is_separator(given_wavelength_.front())) given_wavelength_.erase(0, 1);
  if (chosen_.size() == 1) {
    last_file_ = chosen_[0];
    last_directory_ = directory_of(chosen_[0]);
    return 1;
  }
  last_directory_ = directory_of(chosen_[0]);
  last_file_ = last_directory_;
  for (const std::string& path : chosen_) {
    last_file_ += ' ';
    last_file_ += name_in(last_directory_, path);
  }
  return 1;
}

assoc_class* open_save_3::execute() {
  if (!run_described()) return nullptr;
  return assoc_class::execute();
}

int open_save_3::run_described() {
  const std::string name = class_name();
  auto value = [&name](const char* key) { return text_or_empty(query_value((name + " c " + key).c_str())); };
  const std::string first_name = value("def_ext");
  const std::string first_pattern = value("def_ext_star");
  const std::string extensions = value("ext_all");
  const std::string caption = value("caption");
  const std::string all_name = value("all_types");
  const std::string all_patterns = value("all_types_star");
  const bool save = text_to_long(value("save").c_str()) != 0;
  const int flag_num = static_cast<int>(text_to_long(value("flag_num").c_str()));
  return run_dialog(flag_set(flag_num), first_pattern.c_str(), extensions.c_str(), first_name.c_str(), this,
                    platform_types::window_ref::main_window(), caption.c_str(), save, all_name.c_str(),
                    all_patterns.c_str());
}
