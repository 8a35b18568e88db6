#include "xrd/files/load_raw_3.h"

#include <bit>
#include <cmath>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_helpers.h"
#include "xrd/files/scan_points.h"
#include "xrd/files/scan_time.h"
#include "xrd/files/xdd_data_3.h"

namespace {

// The file's bytes, read little-endian whatever the machine. Every read says
// whether the bytes were there, so no size in the file can lead past its end.
class raw_bytes {
 public:
  explicit raw_bytes(std::string_view bytes) : bytes_(bytes) {}

  std::size_t size() const { return bytes_.size(); }
  bool holds(std::uint64_t at, std::uint64_t count) const { return at <= size() && count <= size() - at; }

  bool u16(std::uint64_t at, std::uint32_t& v) const {
    std::uint64_t w = 0;
    if (!little_endian(at, 2, w)) return false;
    v = static_cast<std::uint32_t>(w);
    return true;
  }
  bool u32(std::uint64_t at, std::uint32_t& v) const {
    std::uint64_t w = 0;
    if (!little_endian(at, 4, w)) return false;
    v = static_cast<std::uint32_t>(w);
    return true;
  }
  bool f32(std::uint64_t at, double& v) const {
    std::uint32_t w = 0;
    if (!u32(at, w)) return false;
    v = std::bit_cast<float>(w);
    return true;
  }
  bool f64(std::uint64_t at, double& v) const {
    std::uint64_t w = 0;
    if (!little_endian(at, 8, w)) return false;
    v = std::bit_cast<double>(w);
    return true;
  }
  std::string_view text(std::uint64_t at, std::uint64_t count) const {
    if (!holds(at, count)) return {};
    const std::string_view t = bytes_.substr(at, count);
    return t.substr(0, t.find('\0'));
  }

 private:
  bool little_endian(std::uint64_t at, int count, std::uint64_t& v) const {
    if (!holds(at, static_cast<std::uint64_t>(count))) return false;
    v = 0;
    for (int i = count - 1; i >= 0; --i)
      v = (v << 8) | static_cast<unsigned char>(bytes_[at + static_cast<std::size_t>(i)]);
    return true;
  }

  std::string_view bytes_;
};

// One range as its header gives it; the counts are read only for the range
// the user picks.
struct raw_range {
  std::uint64_t steps = 0;
  double start = 0.0, step = 0.0;
  double seconds_per_step = 0.0;  // 0: not in the file
  std::uint64_t data_at = 0;
  std::uint64_t datum_bytes = 4;  // the count is the datum's first float
  std::string_view mode;          // the scan's name, where the layout has one
};

struct raw_file {
  std::string_view version;
  std::string start_time;  // ISO 8601; empty: not in the file
  double wavelength = 0.0;  // K-alpha1 in angstrom; 0: not in the file
  std::vector<raw_range> ranges;
};

// A sensible wavelength, for fields that may hold anything.
bool plausible_wavelength(double lambda) { return std::isfinite(lambda) && lambda > 0.01 && lambda < 100.0; }

class raw_reading {
 public:
  raw_reading(xdd_data_3& data, std::string_view bytes) : data_(data), b_(bytes) {}

  bool read(scan_points& scan);

 private:
  bool refuse(const std::string& why) {
    data_.report_load_error(("\n" + why).c_str());
    return false;
  }
  bool truncated(const char* part) {
    return refuse(std::string("The Bruker RAW file ends inside its ") + part + " (" + std::to_string(b_.size()) +
                  " bytes)");
  }
  static std::string range_name(std::size_t index) { return "Range " + std::to_string(index + 1); }
  // Checks that the range's counts lie within the file and adds it.
  bool add_range(raw_range r);

  bool read_v1();
  bool read_v2();
  bool read_v3();
  bool read_v4();

