#include "xrd/files/load_xrdml_3.h"

#include <pugixml.hpp>

#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/text_helpers.h"
#include "xrd/files/scan_points.h"
#include "xrd/files/scan_text.h"
#include "xrd/files/scan_time.h"
#include "xrd/files/xdd_data_3.h"
#include "xrd/files/xml_names.h"

// pugixml reads no DTD and fetches nothing from outside the file, so a
// file cannot make the reader load other files or expand entities without
// end; it keeps each element's place in the text for the messages.

namespace {

std::string_view text_of(const pugi::xml_node& node) { return trimmed(node.child_value()); }

class xrdml_reading {
 public:
  xrdml_reading(xdd_data_3& data, std::string_view text) : data_(data), text_(text) {}

  bool read(scan_points& scan);

 private:
  bool refuse(const std::string& why) {
    data_.report_load_error(("\n" + why).c_str());
    return false;
  }
  std::string at(const pugi::xml_node& node) const {
    const std::ptrdiff_t offset = node.offset_debug();
    return offset < 0 ? "" : "Line " + std::to_string(line_at(text_, static_cast<std::size_t>(offset))) + ": ";
  }
  int line_of(const pugi::xml_node& node) const {
    const std::ptrdiff_t offset = node.offset_debug();
    return offset < 0 ? 0 : line_at(text_, static_cast<std::size_t>(offset));
  }
  // The numbers of a list element; false, said, at a word that is not one.
  bool numbers(const pugi::xml_node& node, std::vector<double>& out);
  bool number(const pugi::xml_node& node, double& out);
  // The sample's temperature during the scan in degrees Celsius, left as
  // it is when the file gives none; false, said, for a reading that is not
  // a number.
  bool temperature_of(const pugi::xml_node& measurement, const pugi::xml_node& scan, double& celsius);

