#pragma once

#include <memory>
#include <string>

#include "app/views/lam_9.h"
#include "core/assoc_class.h"

// The name of the wavelength set the lambda cursor shows (node
// "drvw_lam_cursor"). An empty name switches the cursor off; a name that
// names a set makes it valid; any other name reads back as "Error". The
// cursor is on when it is valid and the switch "sBhow_lam_curcor" is set.
class drvw_lam_cursor_3 : public assoc_class {
 public:
  const char* class_name() const override { return "drvw_lam_cursor"; }
  std::unique_ptr<assoc_class> clone_empty() const override;
  const char* get_text() override { return text_.c_str(); }
  assoc_class* set_text(const char* text) override;
  bool valid() const { return valid_; }
  const lam_9* wavelengths() const { return valid_ ? &set_ : nullptr; }

 private:
  std::string text_;
  bool valid_ = false;
  lam_9 set_;
};
