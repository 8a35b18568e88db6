#include "app/analysis/background_subtraction.h"

#include <algorithm>
#include <filesystem>
#include <vector>

#include "app/analysis/pattern_analysis.h"
#include "core/assoc_class.h"
#include "core/node_watch.h"
#include "core/text_helpers.h"
#include "xrd/chain/xy_yobs_4.h"
#include "xrd/curves/xy_data_3.h"
#include "xrd/files/xdd_data_3.h"
#include "xrd/pattern/pattern_background.h"

namespace {

std::string path_of(assoc_class& file) {
  assoc_class* p = find_existing(file, "xDdd_path_name");
  const char* text = p ? p->get_text() : nullptr;
  return text ? text : "";
}

// <stem>_less_background.xdd beside `beside`, numbered past any loaded
// file's path or file on disk.
std::string free_path(assoc_class& app, const std::string& beside) {
  std::vector<std::string> taken;
  if (assoc_class* loaded = find(app, "xAdd_recs"))
    for (int i = 0; i < loaded->child_count(); ++i) taken.push_back(path_of(*loaded->child(i)));
  const std::filesystem::path p(beside);
  for (int n = 1;; ++n) {
    std::string stem = p.stem().string();
    stem.append("_less_background");
    if (n > 1) stem.append("_").append(std::to_string(n));
    std::filesystem::path candidate = p;
    candidate.replace_filename(stem + ".xdd");
    std::error_code ec;
    if (std::find(taken.begin(), taken.end(), candidate.string()) == taken.end() &&
        !std::filesystem::exists(candidate, ec))
      return candidate.string();
  }
}

}  // namespace

bool subtract_background(assoc_class& file, std::string& why) {
  auto* profile = dynamic_cast<xy_data_3*>(find_existing(file, "xy_yobs"));
  if (!profile || profile->n < 3) {
    why = "too few points to tell a background";
    return false;
  }
  std::vector<double> x, y;
  for (int i = 0; i < profile->n; ++i) {
    x.push_back(profile->x_of(i));
    y.push_back(static_cast<double>(profile->y[profile->y.base() + i]));
  }
  const pattern_background b = background_of(x, y);
  for (int i = 0; i < profile->n; ++i)
    profile->y[profile->y.base() + i] = static_cast<float>(y[static_cast<std::size_t>(i)] - b.y[static_cast<std::size_t>(i)]);
  profile->profile_changed();
  if (auto* chain = dynamic_cast<xy_yobs_4*>(profile)) chain->invalidate_chain();
  if (auto* data = dynamic_cast<xdd_data_3*>(find_existing(file, "xdd_data"))) {
    std::string comment = data->comment.c_str();
    comment += (comment.empty() ? "" : "; ") + std::string("less its background (peak clipping, window ") +
               format_number("%.3g", b.window_x) + " deg)";
    data->comment.assign(comment.c_str());
  }
  return true;
}

assoc_class* background_subtracted_file(assoc_class& app, assoc_class& file, std::string& why) {
  auto* profile = dynamic_cast<xy_data_3*>(find_existing(file, "xy_yobs"));
  if (!profile || profile->n < 3) {
    why = "too few points to tell a background";
    return nullptr;
  }
  node_watch made(line_window_file(app, file, free_path(app, path_of(file)), profile->x_of(0),
                                   profile->x_of(profile->n - 1), why));
  if (!made) return nullptr;
  if (!subtract_background(*made.get(), why)) {
    if (made && made.get()->parent()) made.get()->parent()->delete_child(made.get());
    return nullptr;
  }
  // Never written until it is saved, as a capture.
  made.get()->set_changed(true);
  return made.get();
}
