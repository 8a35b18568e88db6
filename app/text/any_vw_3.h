#pragma once

#include <memory>
#include <string>

#include "app/platform/platform.h"
#include "core/assoc_class.h"

class any_doc_3;

// The window of a text document (node "any_vw" under its document): an MDI
// child whose client is an editable text, shown in the text font of "font".
// Its close box closes the document, after asking when the text was changed
// and not saved.
class any_vw_3 : public assoc_class, public platform_types::frame_events {
 public:
  any_vw_3() = default;
  ~any_vw_3() override;
  const char* class_name() const override { return "any_vw"; }
  std::unique_ptr<assoc_class> clone_empty() const override { return clone_like(*this); }

  // Opens the window with this title; false when none could be made.
  bool open_window(const std::string& title);
  platform::frame_id frame() const { return frame_; }
  any_doc_3* document() const;

  // Fills the window: it shows `text` (lines ended by '\n') and counts as
  // unmodified, as a document the program has just filled.
  assoc_class* set_text(const char* text) override;
  void set_text(const std::string& text);
  // The text the window shows now, lines ended by '\n'. The pointer of
  // get_text stays valid until the next call.
  const char* get_text() override;
  std::string text() const;
  // Whether the user changed the text since it was filled or saved.
  bool modified() const;
  void set_modified(bool modified);
  void set_title(const std::string& title);

  bool on_close() override;

 private:
  platform::frame_id frame_ = 0;
  std::string text_cache_;
};
