#include "xrd/files/load_rasx_3.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cmath>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "core/text_helpers.h"
#include "xrd/files/scan_points.h"
#include "xrd/files/scan_speed.h"
#include "xrd/files/scan_text.h"
#include "xrd/files/scan_time.h"
#include "xrd/files/xdd_data_3.h"
#include "xrd/files/zip_archive.h"

namespace {

// Reads the digits at the front of `text` into `n`; the rest is returned,
// or null when there are no digits.
const char* digits_at(const char* text, long& n) {
  n = 0;
  const char* p = text;
  while (*p >= '0' && *p <= '9' && p - text < 9) n = n * 10 + (*p++ - '0');
  return p == text ? nullptr : p;
}

// "DataD/ProfileP.txt": the folder's and the profile's numbers.
struct profile_entry {
  long folder = 0;
  long profile = 0;
  std::string name;
  std::string conditions;  // "DataD/MesurementConditionsP.xml"
};

bool is_profile(const std::string& name, profile_entry& e) {
  const char* p = name.c_str();
  if (std::string_view(p).substr(0, 4) != "Data") return false;
  p = digits_at(p + 4, e.folder);
  if (!p || std::string_view(p).substr(0, 8) != "/Profile") return false;
  p = digits_at(p + 8, e.profile);
  if (!p || std::string_view(p) != ".txt") return false;
  e.name = name;
  e.conditions = name.substr(0, name.find('/')) + "/MesurementConditions" + std::to_string(e.profile) + ".xml";
  return true;
}

std::string_view without_bom(std::string_view text) {
  return text.starts_with("\xEF\xBB\xBF") ? text.substr(3) : text;
}

pugi::xml_node child_path(pugi::xml_node node, std::initializer_list<const char*> names) {
  for (const char* n : names) node = node.child(n);
  return node;
}

class rasx_reading {
 public:
  rasx_reading(xdd_data_3& data, std::string_view bytes) : data_(data), bytes_(bytes) {}

  bool read(scan_points& scan);

 private:
  bool refuse(const std::string& why) {
    data_.report_load_error(("\n" + why).c_str());
    return false;
  }
  bool read_profile(const std::string& entry, std::string_view text, scan_points& scan);
  bool read_conditions(const std::string& entry, const std::string& xml, scan_points& scan);

  xdd_data_3& data_;
  std::string_view bytes_;
};

bool rasx_reading::read(scan_points& scan) {
  std::string why;
  const std::unique_ptr<zip_archive> zip = zip_archive::open(bytes_, why);
  if (!zip) return refuse(why);
  std::vector<profile_entry> profiles;
  for (const std::string& name : zip->names())
    if (profile_entry e; is_profile(name, e)) profiles.push_back(e);
  if (profiles.empty()) return refuse("Not a RASX file: the archive holds no Data*/Profile*.txt");
  std::sort(profiles.begin(), profiles.end(),
            [](const auto& a, const auto& b) { return std::tie(a.folder, a.profile) < std::tie(b.folder, b.profile); });
  int index = 0;
  if (!data_.pick_scan(static_cast<int>(profiles.size()), index, scan)) return false;
  const profile_entry& e = profiles[static_cast<std::size_t>(index)];
  std::string text;
  if (!zip->read(e.name, text, why)) return refuse(why);
  if (!read_profile(e.name, text, scan)) return false;
  const auto& names = zip->names();
  if (std::find(names.begin(), names.end(), e.conditions) == names.end()) {
    scan.description = "RASX scan";
    scan.notes.push_back(e.conditions + " not in the file");
    return true;
  }
  std::string xml;
  if (!zip->read(e.conditions, xml, why)) return refuse(why);
  return read_conditions(e.conditions, xml, scan);
}

bool rasx_reading::read_profile(const std::string& entry, std::string_view text, scan_points& scan) {
  const std::vector<std::string_view> lines = text_lines(without_bom(text));
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string at = entry + ", line " + std::to_string(i + 1) + ": ";
    const std::vector<std::string_view> words = blank_separated(lines[i]);
    if (words.empty()) continue;
    double angle = 0.0, intensity = 0.0, attenuation = 1.0;
    if (!number_in(words[0], angle)) return refuse(at + quoted(words[0]) + " is not a number");
    if (words.size() < 2) return refuse(at + "an angle without its intensity");
    if (!number_in(words[1], intensity)) return refuse(at + quoted(words[1]) + " is not a number");
    if (words.size() > 2 && !number_in(words[2], attenuation)) return refuse(at + quoted(words[2]) + " is not a number");
    scan.add(angle, intensity * attenuation, static_cast<int>(i) + 1);
  }
  if (scan.x.empty()) return refuse(entry + " holds no rows");
  return true;
}

bool rasx_reading::read_conditions(const std::string& entry, const std::string& xml, scan_points& scan) {
  pugi::xml_document doc;
  const pugi::xml_parse_result parsed = doc.load_buffer(xml.data(), xml.size(), pugi::parse_default);
  if (!parsed)
    return refuse(entry + ", line " + std::to_string(line_at(xml, static_cast<std::size_t>(parsed.offset))) +
                  ": not well-formed XML (" + parsed.description() + ")");
  const pugi::xml_node root = doc.child("MeasurementConditions");
  if (!root) return refuse(entry + " holds <" + std::string(doc.document_element().name()) + ">, not <MeasurementConditions>");
  auto number = [&](const pugi::xml_node& node, double& value) {
    const std::string_view text = trimmed(node.child_value());
    if (number_in(text, value)) return true;
    const std::ptrdiff_t offset = node.offset_debug();
    refuse(entry + ", line " + std::to_string(offset < 0 ? 0 : line_at(xml, static_cast<std::size_t>(offset))) +
           ": <" + node.name() + "> " + quoted(text) + " is not a number");
    return false;
  };
  const pugi::xml_node info = root.child("ScanInformation");
  if (const pugi::xml_node count = info.child("DataCount")) {
    double n = 0.0;
    if (!number(count, n)) return false;
    if (std::llround(n) != static_cast<long long>(scan.x.size()))
      return refuse(entry + ": <DataCount> gives " + format_number("%.0f", n) + " points, the profile holds " +
                    std::to_string(scan.x.size()));
  }
  double step = 0.0, speed = 0.0, seconds = 0.0;
  if (const pugi::xml_node s = info.child("Step"); s && !number(s, step)) return false;
  if (!(step > 0.0) && scan.x.size() > 1)
    step = (scan.x.back() - scan.x.front()) / static_cast<double>(scan.x.size() - 1);
  if (const pugi::xml_node s = info.child("Speed")) {
    if (!number(s, speed)) return false;
    if (seconds_per_point(speed, trimmed(info.child("SpeedUnit").child_value()), step, seconds))
      scan.count_time = format_number("%.6g", seconds);
  }
  if (const pugi::xml_node k1 = root.find_node([](const pugi::xml_node& n) { return std::string_view(n.name()) == "WavelengthKalpha1"; })) {
    double lambda = 0.0;
    if (!number(k1, lambda)) return false;
    scan.wavelength = std::string(trimmed(k1.child_value()));
  }
  scan.start_time = iso_time_stamp(info.child("StartTime").child_value());
  scan.description = std::string(trimmed(child_path(root, {"GeneralInformation", "SampleName"}).child_value()));
  if (scan.description.empty()) scan.description = "RASX scan";
  return true;
}

}  // namespace

std::unique_ptr<assoc_class> load_rasx_3::clone_empty() const { return clone_like(*this); }

bool load_rasx_3::read(xdd_data_3& data, const std::string& text, scan_points& scan) {
  return rasx_reading(data, text).read(scan);
}
