#pragma once

#include "core/my_string.h"

// The error text a stream collects while it works. Streams inherit it
// virtually, so a file stream keeps one text for its file part and its
// reading or writing part alike.
class error_class {
 public:
  error_class() = default;
  error_class(const error_class&) = default;
  error_class& operator=(const error_class&) = default;
  virtual ~error_class();

  void add_error(const char* text);
  bool has_error() const { return !error_text.is_empty(); }

  my_string error_text;
};
