#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/platform/platform.h"
#include "core/fund_type_3.h"

// The common file dialog's option bits, as the descriptions and callers give
// them.
namespace file_dialog_flags {
inline constexpr std::uint32_t overwrite_prompt = 0x2;
inline constexpr std::uint32_t hide_read_only = 0x4;
inline constexpr std::uint32_t allow_multi_select = 0x200;
inline constexpr std::uint32_t path_must_exist = 0x800;
inline constexpr std::uint32_t file_must_exist = 0x1000;
inline constexpr std::uint32_t no_read_only_return = 0x8000;
}  // namespace file_dialog_flags

// A file open/save dialog record: it runs the dialog and remembers the last
// file chosen and the last directory, for the life of the object, so that
// each user of a record starts where it left off.
//
// Executed, it reads its own description under the outside record of its
// name: "def_ext" (the first filter entry's name), "def_ext_star" (its
// pattern), "ext_all" (further extensions, words), "caption", "save"
// (non-zero: a save dialog) and "flag_num" (which flag set); it answers
// itself when a file was chosen, and only then runs its execution script.
class open_save_3 : public fund_type_3 {
 public:
  // The flag sets "flag_num" chooses from: 0 one file to open, 1 several
  // files to open, 2 a file to save. Any other number takes set 0.
  static std::uint32_t flag_set(int flag_num);

  std::unique_ptr<assoc_class> clone_empty() const override;
  assoc_class* execute() override;
  // Runs the dialog as its own outside-records description says ("def_ext",
  // "def_ext_star", "ext_all", "caption", "save", "flag_num"), without the
  // execution script: 1 when a file was chosen.
  int run_described();

  // Runs the dialog: 1 when a file was chosen, 0 when cancelled or when the
  // dialog failed (reported through the global error message; `reporter` is
  // the object the report is made for).
  // `all_name` and `all_patterns`, when given, head the filters with one
  // entry for every type at once.
  int run_dialog(std::uint32_t flags, const char* first_pattern, const char* extensions, const char* first_name,
                 const assoc_class* reporter, platform_types::window_ref parent, const char* caption, bool save,
                 const char* all_name = nullptr, const char* all_patterns = nullptr);

  // The filter text of the dialog: the first entry (name, " Files (*.",
  // name, ")|", pattern, "|"), then one entry per extension word w (w,
  // " Files (*.", w, ")|*.", w, "|"); headed, when `all_name` is given, by
  // an entry of all_name and all_patterns.
  static std::string filter_text(const char* first_name, const char* first_pattern, const char* extensions,
                                 const char* all_name = nullptr, const char* all_patterns = nullptr);
  // The name and pattern pairs of a filter text.
  static std::vector<platform_types::file_filter> filters_of(const std::string& filter_text);
  // The full paths a chosen-file text stands for: the text itself when it is
  // one word; else its first word is a directory and each further word a
  // name in it, joined with '/'.
  static std::vector<std::string> selection_paths(const char* file_text);
  // A path without its last component and without the separator before it
  // ("/" stays "/"); "" for a bare name.
  static std::string directory_of(const std::string& path);

  // The chosen-file text: one path, or a directory followed by the names.
  const std::string& last_file() const { return last_file_; }
  const std::string& last_directory() const { return last_directory_; }
  void set_last_directory(const std::string& directory) { last_directory_ = directory; }
  // The full paths of the last choice, in the order chosen.
  const std::vector<std::string>& chosen_paths() const { return chosen_; }
  // Whether the dialog asks a wavelength for files without one, and the one
  // the last choice gave ("" for none).
  void offer_wavelength(bool offer) { offer_wavelength_ = offer; }
  const std::string& given_wavelength() const { return given_wavelength_; }

 private:
  bool offer_wavelength_ = false;
  std::string given_wavelength_;
  std::string last_file_;
  std::string last_directory_;
  std::vector<std::string> chosen_;
};
