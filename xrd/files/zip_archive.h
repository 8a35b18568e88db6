#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A zip archive held in memory (the containers of BRML and RASX scans),
// read entry by entry into strings. Nothing is ever written to disk, so an
// entry's name is only a key; still, an archive with a name that climbs out
// ("..", an absolute path) is refused whole, as no instrument writes one.
// What it unpacks is bounded: more than `ratio_limit` times the archive's
// size, or more than `byte_limit` bytes in all, is refused, first on the
// sizes the entries declare and again on the bytes really unpacked.
class zip_archive {
 public:
  static constexpr std::uint64_t ratio_limit = 100;
  static constexpr std::uint64_t byte_limit = 200ull * 1000 * 1000;

  // The archive, or null with `why` a sentence naming the cause.
  static std::unique_ptr<zip_archive> open(std::string_view bytes, std::string& why);
  ~zip_archive();
  zip_archive(const zip_archive&) = delete;
  zip_archive& operator=(const zip_archive&) = delete;

  // The entries' names as stored, in the archive's order (folders too).
  const std::vector<std::string>& names() const { return names_; }
  // The entry's bytes; false, with `why`, when it cannot be read whole or
  // would take the archive past its bound.
  bool read(const std::string& name, std::string& out, std::string& why);

 private:
  struct handle;
  zip_archive(std::unique_ptr<handle> h, std::uint64_t budget);

  std::unique_ptr<handle> h_;
  std::vector<std::string> names_;
  std::uint64_t budget_;  // bytes the archive may still unpack
};

// Whether an entry name stays inside the archive's folder: no absolute path,
// drive letter or ".." component, with either slash as the separator.
bool zip_entry_name_stays_inside(std::string_view name);
