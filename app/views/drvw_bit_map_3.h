#pragma once

#include <memory>

#include "app/platform/platform.h"
#include "core/assoc_class.h"
#include "core/ptr_class.h"

// The cache of the last full picture of a view (node "drvw_bit_map"), kept
// while the lambda cursor is on: a mouse move then draws only the cursor over
// the cached curves. It records whose picture it holds and at what size, so
// a view never shows another view's picture.
class drvw_bit_map_3 : public assoc_class {
 public:
  ~drvw_bit_map_3() override;
  const char* class_name() const override { return "drvw_bit_map"; }
  std::unique_ptr<assoc_class> clone_empty() const override;

  bool holds(const assoc_class* owner, int width, int height) const;
  // Copies the picture into the cache, for that owner and size.
  void keep(platform& p, assoc_class* owner, int width, int height, platform::picture_id from);
  void release();
  platform::picture_id picture() const { return picture_; }

 private:
  ptr_class<assoc_class> owner_;
  int width_ = 0;
  int height_ = 0;
  platform::picture_id picture_ = 0;
  platform* platform_ = nullptr;
};
