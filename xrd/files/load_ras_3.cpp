#include "xrd/files/load_ras_3.h"

#include <cmath>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_helpers.h"
#include "xrd/files/scan_points.h"
#include "xrd/files/scan_speed.h"
#include "xrd/files/scan_text.h"
#include "xrd/files/scan_time.h"
#include "xrd/files/xdd_data_3.h"

namespace {

// The header keys the reader uses; nothing else of a header is kept.
// (The angles come from the rows themselves, so the scan's start and stop
// are not needed.)
constexpr std::string_view wanted_keys[] = {"*MEAS_SCAN_STEP",       "*MEAS_DATA_COUNT",
                                            "*MEAS_SCAN_SPEED",      "*MEAS_SCAN_SPEED_UNIT",
                                            "*HW_XG_WAVE_LENGTH_ALPHA1", "*FILE_SAMPLE",
                                            "*FILE_COMMENT",         "*MEAS_SCAN_START_TIME"};

struct ras_scan {
  int header_line = 0;
  std::map<std::string_view, std::string_view> header;  // raw bytes between the quotes
  int rows_line = 0;                                     // the line of *RAS_INT_START, 0: none
  std::size_t first_row = 0, end_row = 0;                // line indices of the rows
};

// The value of a `*KEY "value"` line: between the first quote and the last,
// bytes as they are; without quotes, the rest of the line.
std::string_view header_value(std::string_view rest) {
  rest = trimmed(rest);
  const std::size_t open = rest.find('"');
  const std::size_t close = rest.rfind('"');
  if (open == std::string_view::npos || close == open) return rest;
  return rest.substr(open + 1, close - open - 1);
}

bool plain_ascii(std::string_view text) {
  for (char c : text)
    if (c < 0x20 || c > 0x7e) return false;
  return !text.empty();
}

class ras_reading {
 public:
  ras_reading(xdd_data_3& data, std::string_view text) : data_(data), text_(text), lines_(text_lines(text_)) {}

  bool read(scan_points& scan);

 private:
  bool refuse(const std::string& why) {
    data_.report_load_error(("\n" + why).c_str());
    return false;
  }
  static std::string line_text(std::size_t i) { return "Line " + std::to_string(i + 1) + ": "; }
  // Splits the file into its scans; false, said, for a block left open.
  bool find_scans(std::vector<ras_scan>& scans);
  bool read_rows(const ras_scan& s, scan_points& scan);

