#include "xrd/files/load_gsas_3.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstddef>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_helpers.h"
#include "xrd/files/scan_points.h"
#include "xrd/files/scan_text.h"
#include "xrd/files/xdd_data_3.h"

namespace {

// The largest angle a constant-wavelength bank can hold, in centidegrees;
// "angles" beyond it are times of flight written with constant binning.
constexpr double largest_angle = 18000.0;
// An instrument parameter file is a few kilobytes; more is not one.
constexpr std::streamsize largest_parameter_file = 1 << 20;

enum class layout { std_counts, esd_pairs, alt_triples, fxye_rows };

// The fixed-width records: how many values a line holds, the width of each
// group, and the place and Fortran width of its count (and angle).
struct record_shape {
  int per_line;
  std::size_t width;
  std::size_t count_at, count_width;
  int count_decimals;  // implied when the field has no point
};

record_shape shape_of(layout l) {
  switch (l) {
    case layout::std_counts:
      return {10, 8, 2, 6, 0};  // (10(I2,F6.0))
    case layout::esd_pairs:
      return {5, 16, 0, 8, 0};  // (10F8.0): count, esd
    case layout::alt_triples:
    case layout::fxye_rows:
      break;
  }
  return {4, 20, 8, 7, 4};  // (4(F8.0,F7.4,F5.4)): angle, count, esd
}

bool starts_with_word(std::string_view line, std::string_view word) {
  if (line.size() < word.size()) return false;
  for (std::size_t i = 0; i < word.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(line[i])) != std::tolower(static_cast<unsigned char>(word[i])))
      return false;
  return true;
}

