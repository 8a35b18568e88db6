#include "core/error_message.h"

#include <cstdio>

namespace {

class stderr_reporter : public error_reporter {
 public:
  void report(const char* caption, const char* text) override {
    if (caption && *caption)
      std::fprintf(stderr, "%s: %s\n", caption, text);
    else
      std::fprintf(stderr, "%s\n", text);
  }
};

stderr_reporter default_reporter;
error_reporter* active_reporter = &default_reporter;
caption_source active_caption = nullptr;

}  // namespace

my_string& global_error_message() {
  static my_string message;
  return message;
}

error_reporter* set_error_reporter(error_reporter* reporter) {
  error_reporter* previous = active_reporter == &default_reporter ? nullptr : active_reporter;
  active_reporter = reporter ? reporter : &default_reporter;
  return previous;
}

void set_caption_source(caption_source source) { active_caption = source; }

void show_error(const assoc_class*) {
  my_string& message = global_error_message();
  if (message.is_empty()) return;
  // Empty the message before reporting: a reporter may itself raise errors.
  const my_string text = message;
  message.assign("");
  const char* caption = active_caption ? active_caption() : nullptr;
  active_reporter->report(caption ? caption : "", text.c_str());
}

void report_error(const char* text) {
  global_error_message().append(text);
  show_error();
}

void recording_reporter::report(const char* caption, const char* text) {
  messages.push_back({caption ? caption : "", text ? text : ""});
}
