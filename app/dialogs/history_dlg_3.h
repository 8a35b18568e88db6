#pragma once

#include <memory>
#include <string>

#include "app/dialogs/B_dlg_3.h"

// The temporary output dialog: every text given to it (the peak measures'
// result lines) is appended to its edit as one line, and the dialog is shown,
// without taking the activation, so that the result is seen. The text is
// kept, so a window made later starts with everything written before.
class history_dlg_3 : public B_dlg_3 {
 public:
  static constexpr int edit_id = 4233;

  history_dlg_3() : B_dlg_3("history_dlg") {}
  std::unique_ptr<assoc_class> clone_empty() const override;

  // The last line written.
  const char* get_text() override { return last_line_.c_str(); }
  assoc_class* set_text(const char* line) override;
  // Everything written, each line ending in CR LF.
  const std::string& history() const { return history_; }

 protected:
  void window_made(platform& p, platform::dialog_id d) override;

 private:
  std::string history_;
  std::string last_line_;
};