std::string lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string_view right_trimmed(std::string_view line) {
  while (!line.empty() && (line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
  return line;
}

// A fixed-width field as Fortran reads it: blank is 0, and without a point
// the last `decimals` digits are the fraction.
bool fortran_field(std::string_view field, int decimals, double& value) {
  const std::string_view text = trimmed(field);
  if (text.empty()) {
    value = 0.0;
    return true;
  }
  if (!number_in(text, value)) return false;
  if (decimals > 0 && text.find('.') == std::string_view::npos) value /= std::pow(10.0, decimals);
  return true;
}

// The first number among the words after `from` in `line` ("Wavelength
// (A) = 1.5406"), as written, when it can be a wavelength in angstroms:
// other numbers near the word ("wavelength-dispersive, 2 detectors") are
// not taken for one. Empty when there is none.
std::string number_after(std::string_view line, std::size_t from) {
  for (std::string_view w : blank_separated(line.substr(from))) {
    while (!w.empty() && (w.front() == ':' || w.front() == '=')) w.remove_prefix(1);
    while (!w.empty() && (w.back() == ',' || w.back() == ';' || w.back() == ':')) w.remove_suffix(1);
    double v = 0.0;
    if (number_in(w, v)) return v >= 0.05 && v <= 5.0 ? std::string(w) : std::string();
  }
  return {};
}

// Whether the `size` bytes at `at` of `text` are a word of their own, not
// part of one ("wavelength-dispersive").
bool whole_word(std::string_view text, std::size_t at, std::size_t size) {
  auto joins = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_'; };
  return (at == 0 || !joins(text[at - 1])) && (at + size == text.size() || !joins(text[at + size]));
}

// The primary wavelength of `bank` in an instrument parameter file: the
// first number of its "INS  n ICONS" line in the GSAS layout, or the "Lam"
// or "Lam1" entry of a GSAS-II one. Empty when it holds none.
std::string parameter_file_wavelength(std::string_view text, int bank) {
  std::string any;
  for (std::string_view line : text_lines(text)) {
    const std::vector<std::string_view> w = blank_separated(line);
    if (w.size() >= 4 && w[0] == "INS" && w[2] == "ICONS") {
      double lambda = 0.0;
      if (!number_in(w[3], lambda) || !(lambda > 0.0)) continue;
      if (w[1] == std::to_string(bank)) return std::string(w[3]);
      if (any.empty()) any = std::string(w[3]);
    }
    const std::string_view t = trimmed(line);
    for (std::string_view key : {"Lam:", "Lam1:"})
      if (t.starts_with(key)) {
        const std::string found = number_after(t, key.size());
        if (!found.empty() && any.empty()) any = found;
      }
  }
  return any;
}

struct bank_line {
  std::size_t line = 0;  // index in the file's lines
  int number = 0;
  long long points = 0;
  double start = 0.0, step = 0.0;  // centidegrees
  layout kind = layout::std_counts;
};

class gsas_reading {
 public:
  gsas_reading(xdd_data_3& data, std::string_view text) : data_(data), lines_(text_lines(text)) {}

  bool read(scan_points& scan);

 private:
  bool refuse(const std::string& why) {
    data_.report_load_error(("\n" + why).c_str());
    return false;
  }
  static std::string line_text(std::size_t i) { return "Line " + std::to_string(i + 1) + ": "; }
  bool parse_bank(std::size_t i, bank_line& b);
  bool read_fixed(const bank_line& b, std::size_t end, scan_points& scan);
  bool read_rows(const bank_line& b, std::size_t end, scan_points& scan);
  // The wavelength the header gives, or names the parameter file of.
  void find_wavelength(std::size_t header_end, int bank, scan_points& scan);

  xdd_data_3& data_;
  std::vector<std::string_view> lines_;
};

bool gsas_reading::parse_bank(std::size_t i, bank_line& b) {
  b.line = i;
  const std::vector<std::string_view> w = blank_separated(lines_[i]);
  if (w.size() < 7) return refuse(line_text(i) + "a BANK line needs its number, points, records, binning, start and step");
  double number = 0.0, points = 0.0;
  if (!number_in(w[1], number) || !number_in(w[2], points) || points != std::floor(points) || points < 1 ||
      points > 1e8)
    return refuse(line_text(i) + "the BANK line's number of points " + quoted(w[2]) + " is not a count");
  // A bank number is a small count; one beyond int is no bank's.
  if (number != std::floor(number) || number < 0 || number > 1e6)
    return refuse(line_text(i) + "the BANK number " + quoted(w[1]) + " is not a bank's number");
  b.number = static_cast<int>(number);
  b.points = static_cast<long long>(points);
  const std::string binning(w[4]);
  if (binning == "TIME_MAP" || binning == "RALF" || binning == "SLOG" || binning == "LOG6")
    return refuse(line_text(i) + binning + " binning is time of flight: only constant-wavelength banks are read");
  if (binning != "CONS")
    return refuse(line_text(i) + "unknown binning " + quoted(w[4]) + ": only CONS (constant-wavelength angles) is read");
  if (!number_in(w[5], b.start)) return refuse(line_text(i) + "the start angle " + quoted(w[5]) + " is not a number");
  if (!number_in(w[6], b.step)) return refuse(line_text(i) + "the step " + quoted(w[6]) + " is not a number");
  // The layout is the last word; without one the bank is STD.
  const std::string_view last = w.back();
  double unused = 0.0;
  if (w.size() == 7 || number_in(last, unused)) {
    b.kind = layout::std_counts;
  } else if (last == "STD") {
    b.kind = layout::std_counts;
  } else if (last == "ESD") {
    b.kind = layout::esd_pairs;
  } else if (last == "ALT") {
    b.kind = layout::alt_triples;
  } else if (last == "FXYE") {
    b.kind = layout::fxye_rows;
  } else {
    return refuse(line_text(i) + "unknown layout " + quoted(last) + ": STD, ESD, ALT or FXYE was expected");
  }
  if ((b.kind == layout::std_counts || b.kind == layout::esd_pairs) && !(b.step > 0.0))
    return refuse(line_text(i) + "the step " + quoted(w[6]) + " does not rise");
  if (b.start + b.step * static_cast<double>(b.points - 1) > largest_angle)
    return refuse(line_text(i) +
                  "angles beyond 180 degrees: a time-of-flight bank; only constant-wavelength banks are read");
  return true;
}

bool gsas_reading::read_fixed(const bank_line& b, std::size_t end, scan_points& scan) {
  const record_shape s = shape_of(b.kind);
  const bool angles_written = b.kind == layout::alt_triples;
  for (std::size_t i = b.line + 1; i < end && static_cast<long long>(scan.x.size()) < b.points; ++i) {
    const std::string_view line = right_trimmed(lines_[i]);
    const int fields = std::min<int>(s.per_line, static_cast<int>((line.size() + s.width - 1) / s.width));
    for (int k = 0; k < fields && static_cast<long long>(scan.x.size()) < b.points; ++k) {
      const std::string_view group = line.substr(static_cast<std::size_t>(k) * s.width, s.width);
      auto field = [&](std::size_t at, std::size_t width) {
        return at < group.size() ? group.substr(at, width) : std::string_view();
      };
      double count = 0.0, angle = 0.0;
      const std::string_view count_text = field(s.count_at, s.count_width);
      if (!fortran_field(count_text, s.count_decimals, count))
        return refuse(line_text(i) + quoted(trimmed(count_text)) + " is not a number");
      if (angles_written) {
        if (!fortran_field(field(0, 8), 0, angle))
          return refuse(line_text(i) + quoted(trimmed(field(0, 8))) + " is not a number");
      } else {
        angle = b.start + b.step * static_cast<double>(scan.x.size());
      }
      scan.add(angle / 100.0, count, static_cast<int>(i) + 1);
    }
  }
  return true;
}

bool gsas_reading::read_rows(const bank_line& b, std::size_t end, scan_points& scan) {
  for (std::size_t i = b.line + 1; i < end && static_cast<long long>(scan.x.size()) < b.points; ++i) {
    const std::string_view line = trimmed(lines_[i]);
    if (line.empty()) continue;
    const std::vector<std::string_view> w = blank_separated(line);
    double angle = 0.0, count = 0.0;
    if (!number_in(w[0], angle)) return refuse(line_text(i) + quoted(w[0]) + " is not a number");
    if (w.size() < 2) return refuse(line_text(i) + "an angle without its count");
    if (!number_in(w[1], count)) return refuse(line_text(i) + quoted(w[1]) + " is not a number");
    scan.add(angle / 100.0, count, static_cast<int>(i) + 1);
  }
  return true;
}

void gsas_reading::find_wavelength(std::size_t header_end, int bank, scan_points& scan) {
  std::string parameter_file;
  for (std::size_t i = 1; i < header_end; ++i) {
    const std::string_view line = trimmed(lines_[i]);
    if (starts_with_word(line, "Instrument parameter")) {
      std::string_view rest = trimmed(line.substr(20));
      if (starts_with_word(rest, "file")) rest = trimmed(rest.substr(4));
      while (!rest.empty() && (rest.front() == ':' || rest.front() == '=')) rest = trimmed(rest.substr(1));
      const std::vector<std::string_view> w = blank_separated(rest);
      if (!w.empty()) parameter_file = std::string(w.front());
      continue;
    }
    const std::string l = lower(line);
    for (std::string_view key : {"wavelength", "lambda"})
      if (const std::size_t at = l.find(key); at != std::string::npos && scan.wavelength.empty() &&
                                              whole_word(l, at, key.size()))
        scan.wavelength = number_after(line, at + key.size());
  }
  if (!scan.wavelength.empty() || parameter_file.empty()) return;
  // Only a file beside the data is read, whatever folders the name carries:
  // the name was written on another machine.
  const std::size_t folder_end = parameter_file.find_last_of("/\\");
  const std::string name = folder_end == std::string::npos ? parameter_file : parameter_file.substr(folder_end + 1);
  const std::filesystem::path beside = std::filesystem::path(data_.loading_path()).parent_path() / name;
  std::ifstream in(beside, std::ios::binary);
  std::string text(static_cast<std::size_t>(largest_parameter_file), '\0');
  if (in) in.read(text.data(), largest_parameter_file);
  text.resize(in ? text.size() : static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
  if (!text.empty()) scan.wavelength = parameter_file_wavelength(text, bank);
  if (scan.wavelength.empty())
    scan.notes.push_back("instrument parameter file " + ::quoted(name) +
                         (text.empty() ? " not beside the data" : " gives no wavelength"));
}

bool gsas_reading::read(scan_points& scan) {
  std::vector<std::size_t> banks;
  for (std::size_t i = 1; i < lines_.size(); ++i)
    if (lines_[i].starts_with("BANK")) banks.push_back(i);
  if (banks.empty()) return refuse("No BANK line: the header is not followed by any data");
  int index = 0;
  if (!data_.pick_scan(static_cast<int>(banks.size()), index, scan)) return false;
  const auto chosen = static_cast<std::size_t>(index);
  bank_line b;
  if (!parse_bank(banks[chosen], b)) return false;
  const std::size_t end = chosen + 1 < banks.size() ? banks[chosen + 1] : lines_.size();
  if (!(b.kind == layout::fxye_rows ? read_rows(b, end, scan) : read_fixed(b, end, scan))) return false;
  if (static_cast<long long>(scan.x.size()) < b.points)
    return refuse(line_text(b.line) + "BANK " + std::to_string(b.number) + " announces " + std::to_string(b.points) +
                  " points, the file holds " + std::to_string(scan.x.size()));
  find_wavelength(banks.front(), b.number, scan);
  const std::string_view title = lines_.empty() ? std::string_view() : trimmed(lines_[0]);
  scan.description = title.empty() ? "GSAS bank " + std::to_string(b.number) : std::string(title);
  scan.name = "BANK " + std::to_string(b.number);
  return true;
}

}  // namespace

std::unique_ptr<assoc_class> load_gsas_3::clone_empty() const { return clone_like(*this); }

bool load_gsas_3::read(xdd_data_3& data, const std::string& text, scan_points& scan) {
  return gsas_reading(data, text).read(scan);
}
