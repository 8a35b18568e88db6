#pragma once

#include <memory>

#include "io/file_in.h"

// The template file, opened for reading; null when it cannot be opened.
std::unique_ptr<file_in> open_template_file();

// A process-wide object read from the template file the first time it is
// asked for, which a test or the batch tool may replace by one read from
// another stream. T reads itself with load(stream_in&) and empties itself
// with unload().
template <class T>
class lazy_template_global {
 public:
  // The one the whole program shares.
  static lazy_template_global& process_wide() {
    static lazy_template_global global;
    return global;
  }

  T& get() {
    if (!loaded_) {
      // Marked before reading, so that a template file that cannot be opened
      // is not looked for again on every use.
      loaded_ = true;
      if (const std::unique_ptr<file_in> in = open_template_file()) value_.load(*in);
    }
    return value_;
  }

  void replace(stream_in& in) {
    loaded_ = true;
    value_.unload();
    value_.load(in);
  }

 private:
  T value_;
  bool loaded_ = false;
};
