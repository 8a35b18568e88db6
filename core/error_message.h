#pragma once

#include <string>
#include <vector>

#include "core/my_string.h"

class assoc_class;

// The process-wide error message: any part of the program appends its text,
// and show_error hands the whole text to the reporter and empties it.
my_string& global_error_message();

// Where shown errors go. The application routes them to a message box; the
// default writes them to standard error.
class error_reporter {
 public:
  virtual ~error_reporter() = default;
  virtual void report(const char* caption, const char* text) = 0;
};

// Installs a reporter (null restores the default); returns the previous one.
error_reporter* set_error_reporter(error_reporter* reporter);

// Where the caption comes from: the application's name in the configuration.
// Unset, the caption is empty.
using caption_source = const char* (*)();
void set_caption_source(caption_source source);

// Shows the global error message (if any) and empties it.
void show_error(const assoc_class* root = nullptr);

// Appends a text to the global error message and shows it.
void report_error(const char* text);

// A reporter that keeps everything it is given, for tests and batch runs.
class recording_reporter : public error_reporter {
 public:
  struct shown {
    std::string caption;
    std::string text;
  };
  void report(const char* caption, const char* text) override;
  std::vector<shown> messages;
};
