#include "xrd/files/zip_archive.h"

#include <zip.h>

#include <algorithm>

#include "core/text_helpers.h"
#include "xrd/files/scan_text.h"

struct zip_archive::handle {
  zip_t* zip = nullptr;
  ~handle() {
    // Opened read-only from a buffer: discarding writes nothing anywhere.
    if (zip) zip_discard(zip);
  }
};

namespace {

// libzip's sentence, begun in lower case to sit inside ours.
std::string libzip_says(const char* text) {
  std::string s = text ? text : "unknown error";
  if (!s.empty() && s[0] >= 'A' && s[0] <= 'Z') s[0] = static_cast<char>(s[0] - 'A' + 'a');
  return "libzip: " + s;
}

std::string megabytes(std::uint64_t bytes) {
  return format_number("%.1f", static_cast<double>(bytes) / 1e6) + " MB";
}

}  // namespace

bool zip_entry_name_stays_inside(std::string_view name) {
  if (name.empty()) return true;
  if (name.front() == '/' || name.front() == '\\') return false;
  if (name.size() >= 2 && name[1] == ':') return false;
  std::size_t start = 0;
  while (start <= name.size()) {
    std::size_t end = name.find_first_of("/\\", start);
    if (end == std::string_view::npos) end = name.size();
    if (name.substr(start, end - start) == "..") return false;
    start = end + 1;
  }
  return true;
}

zip_archive::zip_archive(std::unique_ptr<handle> h, std::uint64_t budget) : h_(std::move(h)), budget_(budget) {}

zip_archive::~zip_archive() = default;

std::unique_ptr<zip_archive> zip_archive::open(std::string_view bytes, std::string& why) {
  zip_error_t error;
  zip_error_init(&error);
  zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &error);
  if (!source) {
    why = "Not a readable zip archive (" + libzip_says(zip_error_strerror(&error)) + ")";
    zip_error_fini(&error);
    return nullptr;
  }
  auto h = std::make_unique<handle>();
  h->zip = zip_open_from_source(source, ZIP_RDONLY, &error);
  if (!h->zip) {
    zip_source_free(source);
    why = "Not a readable zip archive (" + libzip_says(zip_error_strerror(&error)) + ")";
    zip_error_fini(&error);
    return nullptr;
  }
  zip_error_fini(&error);

  const std::uint64_t budget = std::min<std::uint64_t>(byte_limit, ratio_limit * bytes.size());
  const zip_int64_t count = zip_get_num_entries(h->zip, 0);
  std::vector<std::string> names;
  std::uint64_t declared = 0;
  for (zip_int64_t i = 0; i < count; ++i) {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(h->zip, static_cast<zip_uint64_t>(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME)) {
      why = "Not a readable zip archive (entry " + std::to_string(i + 1) + ", " + libzip_says(zip_strerror(h->zip)) + ")";
      return nullptr;
    }
    const std::string name = st.name;
    if (!zip_entry_name_stays_inside(name))
      return why = "The archive holds an entry named " + quoted(name) + ", a path outside the archive's folder",
             nullptr;
    if (st.valid & ZIP_STAT_SIZE) declared += std::min<std::uint64_t>(st.size, byte_limit + 1);
    if (declared > budget)
      return why = "The archive would unpack to more than " + megabytes(budget) + " (" +
                   std::to_string(ratio_limit) + " times its size of " + std::to_string(bytes.size()) +
                   " bytes, at most " + megabytes(byte_limit) + "); it is not read",
             nullptr;
    names.push_back(name);
  }
  auto archive = std::unique_ptr<zip_archive>(new zip_archive(std::move(h), budget));
  archive->names_ = std::move(names);
  return archive;
}

bool zip_archive::read(const std::string& name, std::string& out, std::string& why) {
  out.clear();
  const zip_int64_t index = zip_name_locate(h_->zip, name.c_str(), 0);
  if (index < 0) {
    why = "The archive has no entry " + quoted(name);
    return false;
  }
  zip_file_t* file = zip_fopen_index(h_->zip, static_cast<zip_uint64_t>(index), 0);
  if (!file) {
    why = "Entry " + quoted(name) + " cannot be unpacked (" + libzip_says(zip_strerror(h_->zip)) + ")";
    return false;
  }
  // Declared sizes can lie: the bytes are counted as they come.
  char chunk[65536];
  bool ok = true;
  for (;;) {
    const zip_int64_t got = zip_fread(file, chunk, sizeof chunk);
    if (got < 0) {
      why = "Entry " + quoted(name) + " cannot be unpacked (" + libzip_says(zip_file_strerror(file)) + ")";
      ok = false;
      break;
    }
    if (got == 0) break;
    const auto n = static_cast<std::uint64_t>(got);
    if (n > budget_) {
      why = "Entry " + quoted(name) + " unpacks to more than the archive may hold (" + megabytes(budget_ + out.size()) +
            " left of " + std::to_string(ratio_limit) + " times its size, at most " + megabytes(byte_limit) +
            "); it is not read";
      ok = false;
      break;
    }
    budget_ -= n;
    out.append(chunk, static_cast<std::size_t>(n));
  }
  zip_fclose(file);
  if (!ok) out.clear();
  return ok;
}