  xdd_data_3& data_;
  raw_bytes b_;
  raw_file file_;
};

bool raw_reading::add_range(raw_range r) {
  const std::string name = range_name(file_.ranges.size());
  if (!std::isfinite(r.start) || !std::isfinite(r.step) || !(r.step > 0.0))
    return refuse(name + ": the step " + format_number("%g", r.step) + " is not a positive angle");
  if (r.datum_bytes < 4)
    return refuse(name + ": " + std::to_string(r.datum_bytes) + " bytes per point cannot hold a count");
  // The product cannot overflow: both factors are at most 32 bits.
  if (!b_.holds(r.data_at, r.steps * r.datum_bytes))
    return refuse(name + " claims " + std::to_string(r.steps) + " points (" + std::to_string(r.steps * r.datum_bytes) +
                  " bytes from byte " + std::to_string(r.data_at) + "), more than the file's " +
                  std::to_string(b_.size()) + " bytes hold");
  if (!std::isfinite(r.seconds_per_step) || r.seconds_per_step < 0.0) r.seconds_per_step = 0.0;
  file_.ranges.push_back(r);
  return true;
}

// Version 1: ranges one after another, each a 152-byte header then its
// counts as floats; a header's last field says whether another follows.
bool raw_reading::read_v1() {
  std::uint64_t at = 4;
  for (std::uint32_t more = 1; more != 0;) {
    raw_range r;
    std::uint32_t steps = 0;
    double ka1 = 0.0;
    if (!b_.u32(at, steps) || !b_.f32(at + 4, r.seconds_per_step) || !b_.f32(at + 8, r.step) ||
        !b_.f32(at + 20, r.start) || !b_.f32(at + 68, ka1) || !b_.u32(at + 148, more))
      return truncated((range_name(file_.ranges.size()) + " header").c_str());
    r.steps = steps;
    r.data_at = at + 152;
    if (file_.wavelength == 0.0 && plausible_wavelength(ka1)) file_.wavelength = ka1;
    if (!add_range(r)) return false;
    at = r.data_at + r.steps * r.datum_bytes;
  }
  return true;
}

// Version 2: a 256-byte file header with the range count and the anode's
// lines, then each range: a header of its own length and the counts as
// floats.
bool raw_reading::read_v2() {
  std::uint32_t count = 0;
  double ka1 = 0.0;
  if (!b_.u16(4, count) || !b_.f32(190, ka1) || !b_.holds(0, 256)) return truncated("file header");
  if (plausible_wavelength(ka1)) file_.wavelength = ka1;
  std::uint64_t at = 256;
  for (std::uint32_t i = 0; i < count; ++i) {
    raw_range r;
    std::uint32_t header = 0, steps = 0;
    if (!b_.u16(at, header) || !b_.u16(at + 2, steps) || !b_.f32(at + 8, r.seconds_per_step) ||
        !b_.f32(at + 12, r.step) || !b_.f32(at + 16, r.start))
      return truncated((range_name(i) + " header").c_str());
    if (header < 48) return refuse(range_name(i) + ": a header of " + std::to_string(header) + " bytes is too short");
    r.steps = steps;
    r.data_at = at + header;
    if (!add_range(r)) return false;
    at = r.data_at + r.steps * r.datum_bytes;
  }
  return true;
}

// Version 3: a 712-byte file header (range count at 12, K-alpha1 as a
// double at 624), then each range: a 304-byte header, a supplementary
// header of the length it gives, and the counts as floats.
bool raw_reading::read_v3() {
  std::uint32_t count = 0;
  double ka1 = 0.0;
  if (!b_.u32(12, count) || !b_.f64(624, ka1) || !b_.holds(0, 712)) return truncated("file header");
  if (plausible_wavelength(ka1)) file_.wavelength = ka1;
  file_.start_time = iso_start_time(b_.text(16, 10), b_.text(26, 10));
  std::uint64_t at = 712;
  for (std::uint32_t i = 0; i < count; ++i) {
    raw_range r;
    std::uint32_t header = 0, steps = 0, supplement = 0;
    if (!b_.u32(at, header) || !b_.u32(at + 4, steps) || !b_.f64(at + 16, r.start) || !b_.f64(at + 176, r.step) ||
        !b_.f32(at + 192, r.seconds_per_step) || !b_.u32(at + 256, supplement))
      return truncated((range_name(i) + " header").c_str());
    if (header < 304) return refuse(range_name(i) + ": a header of " + std::to_string(header) + " bytes is too short");
    r.steps = steps;
    r.data_at = at + header + supplement;
    if (!add_range(r)) return false;
    at = r.data_at + r.steps * r.datum_bytes;
  }
  return true;
}

// Version 4: a 61-byte file header (range count at 36, the length of the
// records that follow it at 56), records of type and length (type 30: the
// X-ray source, K-alpha1 a double 80 bytes in), then each range: a
// 160-byte header, its own records, and one datum per point whose first
// four bytes are the count as a float.
bool raw_reading::read_v4() {
  std::uint32_t count = 0, records = 0;
  if (!b_.u32(36, count) || !b_.u32(56, records) || !b_.holds(0, 61)) return truncated("file header");
  file_.start_time = iso_start_time(b_.text(12, 12), b_.text(24, 12));
  const std::uint64_t records_end = 61 + static_cast<std::uint64_t>(records);
  if (!b_.holds(61, records)) return truncated("file header records");
  for (std::uint64_t at = 61; at + 8 <= records_end;) {
    std::uint32_t type = 0, length = 0;
    b_.u32(at, type);
    b_.u32(at + 4, length);
    if (length < 8 || length > records_end - at)
      return refuse("A record of the file header at byte " + std::to_string(at) + " claims " + std::to_string(length) +
                    " bytes, which do not fit in the header");
    double ka1 = 0.0, average = 0.0;
    if (type == 30 && length >= 96 && b_.f64(at + 80, ka1) && b_.f64(at + 72, average))
      file_.wavelength = plausible_wavelength(ka1) ? ka1 : plausible_wavelength(average) ? average : 0.0;
    at += length;
  }
  std::uint64_t at = records_end;
  for (std::uint32_t i = 0; i < count; ++i) {
    raw_range r;
    std::uint32_t steps = 0, datum = 0, supplement = 0;
    if (!b_.u32(at + 4, steps) || !b_.f64(at + 72, r.start) || !b_.f64(at + 80, r.step) ||
        !b_.f32(at + 92, r.seconds_per_step) || !b_.u32(at + 136, datum) || !b_.u32(at + 140, supplement) ||
        !b_.holds(at, 160))
      return truncated((range_name(i) + " header").c_str());
    r.steps = steps;
    r.datum_bytes = datum;
    r.mode = b_.text(at + 32, 32);
    r.data_at = at + 160 + supplement;
    if (!add_range(r)) return false;
    at = r.data_at + r.steps * r.datum_bytes;
  }
  return true;
}

bool plain_ascii(std::string_view text) {
  for (char c : text)
    if (c < 0x20 || c > 0x7e) return false;
  return !text.empty();
}

bool raw_reading::read(scan_points& scan) {
  bool read = false;
  if (b_.text(0, 7) == "RAW4.00") {
    file_.version = "4";
    read = read_v4();
  } else if (b_.text(0, 7) == "RAW1.01") {
    file_.version = "3";
    read = read_v3();
  } else if (b_.text(0, 4) == "RAW2") {
    file_.version = "2";
    read = read_v2();
  } else if (b_.text(0, 4) == "RAW ") {
    file_.version = "1";
    read = read_v1();
  } else {
    return refuse(
        "Not a Bruker RAW file: it does not start with \"RAW \", \"RAW2\", \"RAW1.01\" or \"RAW4.00\" (other programs "
        "write .raw files in layouts of their own)");
  }
  if (!read) return false;
  if (file_.ranges.empty()) return refuse("The Bruker RAW file holds no range");

  int index = 0;
  if (!data_.pick_scan(static_cast<int>(file_.ranges.size()), index, scan)) return false;
  const raw_range& r = file_.ranges[static_cast<std::size_t>(index)];
  scan.x.reserve(r.steps);
  scan.y.reserve(r.steps);
  for (std::uint64_t i = 0; i < r.steps; ++i) {
    double count = 0.0;
    b_.f32(r.data_at + i * r.datum_bytes, count);  // within the file: add_range saw to it
    if (!std::isfinite(count))
      return refuse(range_name(static_cast<std::size_t>(index)) + ": point " + std::to_string(i + 1) +
                    " holds no count (not a number)");
    scan.x.push_back(r.start + static_cast<double>(i) * r.step);
    scan.y.push_back(count);
  }
  if (r.seconds_per_step > 0.0) scan.count_time = format_number("%.6g", r.seconds_per_step);
  if (file_.wavelength > 0.0) scan.wavelength = format_number("%.7g", file_.wavelength);
  scan.start_time = file_.start_time;
  scan.description = "Bruker RAW version " + std::string(file_.version) + " scan";
  if (plain_ascii(r.mode)) scan.description += " (" + std::string(r.mode) + ")";
  return true;
}

}  // namespace

std::unique_ptr<assoc_class> load_raw_3::clone_empty() const { return clone_like(*this); }

bool load_raw_3::read(xdd_data_3& data, const std::string& bytes, scan_points& scan) {
  return raw_reading(data, bytes).read(scan);
}
