#pragma once

#include <memory>
#include <string>

#include "app/dialogs/B_dlg_3.h"

// The help dialog: each time it is shown it reads the help file, the file
// "hlp" in the directory "win_misc c root_directory" of the outside records,
// into its read-only edit.
class hlp_dlg_3 : public B_dlg_3 {
 public:
  static constexpr int edit_id = 4238;

  hlp_dlg_3() : B_dlg_3("hlp_dlg") {}
  std::unique_ptr<assoc_class> clone_empty() const override;

  // The help file's path.
  static std::string help_path();
  // The file's text with every line ending in CR LF, as an edit control
  // shows lines; false, with the failure reported, when it cannot be read.
  static bool read_help(const std::string& path, std::string& text);

 protected:
  void before_showing(platform& p, platform::dialog_id d) override;
};
