#pragma once

#include "core/fund_type_3.h"

// A text value holding a file path, with the file title (the last path
// component) kept beside it. Paths keep their case: the file system does.
class path_and_name_3 : public fund_type_3 {
 public:
  assoc_class* set_text(const char* path) override;
  bool equals(assoc_class& node) override;
  void write_value(stream_out& out) override;
  void write_for_project(stream_out& out) override;
  // A project record's path is the rest of its line, blanks included.
  bool read_for_project(stream_in& in) override;
  void copy_from(assoc_class& source) override;
  std::unique_ptr<assoc_class> clone_empty() const override;

  const char* path() { return get_text(); }
  const my_string& title() const { return title_; }
  // The part of the title after its last '.', or "".
  my_string& extension(my_string& out) const;
  // The same path with the given extension in place of its own.
  assoc_class* change_extension(const char* ext);

 private:
  my_string title_;
};

// The last component of a path, with its extension.
my_string file_title(const char* path);