  xdd_data_3& data_;
  std::string_view text_;  // the file, owned by the caller
};

bool xrdml_reading::numbers(const pugi::xml_node& node, std::vector<double>& out) {
  for (std::string_view word : blank_separated(node.child_value())) {
    double v = 0.0;
    if (!number_in(word, v)) return refuse(at(node) + quoted(word) + " is not a number");
    out.push_back(v);
  }
  return true;
}

bool xrdml_reading::number(const pugi::xml_node& node, double& out) {
  const std::string_view t = text_of(node);
  if (!number_in(t, out)) return refuse(at(node) + "<" + std::string(local_name(node)) + "> " + quoted(t) + " is not a number");
  return true;
}

bool xrdml_reading::temperature_of(const pugi::xml_node& measurement, const pugi::xml_node& scan, double& celsius) {
  // A non-ambient stage writes its readings during the scan (or, in older
  // files, for the measurement); their mean is the scan's temperature.
  pugi::xml_node values;
  for (const pugi::xml_node& where : {scan, measurement})
    if (!values)
      values = where.find_node([](const pugi::xml_node& n) { return local_name(n) == "nonAmbientValues"; });
  if (!values) return true;
  std::vector<double> readings;
  if (!numbers(values, readings)) return false;
  if (readings.empty()) return true;
  double sum = 0.0;
  for (double v : readings) sum += v;
  const double mean = sum / static_cast<double>(readings.size());
  const std::string_view unit = trimmed(values.attribute("unit").value());
  if (unit == "K")
    celsius = mean - 273.15;
  else if (unit == "°C" || unit == "C" || unit == "deg C" || unit == "Celsius")
    celsius = mean;
  // Another quantity (a pressure, a humidity) is not a temperature.
  return true;
}

bool xrdml_reading::read(scan_points& scan) {
  pugi::xml_document doc;
  const pugi::xml_parse_result parsed = doc.load_buffer(text_.data(), text_.size(), pugi::parse_default);
  if (!parsed) {
    return refuse("Line " + std::to_string(line_at(text_, static_cast<std::size_t>(parsed.offset))) +
                  ": not well-formed XML (" + parsed.description() + ")");
  }
  const pugi::xml_node root = doc.document_element();
  if (local_name(root) != "xrdMeasurements")
    return refuse("Not an XRDML file: it holds <" + std::string(root.name()) + ">, not <xrdMeasurements>");

  std::vector<std::pair<pugi::xml_node, pugi::xml_node>> scans;  // measurement, scan
  for (pugi::xml_node m = root.first_child(); m; m = m.next_sibling())
    if (local_name(m) == "xrdMeasurement")
      for (pugi::xml_node s = m.first_child(); s; s = s.next_sibling())
        if (local_name(s) == "scan") scans.emplace_back(m, s);
  if (scans.empty()) return refuse("The file holds no <scan>");
  int index = 0;
  if (!data_.pick_scan(static_cast<int>(scans.size()), index, scan)) return false;
  const auto [measurement, chosen] = scans[static_cast<std::size_t>(index)];

  const pugi::xml_node points = child_named(chosen, "dataPoints");
  if (!points) return refuse(at(chosen) + "the scan has no <dataPoints>");
  pugi::xml_node positions;
  for (pugi::xml_node p = points.first_child(); p; p = p.next_sibling())
    if (local_name(p) == "positions" && std::strcmp(p.attribute("axis").value(), "2Theta") == 0) positions = p;
  if (!positions) return refuse(at(points) + "the scan has no <positions axis=\"2Theta\">");
  pugi::xml_node counts = child_named(points, "intensities");
  if (!counts) counts = child_named(points, "counts");
  if (!counts) return refuse(at(points) + "the scan has no <intensities> or <counts>");

  std::vector<double> y;
  if (!numbers(counts, y)) return false;
  std::vector<double> x;
  if (const pugi::xml_node list = child_named(positions, "listPositions")) {
    if (!numbers(list, x)) return false;
    if (x.size() != y.size())
      return refuse(at(list) + std::to_string(x.size()) + " positions for " + std::to_string(y.size()) + " counts");
  } else {
    const pugi::xml_node start = child_named(positions, "startPosition");
    const pugi::xml_node end = child_named(positions, "endPosition");
    if (!start || !end) return refuse(at(positions) + "2Theta has neither start and end nor a list of positions");
    double first = 0.0, last = 0.0;
    if (!number(start, first) || !number(end, last)) return false;
    const std::size_t n = y.size();
    for (std::size_t i = 0; i < n; ++i)
      x.push_back(n < 2 ? first : first + (last - first) * static_cast<double>(i) / static_cast<double>(n - 1));
    // The end is written, not computed: it stays exact.
    if (n >= 2) x.back() = last;
  }
  const int line = line_of(counts);
  for (std::size_t i = 0; i < x.size(); ++i) scan.add(x[i], y[i], line);

  if (const pugi::xml_node t = child_named(points, "commonCountingTime")) {
    scan.count_time = std::string(text_of(t));
    double ignored = 0.0;
    if (!number(t, ignored)) return false;
  } else if (const pugi::xml_node times = child_named(points, "countingTimes")) {
    std::vector<double> each;
    if (!numbers(times, each)) return false;
    if (!each.empty()) {
      double sum = 0.0;
      for (double v : each) sum += v;
      scan.count_time = format_number("%.6g", sum / static_cast<double>(each.size()));
      scan.notes.push_back("counting times per point; their mean, " + scan.count_time + " s, is the count time");
    }
  }
  if (const pugi::xml_node k1 = child_named(child_named(measurement, "usedWavelength"), "kAlpha1")) {
    double lambda = 0.0;
    if (!number(k1, lambda)) return false;
    scan.wavelength = std::string(text_of(k1));
  }
  scan.start_time = iso_time_stamp(child_named(child_named(chosen, "header"), "startTimeStamp").child_value());
  if (!temperature_of(measurement, chosen, scan.temperature_C)) return false;
  const pugi::xml_node sample = child_named(root, "sample");
  for (const char* field : {"name", "id"})
    if (scan.description.empty()) scan.description = std::string(text_of(child_named(sample, field)));
  if (scan.description.empty()) scan.description = "XRDML scan";
  return true;
}

}  // namespace

std::unique_ptr<assoc_class> load_xrdml_3::clone_empty() const { return clone_like(*this); }

bool load_xrdml_3::read(xdd_data_3& data, const std::string& text, scan_points& scan) {
  return xrdml_reading(data, text).read(scan);
}
