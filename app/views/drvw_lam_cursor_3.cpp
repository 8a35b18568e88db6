#include "app/views/drvw_lam_cursor_3.h"

std::unique_ptr<assoc_class> drvw_lam_cursor_3::clone_empty() const { return clone_like(*this); }

assoc_class* drvw_lam_cursor_3::set_text(const char* text) {
  const std::string name = text ? text : "";
  valid_ = !name.empty() && lam_9::find(name, set_);
  text_ = name.empty() || valid_ ? name : "Error";
  return this;
}
