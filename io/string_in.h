#pragma once

#include "core/stream_in.h"

// Reads a text in memory. The text is viewed, not copied: it must outlive
// the stream. Comment mode stays off, so apostrophes and slashes are data.
class string_in : public stream_in {
 public:
  explicit string_in(const char* text);

  int position() override { return pos_; }
  bool at_end() override { return pos_ >= end_; }
  char get() override;
  void unget() override;
  const char* source_name() override { return "string_in"; }
  void set_position(int pos) override;

  // The whole text, whatever has been read of it.
  const char* text() const { return text_; }

 private:
  const char* text_;
  int pos_ = 0;
  int end_;
};
