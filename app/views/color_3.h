#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "app/platform/platform.h"
#include "core/assoc_class.h"
#include "core/ptr_class.h"

// One colour slot (node "color" in "colors"): a colour, given as the text
// "r g b" (each 0 to 255), and the data file whose curves and file button
// take it. The file reference is a link: it empties when the file is
// unloaded, so the slot can serve the next file.
class color_3 : public assoc_class {
 public:
  const char* class_name() const override { return "color"; }
  std::unique_ptr<assoc_class> clone_empty() const override;

  const char* get_text() override { return text_.c_str(); }
  assoc_class* set_text(const char* text) override;
  // The colour as one number, r + 256 g + 65536 b.
  int get_int() override { return static_cast<int>(value()); }
  std::uint32_t value() const { return rgb_.r + 256u * rgb_.g + 65536u * rgb_.b; }
  platform_types::colour rgb() const { return rgb_; }

  assoc_class* file() const { return file_.get(); }
  void set_file(assoc_class* file);

 private:
  std::string text_ = "255 255 255";
  platform_types::colour rgb_{255, 255, 255};
  ptr_class<assoc_class> file_;
};
