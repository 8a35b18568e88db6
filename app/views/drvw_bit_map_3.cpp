#include "app/views/drvw_bit_map_3.h"

drvw_bit_map_3::~drvw_bit_map_3() { release(); }

std::unique_ptr<assoc_class> drvw_bit_map_3::clone_empty() const { return clone_like(*this); }

bool drvw_bit_map_3::holds(const assoc_class* owner, int width, int height) const {
  return picture_ && owner && owner_.get() == owner && width_ == width && height_ == height;
}

void drvw_bit_map_3::keep(platform& p, assoc_class* owner, int width, int height, platform::picture_id from) {
  if (!holds(owner, width, height)) {
    release();
    platform_ = &p;
    picture_ = p.create_picture(width, height);
    width_ = width;
    height_ = height;
    link(owner, &owner_);
  }
  p.copy_picture_into(from, picture_);
}

void drvw_bit_map_3::release() {
  // Only the platform that made the picture can free it, and only while it
  // is still the one installed.
  if (picture_ && platform_ && platform_ == current_platform()) platform_->destroy_picture(picture_);
  picture_ = 0;
  platform_ = nullptr;
  width_ = height_ = 0;
  unlink(&owner_);
}
