#include "app/text/any_vw_3.h"

#include <utility>

#include "app/text/any_doc_3.h"
#include "app/text/font_3.h"
#include "core/deletion_bin.h"
#include "core/paths.h"

any_vw_3::~any_vw_3() {
  if (platform* p = current_platform(); p && frame_) p->destroy_frame(std::exchange(frame_, 0));
}

any_doc_3* any_vw_3::document() const { return dynamic_cast<any_doc_3*>(parent()); }

bool any_vw_3::open_window(const std::string& title) {
  platform* p = current_platform();
  if (!p || frame_) return false;
  frame_ = p->create_text_frame(title, this);
  if (!frame_) return false;
  if (auto* font = dynamic_cast<font_3*>(find(*this, "font"))) p->set_frame_font(frame_, font->description());
  return true;
}

assoc_class* any_vw_3::set_text(const char* text) {
  set_text(std::string(text ? text : ""));
  return this;
}

void any_vw_3::set_text(const std::string& text) {
  if (platform* p = current_platform(); p && frame_) {
    p->set_frame_text(frame_, text);
    p->set_frame_text_modified(frame_, false);
  }
}

const char* any_vw_3::get_text() {
  text_cache_ = text();
  return text_cache_.c_str();
}

std::string any_vw_3::text() const {
  platform* p = current_platform();
  return p && frame_ ? p->frame_text(frame_) : std::string();
}

bool any_vw_3::modified() const {
  platform* p = current_platform();
  return p && frame_ && p->frame_text_modified(frame_);
}

void any_vw_3::set_modified(bool modified) {
  if (platform* p = current_platform(); p && frame_) p->set_frame_text_modified(frame_, modified);
}

void any_vw_3::set_title(const std::string& title) {
  if (platform* p = current_platform(); p && frame_) p->set_frame_title(frame_, title);
}

bool any_vw_3::on_close() {
  any_doc_3* doc = document();
  if (doc && !doc->may_close()) return false;
  // The platform destroys the frame once this handler returns, and the
  // document goes with its only window: at idle time, since this handler
  // runs for it.
  frame_ = 0;
  move_to_deletion_bin(doc ? static_cast<assoc_class&>(*doc) : *this);
  return true;
}
