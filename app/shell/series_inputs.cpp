#include "app/shell/series_inputs.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "app/shell/application_session.h"
#include "core/assoc_class.h"
#include "core/error_message.h"
#include "xrd/files/xdd_data_3.h"

namespace {

// The scans in the file at `path`, as its reader counts them; 1 when it
// cannot be read (its row says why).
int scans_in(application_session& session, const std::string& path) {
  kept_messages quiet;
  const xdd_data_3::scan_choice first(1);
  assoc_class* file = session.load_file(path);
  if (!file) return 1;
  int count = 1;
  if (auto* data = dynamic_cast<xdd_data_3*>(find_existing(*file, "xdd_data"))) count = std::max(1, data->scan.count);
  session.unload_file(file);
  return count;
}

}  // namespace

bool is_data_file_name(const std::string& path) {
  static const char* const extensions[] = {".xdd", ".cpi", ".xy",  ".dat", ".txt", ".csv",  ".xrdml",
                                           ".ras", ".raw", ".brml", ".rasx", ".gsa", ".gsas", ".fxye"};
  std::string ext = std::filesystem::path(path).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return std::find(std::begin(extensions), std::end(extensions), ext) != std::end(extensions);
}

bool series_scans(application_session& session, const std::vector<std::string>& inputs,
                  std::vector<series_scan>& scans, std::ostream& err) {
  scans.clear();
  for (const std::string& input : inputs) {
    std::error_code ec;
    std::vector<std::string> files;
    if (std::filesystem::is_directory(input, ec)) {
      for (const auto& entry : std::filesystem::directory_iterator(input, ec))
        if (entry.is_regular_file(ec) && is_data_file_name(entry.path().string())) files.push_back(entry.path().string());
      if (ec) {
        err << input << ": Cannot read folder: " << ec.message() << '\n';
        return false;
      }
      if (files.empty()) {
        err << input << ": the folder holds no data file\n";
        return false;
      }
      std::sort(files.begin(), files.end());
    } else if (std::filesystem::exists(input, ec)) {
      files.push_back(input);
    } else {
      err << input << ": Cannot open file: no such file or folder\n";
      return false;
    }
    for (const std::string& file : files) {
      const int count = scans_in(session, file);
      for (int k = 1; k <= count; ++k) scans.push_back({file, k});
    }
  }
  return true;
}

bool is_series(application_session& session, const std::vector<std::string>& inputs) {
  if (inputs.size() != 1) return inputs.size() > 1;
  std::error_code ec;
  if (std::filesystem::is_directory(inputs.front(), ec)) return true;
  return std::filesystem::exists(inputs.front(), ec) && scans_in(session, inputs.front()) > 1;
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
