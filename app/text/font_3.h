#pragma once

#include <memory>

#include "app/platform/platform.h"
#include "core/assoc_class.h"

// The text font of the text windows and the report editor (node "font"): a
// fixed-pitch face, so that the columns of a report line up.
class font_3 : public assoc_class {
 public:
  font_3() : font_3(false) {}
  const char* class_name() const override { return "font"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }

  const platform_types::font_description& description() const { return description_; }

 protected:
  explicit font_3(bool strike_out);

 private:
  platform_types::font_description description_;
};
