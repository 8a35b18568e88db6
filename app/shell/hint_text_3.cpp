#include "app/shell/hint_text_3.h"

#include <cmath>
#include <string>

#include "core/paths.h"
#include "core/text_helpers.h"
#include "xrd/curves/xy_data_3.h"
#include "xrd/files/xdd_data_3.h"

std::string describe_data_file(assoc_class& node) {
  std::string text;
  if (assoc_class* path = find_existing(node, "xDdd_path_name"))
    if (const char* p = path->get_text()) text += p;
  if (auto* profile = dynamic_cast<xy_data_3*>(find_existing(node, "xy_yobs"))) {
    text += " : (" + format_number("%-1.3f, ", profile->x1);
    if (!profile->has_explicit_x()) text += format_number("%-1.4f, ", profile->xd);
    text += format_number("%-1.3f)  ", profile->x2);
    text += "Npts= " + format_int(profile->n);
  }
  if (assoc_class* time = find_existing(node, "tBime"))
    if (const char* t = time->get_text()) text += std::string(", Time= ") + t;
  if (assoc_class* lambda = find_existing(node, "lBambda"))
    if (const char* l = lambda->get_text()) text += std::string(", Lambda= ") + l;
  if (auto* data = dynamic_cast<xdd_data_3*>(find_existing(node, "xdd_data")))
    for (const std::string& note : data->load_notes) text += "; " + note;
  if (assoc_class* moved = find_existing(node, "mBoved_from"))
    if (const char* m = moved->get_text(); m && *m)
      text += std::string(", found here: the project named ") + m + ", which is not there";
  return text;
}

std::string describe_scan(assoc_class& node) {
  auto* data = dynamic_cast<xdd_data_3*>(find_existing(node, "xdd_data"));
  if (!data) return "";
  const xdd_data_3::scan_facts& s = data->scan;
  std::string text = "  scan " + format_int(s.index) + " of " + format_int(s.count) + ":";
  std::string sep = " ";
  if (!s.name.empty()) {
    text += sep + "\"" + s.name + "\"";
    sep = ", ";
  }
  if (!s.start_time.empty()) {
    text += sep + "started " + s.start_time;
    sep = ", ";
  }
  if (std::isfinite(s.temperature_C)) {
    text += sep + format_number("%.6g", s.temperature_C) + " °C";
    sep = ", ";
  }
  if (auto* profile = dynamic_cast<xy_data_3*>(find_existing(node, "xy_yobs"))) {
    text += sep + "(" + format_number("%-1.3f, ", profile->x1) + format_number("%-1.4f, ", profile->xd) +
            format_number("%-1.3f)  ", profile->x2) + "Npts= " + format_int(profile->n);
  }
  return text + "\n";
}

std::unique_ptr<assoc_class> hint_text_3::clone_empty() const { return clone_like(*this); }

assoc_class* hint_text_3::execute() {
  const std::string text = describe_data_file(*this);
  set_text(text.c_str());
  return assoc_class::execute();
}
