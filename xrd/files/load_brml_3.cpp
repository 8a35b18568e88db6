#include "xrd/files/load_brml_3.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "core/text_helpers.h"
#include "xrd/files/scan_points.h"
#include "xrd/files/scan_text.h"
#include "xrd/files/scan_time.h"
#include "xrd/files/xdd_data_3.h"
#include "xrd/files/xml_names.h"
#include "xrd/files/zip_archive.h"

namespace {

constexpr std::string_view raw_prefix = "Experiment0/RawData";
constexpr std::string_view raw_suffix = ".xml";

// The number N of "Experiment0/RawDataN.xml"; -1 for any other name.
long raw_data_number(std::string_view name) {
  if (!name.starts_with(raw_prefix) || !name.ends_with(raw_suffix)) return -1;
  const std::string_view digits = name.substr(raw_prefix.size(), name.size() - raw_prefix.size() - raw_suffix.size());
  if (digits.empty() || digits.size() > 9) return -1;
  long n = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return -1;
    n = n * 10 + (c - '0');
  }
  return n;
}

// Where the data views put 2-theta and the count in each datum; -1: not
// said. (The absorber factor has its own column too, but the recorded
// counts are already corrected by it: a scan passes smoothly through the
// points where the absorber goes in.)
struct datum_columns {
  long two_theta = -1;
  long count = -1;
};

datum_columns columns_of(const pugi::xml_node& route) {
  datum_columns c;
  for (pugi::xml_node view = child_named(child_named(route, "DataViews"), "RawDataView"); view;
       view = view.next_sibling()) {
    if (local_name(view) != "RawDataView") continue;
    const long start = view.attribute("Start").as_llong(-1);
    if (start < 0) continue;
    const std::string_view logic = view.attribute("LogicName").value();
    if (logic == "TwoTheta") c.two_theta = start;
    if (child_named(view, "Recording") && c.count < 0) c.count = start;
    long field = 0;
    for (pugi::xml_node f = child_named(child_named(view, "Varying"), "FieldDefinitions"); f; f = f.next_sibling()) {
      if (local_name(f) != "FieldDefinitions") continue;
      if (std::string_view(f.attribute("FieldName").value()) == "TwoTheta") c.two_theta = start + field;
      ++field;
    }
  }
  return c;
}

class brml_reading {
 public:
  brml_reading(xdd_data_3& data, std::string_view bytes) : data_(data), bytes_(bytes) {}

  bool read(scan_points& scan);

 private:
  bool refuse(const std::string& why) {
    data_.report_load_error(("\n" + why).c_str());
    return false;
  }
  bool read_raw_data(const std::string& entry, const std::string& xml, scan_points& scan);

  xdd_data_3& data_;
  std::string_view bytes_;
};

bool brml_reading::read(scan_points& scan) {
  std::string why;
  const std::unique_ptr<zip_archive> zip = zip_archive::open(bytes_, why);
  if (!zip) return refuse(why);
  std::vector<std::pair<long, std::string>> raws;
  for (const std::string& name : zip->names())
    if (const long n = raw_data_number(name); n >= 0) raws.emplace_back(n, name);
  if (raws.empty()) return refuse("Not a BRML file: the archive holds no Experiment0/RawData*.xml");
  std::sort(raws.begin(), raws.end());
  int index = 0;
  if (!data_.pick_scan(static_cast<int>(raws.size()), index, scan)) return false;
  const std::string& entry = raws[static_cast<std::size_t>(index)].second;
  std::string xml;
  if (!zip->read(entry, xml, why)) return refuse(why);
  return read_raw_data(entry, xml, scan);
}