  xdd_data_3& data_;
  std::string_view text_;  // the file, owned by the caller
  std::vector<std::string_view> lines_;
};

bool ras_reading::find_scans(std::vector<ras_scan>& scans) {
  std::size_t i = 0;
  while (i < lines_.size() && trimmed(lines_[i]) != "*RAS_DATA_START") ++i;
  if (i == lines_.size()) return refuse("Not a RAS file: no *RAS_DATA_START");
  for (++i; i < lines_.size(); ++i) {
    const std::string_view line = trimmed(lines_[i]);
    if (line == "*RAS_DATA_END") return true;
    if (line == "*RAS_HEADER_START") {
      ras_scan s;
      s.header_line = static_cast<int>(i) + 1;
      for (++i; i < lines_.size() && trimmed(lines_[i]) != "*RAS_HEADER_END"; ++i) {
        const std::string_view h = trimmed(lines_[i]);
        const std::size_t blank = h.find_first_of(" \t");
        const std::string_view key = h.substr(0, blank);
        for (std::string_view k : wanted_keys)
          if (key == k) s.header[k] = blank == std::string_view::npos ? std::string_view() : header_value(h.substr(blank));
      }
      if (i == lines_.size())
        return refuse("Line " + std::to_string(s.header_line) + ": *RAS_HEADER_START has no *RAS_HEADER_END");
      scans.push_back(s);
    } else if (line == "*RAS_INT_START") {
      if (scans.empty() || scans.back().rows_line != 0)
        return refuse(line_text(i) + "*RAS_INT_START without a header before it");
      ras_scan& s = scans.back();
      s.rows_line = static_cast<int>(i) + 1;
      s.first_row = i + 1;
      for (++i; i < lines_.size() && trimmed(lines_[i]) != "*RAS_INT_END"; ++i) {
      }
      if (i == lines_.size())
        return refuse("Line " + std::to_string(s.rows_line) + ": *RAS_INT_START has no *RAS_INT_END");
      s.end_row = i;
    } else if (line.size() > 6 && line.front() == '*' && line.substr(line.size() - 6) == "_START") {
      // A block the reader has no use for: passed over whole.
      const std::string end = std::string(line.substr(0, line.size() - 6)) + "_END";
      const std::size_t opened = i;
      for (++i; i < lines_.size() && trimmed(lines_[i]) != end; ++i) {
      }
      if (i == lines_.size()) return refuse(line_text(opened) + std::string(line) + " has no " + end);
    }
  }
  return true;  // no *RAS_DATA_END: what was read is whole
}

bool ras_reading::read_rows(const ras_scan& s, scan_points& scan) {
  for (std::size_t i = s.first_row; i < s.end_row; ++i) {
    const std::string_view line = trimmed(lines_[i]);
    if (line.empty()) continue;
    const std::vector<std::string_view> words = blank_separated(line);
    double angle = 0.0, intensity = 0.0, attenuation = 1.0;
    if (!number_in(words[0], angle)) return refuse(line_text(i) + quoted(words[0]) + " is not a number");
    if (words.size() < 2) return refuse(line_text(i) + "an angle without its intensity");
    if (!number_in(words[1], intensity)) return refuse(line_text(i) + quoted(words[1]) + " is not a number");
    if (words.size() > 2 && !number_in(words[2], attenuation))
      return refuse(line_text(i) + quoted(words[2]) + " is not a number");
    scan.add(angle, intensity * attenuation, static_cast<int>(i) + 1);
  }
  return true;
}

bool ras_reading::read(scan_points& scan) {
  std::vector<ras_scan> scans;
  if (!find_scans(scans)) return false;
  if (scans.empty()) return refuse("The file holds no scan (*RAS_HEADER_START)");
  int index = 0;
  if (!data_.pick_scan(static_cast<int>(scans.size()), index, scan)) return false;
  const ras_scan& s = scans[static_cast<std::size_t>(index)];
  if (s.rows_line == 0)
    return refuse("Line " + std::to_string(s.header_line) + ": the scan has no *RAS_INT_START block");
  if (!read_rows(s, scan)) return false;

  auto value = [&s](std::string_view key) {
    const auto found = s.header.find(key);
    return found == s.header.end() ? std::string_view() : found->second;
  };
  auto header_number = [&](std::string_view key, double& v) {
    const std::string_view text = value(key);
    if (text.empty()) return false;
    if (number_in(trimmed(text), v)) return true;
    refuse("Line " + std::to_string(s.header_line) + ": " + std::string(key) + " " + quoted(text) + " is not a number");
    return false;
  };
  double count = 0.0;
  if (!value("*MEAS_DATA_COUNT").empty()) {
    if (!header_number("*MEAS_DATA_COUNT", count)) return false;
    // Written as a float ("5001.0000").
    if (std::llround(count) != static_cast<long long>(scan.x.size()))
      return refuse("Line " + std::to_string(s.rows_line) + ": *MEAS_DATA_COUNT gives " + format_number("%.0f", count) +
                    " points, the scan holds " + std::to_string(scan.x.size()));
  }
  double step = 0.0, speed = 0.0;
  if (!value("*MEAS_SCAN_STEP").empty() && !header_number("*MEAS_SCAN_STEP", step)) return false;
  if (!(step > 0.0) && scan.x.size() > 1)
    step = (scan.x.back() - scan.x.front()) / static_cast<double>(scan.x.size() - 1);
  if (!value("*MEAS_SCAN_SPEED").empty()) {
    if (!header_number("*MEAS_SCAN_SPEED", speed)) return false;
    double seconds = 0.0;
    if (seconds_per_point(speed, trimmed(value("*MEAS_SCAN_SPEED_UNIT")), step, seconds))
      scan.count_time = format_number("%.6g", seconds);
  }
  if (!value("*HW_XG_WAVE_LENGTH_ALPHA1").empty()) {
    double lambda = 0.0;
    if (!header_number("*HW_XG_WAVE_LENGTH_ALPHA1", lambda)) return false;
    scan.wavelength = std::string(trimmed(value("*HW_XG_WAVE_LENGTH_ALPHA1")));
  }
  // A sample name in Shift-JIS would be garbled as text: only a plain one
  // is shown.
  const std::string_view sample = trimmed(value("*FILE_SAMPLE"));
  scan.description = plain_ascii(sample) ? std::string(sample) : "RAS scan";
  // What tells the scans of one file apart: the comment each was given.
  if (const std::string_view comment = trimmed(value("*FILE_COMMENT")); plain_ascii(comment))
    scan.name = std::string(comment);
  // Written "MM/DD/YY hh:mm:ss".
  const std::string_view started = trimmed(value("*MEAS_SCAN_START_TIME"));
  scan.start_time = iso_time_stamp(started);
  if (const std::size_t blank = started.find(' '); scan.start_time.empty() && blank != std::string_view::npos)
    scan.start_time = iso_start_time(started.substr(0, blank), started.substr(blank + 1));
  return true;
}

}  // namespace

std::unique_ptr<assoc_class> load_ras_3::clone_empty() const { return clone_like(*this); }

bool load_ras_3::read(xdd_data_3& data, const std::string& text, scan_points& scan) {
  return ras_reading(data, text).read(scan);
}
