#include "app/shell/series_inputs.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <ostream>
#include <sstream>
#include <system_error>

#include "app/shell/application_session.h"
#include "app/shell/series_rows.h"
#include "core/assoc_class.h"
#include "core/error_message.h"
#include "xrd/files/xdd_data_3.h"

bool series_scans(application_session& session, const std::vector<std::string>& inputs,
                  std::vector<series_scan>& scans, std::ostream& err) {
  scans.clear();
  std::vector<std::string> files;
  if (!series_rows::data_files(inputs, "", files, err)) return false;
  for (const std::string& file : files) {
    const int count = series_rows::scan_count(session, file, err);
    for (int k = 1; k <= count; ++k) scans.push_back({file, k});
  }
  return true;
}

bool is_series(application_session& session, const std::vector<std::string>& inputs) {
  if (inputs.size() != 1) return inputs.size() > 1;
  std::error_code ec;
  if (std::filesystem::is_directory(inputs.front(), ec)) return true;
  std::ostringstream unsaid;
  return std::filesystem::exists(inputs.front(), ec) && series_rows::scan_count(session, inputs.front(), unsaid) > 1;
}

class kept_messages::keeper : public error_reporter {
 public:
  explicit keeper(kept_messages& owner) : owner_(owner) {}
  void report(const char*, const char* text) override { owner_.add(text ? text : ""); }

 private:
  kept_messages& owner_;
};

kept_messages::kept_messages() : keeper_(std::make_unique<keeper>(*this)) {
  previous_ = set_error_reporter(keeper_.get());
}

kept_messages::~kept_messages() { set_error_reporter(previous_); }

void kept_messages::add(const std::string& message) {
  std::string one;
  for (char c : message) one += c == '\n' || c == '\r' ? ' ' : c;
  while (!one.empty() && one.back() == ' ') one.pop_back();
  if (!one.empty()) messages_.push_back(one);
}

std::string kept_messages::text() const {
  std::string t;
  for (const std::string& m : messages_) t += (t.empty() ? "" : "; ") + m;
  return t;
}