bool brml_reading::read_raw_data(const std::string& entry, const std::string& xml, scan_points& scan) {
  const std::string in = entry + ", ";
  pugi::xml_document doc;
  const pugi::xml_parse_result parsed = doc.load_buffer(xml.data(), xml.size(), pugi::parse_default);
  if (!parsed)
    return refuse(in + "line " + std::to_string(line_at(xml, static_cast<std::size_t>(parsed.offset))) +
                  ": not well-formed XML (" + parsed.description() + ")");
  auto at = [&](const pugi::xml_node& node) {
    const std::ptrdiff_t offset = node.offset_debug();
    return in + "line " + std::to_string(offset < 0 ? 0 : line_at(xml, static_cast<std::size_t>(offset))) + ": ";
  };
  const pugi::xml_node root = doc.document_element();
  if (local_name(root) != "RawData") return refuse(in + "holds <" + std::string(root.name()) + ">, not <RawData>");
  // The measured route; a file without route flags has one route.
  pugi::xml_node route;
  for (pugi::xml_node r = child_named(child_named(root, "DataRoutes"), "DataRoute"); r; r = r.next_sibling()) {
    if (local_name(r) != "DataRoute" || !child_named(r, "Datum")) continue;
    if (!route) route = r;
    if (std::string_view(r.attribute("RouteFlag").value()) == "Measured") {
      route = r;
      break;
    }
  }
  if (!route) return refuse(in + "the scan has no <DataRoute> with <Datum> rows");
  const datum_columns columns = columns_of(route);
  if (columns.two_theta < 0) return refuse(at(route) + "no data view names the 2Theta column of the rows");

  for (pugi::xml_node d = child_named(route, "Datum"); d; d = d.next_sibling()) {
    if (local_name(d) != "Datum") continue;
    const std::vector<std::string_view> cells = cut_at(d.child_value(), ',');
    const long count_column = columns.count >= 0 ? columns.count : static_cast<long>(cells.size()) - 1;
    const long needed = std::max(columns.two_theta, count_column);
    if (count_column < 0 || needed >= static_cast<long>(cells.size()))
      return refuse(at(d) + "the row has " + std::to_string(cells.size()) + " columns, the data views name column " +
                    std::to_string(needed + 1));
    double angle = 0.0, count = 0.0;
    for (auto [column, value] : {std::pair{columns.two_theta, &angle}, std::pair{count_column, &count}}) {
      const std::string_view cell = cells[static_cast<std::size_t>(column)];
      if (!number_in(cell, *value)) return refuse(at(d) + quoted(cell) + " is not a number");
    }
    const std::ptrdiff_t offset = d.offset_debug();
    scan.add(angle, count, offset < 0 ? 0 : line_at(xml, static_cast<std::size_t>(offset)));
  }

  const pugi::xml_node info = child_named(route, "ScanInformation");
  if (const pugi::xml_node t = child_named(info, "TimePerStep")) {
    double seconds = 0.0;
    const std::string_view text = trimmed(t.child_value());
    if (!number_in(text, seconds)) return refuse(at(t) + "<TimePerStep> " + quoted(text) + " is not a number");
    if (seconds > 0.0) scan.count_time = std::string(text);
  }
  if (const pugi::xml_node k1 = descendant_named(root, "WaveLengthAlpha1")) {
    double lambda = 0.0;
    const std::string_view text = trimmed(k1.attribute("Value").value());
    if (!number_in(text, lambda)) return refuse(at(k1) + "<WaveLengthAlpha1> " + quoted(text) + " is not a number");
    scan.wavelength = std::string(text);
  }
  const pugi::xml_node sample = root.find_node([](const pugi::xml_node& n) {
    return local_name(n) == "InfoItem" && std::strcmp(n.attribute("Name").value(), "SampleName") == 0;
  });
  scan.description = std::string(trimmed(sample.attribute("Value").value()));
  if (scan.description.empty()) scan.description = "BRML scan";
  scan.start_time = iso_time_stamp(child_named(root, "TimeStampStarted").child_value());
  // The scan's kind as the instrument shows it ("2Theta-Omega").
  scan.name = std::string(trimmed(info.attribute("VisibleName").value()));
  if (scan.name.empty()) scan.name = std::string(trimmed(info.attribute("ScanName").value()));
  return true;
}

}  // namespace

std::unique_ptr<assoc_class> load_brml_3::clone_empty() const { return clone_like(*this); }

bool load_brml_3::read(xdd_data_3& data, const std::string& text, scan_points& scan) {
  return brml_reading(data, text).read(scan);
}
